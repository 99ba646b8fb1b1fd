#include "dialog/BranchedFileItem.h"
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include "dialog/DialogTexts.h"
#include "icons/FileTypeImages.h"
#include "listview/SortKeys.h"

namespace {

std::atomic<long> g_liveRows{0};

std::wstring_view View(const wchar_t* text) { return text ? std::wstring_view(text) : std::wstring_view(); }

std::wstring Join(std::wstring_view root, std::wstring_view folder, std::wstring_view name) {
    std::wstring path;
    path.reserve(root.size() + folder.size() + name.size());
    path.append(root).append(folder).append(name);
    return path;
}

} // namespace

BranchedFileItem::BranchedFileItem(const wchar_t* vaultRoot, int sourceDocId, int sourceFolderId, int,
                                   int branchDocId, double, int branchFolderId, const wchar_t* sourceName,
                                   const wchar_t* branchName, const wchar_t* sourceFolder,
                                   const wchar_t* branchFolder, bool shared)
    : sourceDocId(sourceDocId),
      sourceFolderId(sourceFolderId),
      branchDocId(branchDocId),
      branchFolderId(branchFolderId),
      shared(shared),
      m_sourcePath(Join(View(vaultRoot), View(sourceFolder), View(sourceName))),
      m_branchPath(Join(View(vaultRoot), View(branchFolder), View(branchName))),
      m_rootLength(static_cast<unsigned>(View(vaultRoot).size())),
      m_sourceFolderLength(static_cast<unsigned>(View(sourceFolder).size())),
      m_branchFolderLength(static_cast<unsigned>(View(branchFolder).size())) {
    ++g_liveRows;
}

BranchedFileItem::~BranchedFileItem() { --g_liveRows; }

long BranchedFileItem::LiveCount() noexcept { return g_liveRows.load(); }

std::wstring_view BranchedFileItem::Extension() const noexcept {
    std::wstring_view name = SourceName();
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
}

void BranchedFileItem::GetText(int column, wchar_t* buffer, int size) {
    if (!buffer || size <= 0)
        return;
    std::wstring_view text;
    std::wstring yes;
    switch (column) {
    case 1:
        text = m_sourcePath;
        break;
    case 2:
        text = m_branchPath;
        break;
    case 3:
        if (shared) {
            yes = DialogText(15, L"Yes");
            text = yes;
        }
        break;
    default:
        break;
    }
    const size_t count = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
    std::wmemcpy(buffer, text.data(), count);
    buffer[count] = L'\0';
}

int BranchedFileItem::GetColumnImage(int column) {
    if (column != 0 || !images)
        return -1;
    return images->GetFileImageIndex(std::wstring(SourceName()).c_str());
}

int BranchedFileItem::Compare(VListCtrlItem& other, int key) {
    if (std::abs(key) != 1)
        return VListCtrlItem::Compare(other, key);
    // The "Type" column orders by extension. Every row of this list is a BranchedFileItem.
    const auto extensionOf = [](VListCtrlItem& row, int, wchar_t* buffer) {
        std::wstring_view extension = static_cast<BranchedFileItem&>(row).Extension().substr(0, SortKeys::kTextSize - 1);
        std::wmemcpy(buffer, extension.data(), extension.size());
    };
    const int result = SortKeys::Compare(*this, other, 0, extensionOf);
    return key < 0 ? -result : result;
}
