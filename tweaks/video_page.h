// The Video page: switches the shell's scanning of AVI files off ("New") and
// back on ("Default") by rewriting the two values of the media extension's
// InProcServer32 key, and shows what that key holds.
//
// The handlers work through the registry access object they are given (the
// main window's AviKey, aimed at that key) and report nothing but the two
// status fields: a write that failed shows only as unchanged data there. They
// never create the key. No registry handle stays open after a handler.
#pragma once

#include <string>

#include "registry/registry_routines.h"

// The two status fields of the Video page, as the handlers see them.
class AviStatusView {
public:
    virtual ~AviStatusView() = default;
    // Text of AVI_Output_Text1: the key's default value (the server file).
    virtual void AVI_Output_Text1(const std::string& text) = 0;
    // Text of AVI_Output_Text2: the "ThreadingModel" value.
    virtual void AVI_Output_Text2(const std::string& text) = 0;
};

namespace VideoPage {

// The server file, stored unexpanded as REG_EXPAND_SZ.
constexpr char kServerPath[] = "%SystemRoot%\\System32\\shmedia.dll";
// The threading model, stored as REG_SZ.
constexpr char kThreadingModel[] = "Both";

// "New": blanks the default value (REG_EXPAND_SZ "") and "ThreadingModel"
// (REG_SZ ""), then refreshes the status fields.
void AVI_New_Click(const RegistryRoutines& AviKey, AviStatusView& view);
// "Default": writes kServerPath (REG_EXPAND_SZ) and kThreadingModel (REG_SZ),
// then refreshes the status fields.
void AVI_Default_Click(const RegistryRoutines& AviKey, AviStatusView& view);
// Reads both values into the status fields: the server path expanded; a
// missing key or value, or data with no text form, as the empty text.
void RefreshAviStatus(const RegistryRoutines& AviKey, AviStatusView& view);

}  // namespace VideoPage
