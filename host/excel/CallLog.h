#pragma once
// Where the stand-in writes down each call it receives, one line per fact, so that a test can
// read back exactly what the automation client passed.
//
// Settings, read on every call from the environment of the process that loaded the stand-in:
//   LINEAGE_EXCEL_LOG      file the lines are appended to (UTF-8); nothing is written without it
//   LINEAGE_EXCEL_VERSION  text answered for Application.Version ("16.0" when unset)
//   LINEAGE_EXCEL_FAIL     name of one call that answers E_FAIL: "Create", "Version",
//                          "Workbooks", "OpenText" or "Visible"
//   LINEAGE_EXCEL_COPY     file that OpenText copies the imported file to
#include <windows.h>
#include <oleauto.h>
#include <string>

namespace CallLog {

std::wstring Setting(const wchar_t* name);
bool ShouldFail(const wchar_t* call);
void Write(const std::wstring& line);
// "VT_I2 -1", "VT_BSTR C:\x.txt", "VT_ERROR 0x80020004", "VT_ARRAY|VT_I4 1x2 1 1".
std::wstring Describe(const VARIANT& value);

}  // namespace CallLog
