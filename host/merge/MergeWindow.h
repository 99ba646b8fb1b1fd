#pragma once
// The component's window: the vault and the branch files it was asked to merge, in the order
// received. Modeless and top-level on the caller's thread (the caller runs a message loop); it
// stays until the user closes it, and the server stays loaded while it is open.
#include <string>

#include "contracts/MergeComponent.h"

namespace MergeWindow {

// Creates and shows one window; false when it cannot be made.
[[nodiscard]] bool Show(const std::wstring& vaultName, const MergeSelection* items, long count) noexcept;
// The window class must go with the module: a reloaded server would find it pointing at the old code.
void UnregisterClass() noexcept;

}  // namespace MergeWindow
