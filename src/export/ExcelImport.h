#pragma once
// Importing an exported list into Microsoft Excel through its automation interface.
#include <string>

// Starts Excel, imports `path` as delimited text with the list's field separator, shows
// Excel and deletes the file (or marks it for deletion at restart). False, with the file
// untouched, when Excel is not registered, cannot start, is version 9 or older (the user is
// told), or fails on the way. Never throws.
[[nodiscard]] bool OpenInExcel(const std::wstring& path) noexcept;
