#pragma once
// How vaulthost, a windowed program, tells its caller what went wrong: one line on stderr.
#include <windows.h>
#include <string>

// Writes `text` and a line end to the standard error handle (UTF-8 into a file or pipe, wide
// text into a console); line breaks inside `text` become spaces. Does nothing when there is
// no standard error and no parent console.
void WriteErrorLine(const std::wstring& text) noexcept;

// The system's wording for an error code, without its closing full stop.
std::wstring SystemMessage(DWORD code);
