#pragma once
// The vault automation object the host hands to the module: the vault's name and root folder.
#include "contracts/OrvVault.h"
#include <memory>
#include <string>

struct ComRelease {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
using VaultObjectPtr = std::unique_ptr<IOrvVault5, ComRelease>;

// A new object holding one reference, which the pointer releases; null when memory runs out.
VaultObjectPtr CreateVaultObject(const std::wstring& name, const std::wstring& rootFolderPath) noexcept;
