#pragma once
// Where a module was loaded from. Paths may be longer than MAX_PATH: the buffer grows until
// the whole path fits.
#include <windows.h>
#include <string>

// Full path of `module` (null: the process's executable); empty when it cannot be read.
std::wstring ModulePath(HMODULE module);
// The module that holds `address`, without taking a reference to it.
HMODULE ModuleContaining(const void* address) noexcept;
// `path` up to and including its last separator; empty when it has none.
std::wstring FolderOf(const std::wstring& path);
