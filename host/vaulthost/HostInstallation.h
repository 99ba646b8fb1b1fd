#pragma once
// The host's registered installation, as its installer leaves it.
#include <string>

// Registers `folder` as the host's installation folder ("Location" under the product key of
// HKEY_LOCAL_MACHINE) when no installation is registered. Without the right to write there nothing
// changes, and the module finds the host's libraries through the system's search instead.
void RegisterInstallationIfMissing(const std::wstring& folder) noexcept;
