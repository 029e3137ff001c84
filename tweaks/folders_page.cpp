#include "tweaks/folders_page.h"

#include "registry/module1.h"

namespace FoldersPage {

namespace {

constexpr char kBagMruSize[] = "BagMRU Size";
constexpr char kBagMruTree[] = "Software\\Microsoft\\Windows\\ShellNoRoam\\BagMRU";
constexpr char kBagsTree[] = "Software\\Microsoft\\Windows\\ShellNoRoam\\Bags";

}  // namespace

void Increase_Folders_Click(const RegistryRoutines& ShellKey, const RegistryRoutines& ShellNoRoamKey) {
    // The number goes as text with type 4; SetRegistryValue stores it as the
    // four bytes of a DWORD.
    ShellKey.SetRegistryValue(kBagMruSize, TaggedValue(kIncreasedSize), REG_DWORD);
    ShellNoRoamKey.SetRegistryValue(kBagMruSize, TaggedValue(kIncreasedSize), REG_DWORD);
}

void Default_Folders_Click(const RegistryRoutines& ShellKey, const RegistryRoutines& ShellNoRoamKey) {
    // Without the value the shell uses its own default; a value that is not
    // there answers 2, which changes nothing.
    ShellKey.DeleteValue(kBagMruSize);
    ShellNoRoamKey.DeleteValue(kBagMruSize);
}

void Reset_Folders_Click() {
    Module1::DeleteKeyTree(HKEY_CURRENT_USER, kBagMruTree);
    Module1::DeleteKeyTree(HKEY_CURRENT_USER, kBagsTree);
}

}  // namespace FoldersPage
