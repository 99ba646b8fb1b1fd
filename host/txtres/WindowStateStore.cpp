#include "WindowStateStore.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "base/Geometry.h"
#include "base/ScopedHandle.h"

namespace {

constexpr wchar_t kWidth[] = L"Width";
constexpr wchar_t kHeight[] = L"Height";
// Larger than any screen: such a value is damage, not a size someone chose.
constexpr LONG kMaxExtent = 32767;

bool IsKeyName(const wchar_t* name) noexcept {
    if (!name || !*name) return false;
    const size_t length = wcslen(name);
    return length <= 255 && !wcschr(name, L'\\');
}

// The handle is taken only on success: a failed call promises nothing about its output.
ScopedHKEY OpenForWrite(const std::wstring& path) noexcept {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return ScopedHKEY();
    return ScopedHKEY(key);
}

ScopedHKEY OpenForRead(const std::wstring& path) noexcept {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return ScopedHKEY();
    return ScopedHKEY(key);
}

void WriteDword(HKEY key, const wchar_t* name, LONG value) noexcept {
    const DWORD data = static_cast<DWORD>(value);
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

// Exactly a four-byte REG_DWORD, read as signed; anything else counts as missing.
std::optional<LONG> ReadDword(HKEY key, const wchar_t* name) noexcept {
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return std::nullopt;
    return static_cast<LONG>(data);
}

std::optional<LONG> ReadExtent(HKEY key, const wchar_t* name) noexcept {
    const std::optional<LONG> value = ReadDword(key, name);
    if (!value || *value <= 0 || *value > kMaxExtent) return std::nullopt;
    return value;
}

int ColumnCount(HWND list, int wanted) noexcept {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return 0;
    const int columns = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    return std::max(0, std::min(wanted, columns));
}

std::wstring ColumnValueName(int column) { return L"Col" + std::to_wstring(column); }

}  // namespace

WindowStateStore::WindowStateStore(const wchar_t* windowName) {
    if (IsKeyName(windowName)) m_keyPath = std::wstring(kRootKey) + L'\\' + windowName;
}

void WindowStateStore::SaveWindowSize(HWND wnd) const {
    if (!usable() || !::IsWindow(wnd)) return;
    CRect rect;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    // A minimised or maximised window is remembered by the size it returns to.
    if ((::IsIconic(wnd) || ::IsZoomed(wnd)) && ::GetWindowPlacement(wnd, &placement))
        rect = placement.rcNormalPosition;
    else if (!::GetWindowRect(wnd, &rect))
        return;
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    ScopedHKEY key = OpenForWrite(m_keyPath);
    if (!key) return;
    WriteDword(key.get(), kWidth, rect.Width());
    WriteDword(key.get(), kHeight, rect.Height());
}

void WindowStateStore::RestoreWindowSize(HWND wnd) const {
    if (!usable() || !::IsWindow(wnd)) return;
    ScopedHKEY key = OpenForRead(m_keyPath);
    if (!key) return;
    const std::optional<LONG> width = ReadExtent(key.get(), kWidth);
    const std::optional<LONG> height = ReadExtent(key.get(), kHeight);
    if (!width && !height) return;

    CRect current;
    ::GetWindowRect(wnd, &current);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    CRect work(0, 0, kMaxExtent, kMaxExtent);
    if (::GetMonitorInfoW(::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    const LONG cx = std::min<LONG>(width.value_or(current.Width()), work.Width());
    const LONG cy = std::min<LONG>(height.value_or(current.Height()), work.Height());
    ::SetWindowPos(wnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowStateStore::SaveColumnWidths(HWND list, int count, const wchar_t* columnSet) const {
    const std::wstring path = ColumnKeyPath(columnSet);
    if (path.empty() || !::IsWindow(list)) return;
    const int columns = ColumnCount(list, count);
    if (columns == 0) return;
    ScopedHKEY key = OpenForWrite(path);
    if (!key) return;
    for (int i = 0; i < columns; ++i) {
        const LONG width = static_cast<LONG>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        WriteDword(key.get(), ColumnValueName(i).c_str(), width);
    }
}

void WindowStateStore::RestoreColumnWidths(HWND list, int count, const wchar_t* columnSet) const {
    const std::wstring path = ColumnKeyPath(columnSet);
    if (path.empty() || !::IsWindow(list)) return;
    const int columns = ColumnCount(list, count);
    if (columns == 0) return;
    ScopedHKEY key = OpenForRead(path);
    if (!key) return;
    for (int i = 0; i < columns; ++i) {
        // A zero width would hide the column for good; the default width is the better answer.
        const std::optional<LONG> width = ReadExtent(key.get(), ColumnValueName(i).c_str());
        if (width) ::SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(*width, 0));
    }
}

std::wstring WindowStateStore::ColumnKeyPath(const wchar_t* columnSet) const {
    if (!usable() || !IsKeyName(columnSet)) return {};
    return m_keyPath + L'\\' + columnSet;
}
