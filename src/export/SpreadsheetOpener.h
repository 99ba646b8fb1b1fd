#pragma once
// Handing an exported temporary file to the user's spreadsheet application.
#include <windows.h>
#include <string>

// Opens the temporary file `path` in Excel by automation when Excel owns the ".csv" type (the
// file is deleted at once), else with the shell's program for it (a cleanup thread removes
// the file later). When the shell fails too, the user is told, the file is deleted and the
// answer is false. `owner` is the window the shell reports to.
[[nodiscard]] bool OpenCsvInSpreadsheet(HWND owner, const std::wstring& path);
