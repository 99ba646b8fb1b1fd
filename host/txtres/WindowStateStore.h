#pragma once
// Remembered window sizes and list column widths in the user's registry; the layout of the
// keys and values is in README.md.
#include <windows.h>

#include <string>

class WindowStateStore {
public:
    static constexpr wchar_t kRootKey[] =
        L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State";

    // A name that cannot be one registry key (empty, too long, with a backslash) leaves
    // the store inert: every call below then does nothing.
    explicit WindowStateStore(const wchar_t* windowName);

    bool usable() const noexcept { return !m_keyPath.empty(); }

    // Stores the window's width and height (its normal size while minimised or maximised).
    void SaveWindowSize(HWND wnd) const;
    // Restores what was stored; odd values keep the current dimension (rules in README.md).
    void RestoreWindowSize(HWND wnd) const;
    // Widths of the first `count` columns of a report list view that exist.
    void SaveColumnWidths(HWND list, int count, const wchar_t* columnSet) const;
    void RestoreColumnWidths(HWND list, int count, const wchar_t* columnSet) const;

private:
    std::wstring ColumnKeyPath(const wchar_t* columnSet) const;
    std::wstring m_keyPath;
};
