#pragma once
// Pieces of the list's file menu that need no dialog: the menu's picture, the folder Explorer
// falls back to, and the hand-over to the host's merge component.
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "contracts/MergeComponent.h"
#include "framework/CBitmap.h"

// `icon` drawn at cx x cy on the menu colour, in the screen's format; null without an icon or
// when the screen cannot give a bitmap.
std::unique_ptr<CBitmap> MakeMenuBitmap(HICON icon, int cx, int cy);

// Cuts `path` back, one "\" at a time, to its deepest part that exists; unchanged when nothing
// of it exists and it holds no "\".
void TrimToExistingFolder(std::wstring& path);

// Explorer's command line for a file it should select, and for a folder it should open.
std::wstring ExplorerSelectArguments(const std::wstring& file);
std::wstring ExplorerFolderArguments(const std::wstring& folder);

// Creates the host's merge component and hands it `records` of the vault `vaultName`. Any COM
// failure (no such class, no merge interface, a refused merge) comes back as its HRESULT.
[[nodiscard]] HRESULT MergeBranchFiles(const std::wstring& vaultName, std::vector<MergeSelection>& records);
