#include "listview/SortKeys.h"
#include <windows.h>
#include <atomic>
#include <shlwapi.h>
#include "listview/VListCtrlItem.h"

namespace {

// Set while a sort runs under the process-wide sort lock; a comparison on another thread at
// the same time compares its texts directly.
std::atomic<SortKeys*> g_active{nullptr};
std::atomic<DWORD> g_activeThread{0};

std::string MakeKey(const wchar_t* text) {
    const LCID locale = ::GetThreadLocale();
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int size = ::LCMapStringW(locale, flags, text, -1, nullptr, 0);
    std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::LCMapStringW(locale, flags, text, -1, reinterpret_cast<LPWSTR>(key.data()), size);
    return key;
}

} // namespace

SortKeys::SortKeys(const std::vector<VListCtrlItem*>& rows) {
    m_entries.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i]->m_sortSlot = static_cast<int>(i);
        m_entries.push_back(Entry{rows[i], {}});
    }
    g_activeThread = ::GetCurrentThreadId();
    g_active = this;
}

SortKeys::~SortKeys() {
    for (const Entry& entry : m_entries)
        const_cast<VListCtrlItem*>(entry.row)->m_sortSlot = -1;
    g_active = nullptr;
    g_activeThread = 0;
}

const std::string* SortKeys::KeyOf(VListCtrlItem& row, int column, TextOf text) {
    const int slot = row.m_sortSlot;
    if (slot < 0 || static_cast<size_t>(slot) >= m_entries.size() || m_entries[static_cast<size_t>(slot)].row != &row)
        return nullptr;
    std::string& key = m_entries[static_cast<size_t>(slot)].key;
    if (key.empty()) {
        wchar_t buffer[kTextSize] = {};
        text(row, column, buffer);
        key = MakeKey(buffer);
        if (key.empty())
            return nullptr;
    }
    return &key;
}

int SortKeys::Compare(VListCtrlItem& a, VListCtrlItem& b, int column, TextOf text) {
    SortKeys* active = g_active;
    if (active && g_activeThread == ::GetCurrentThreadId()) {
        const std::string* keyA = active->KeyOf(a, column, text);
        const std::string* keyB = keyA ? active->KeyOf(b, column, text) : nullptr;
        if (keyA && keyB)
            return keyA->compare(*keyB);
    }
    wchar_t own[kTextSize] = {};
    wchar_t theirs[kTextSize] = {};
    text(a, column, own);
    text(b, column, theirs);
    return ::StrCmpNIW(own, theirs, kTextSize);
}
