// The Folders page: how many folder views the shell remembers for the current
// user ("BagMRU Size" in the Shell and ShellNoRoam keys), and forgetting the
// remembered views (the ShellNoRoam\BagMRU and ShellNoRoam\Bags trees).
//
// The handlers check no results and show nothing, except the "Access Denied"
// box of the tree deletion for a key that refuses. They never create a key:
// a missing Shell or ShellNoRoam key simply gets no value. Each step runs
// whatever became of the one before.
#pragma once

#include "registry/registry_routines.h"

namespace FoldersPage {

// The number of remembered views that "Increase Folders" sets.
constexpr char kIncreasedSize[] = "4000";

// "Increase Folders": "BagMRU Size" = 4000 as REG_DWORD in both keys.
void Increase_Folders_Click(const RegistryRoutines& ShellKey, const RegistryRoutines& ShellNoRoamKey);
// "Default Folders": deletes "BagMRU Size" from both keys; quiet when absent.
void Default_Folders_Click(const RegistryRoutines& ShellKey, const RegistryRoutines& ShellNoRoamKey);
// "Reset Views": deletes the trees ShellNoRoam\BagMRU and then
// ShellNoRoam\Bags below HKEY_CURRENT_USER\Software\Microsoft\Windows, each
// with every key below it. The ShellNoRoam key, its values and the Shell
// key's trees stay.
void Reset_Folders_Click();

}  // namespace FoldersPage
