#pragma once
// The name of a file type that has no registered name of its own.
#include <string>

// "XYZ File" for "xyz"; "File" for an empty or null extension.
std::wstring MakeDefaultTypeName(const wchar_t* extension);
