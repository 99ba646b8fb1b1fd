#include "MergeLog.h"

#include "base/ScopedHandle.h"
#include "common/TextEncoding.h"

namespace {

std::wstring LogPath() {
    const DWORD needed = ::GetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", nullptr, 0);
    if (needed == 0) return {};
    std::wstring path(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", path.data(), needed);
    path.resize(length < needed ? length : 0);
    return path;
}

}  // namespace

void AppendToMergeLog(const std::wstring& vaultName, const MergeSelection* items, long count) {
    const std::wstring path = LogPath();
    if (path.empty()) return;
    std::wstring line = vaultName + L'\t' + std::to_wstring(count);
    for (long i = 0; i < count; ++i)
        line += L'\t' + std::to_wstring(items[i].branchDocId) + L'/' + std::to_wstring(items[i].branchFolderId);
    const std::string utf8 = WideToUtf8(line + L'\n');
    ScopedFileHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
