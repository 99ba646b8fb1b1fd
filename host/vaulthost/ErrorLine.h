#pragma once
// How vaulthost, a windowed program, tells its caller what went wrong: one line on stderr.
#include <windows.h>
#include <string>
#include "common/SystemMessage.h"

// Writes `text` and a line end to the standard error handle (UTF-8 into a file or pipe, wide
// text into a console); line breaks inside `text` become spaces. Does nothing when there is
// no standard error and no parent console.
void WriteErrorLine(const std::wstring& text) noexcept;

