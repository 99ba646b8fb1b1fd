#pragma once
// Tooltips over rectangles of windows, on one tooltip control made on first use.
//
// A text "\u00A4Title\nDescription" shows a bold title over the description. The tooltip
// control has one title for all its tools, so every tool asks for its text when its tip is
// about to show (TTN_GETDISPINFOW) and the title is switched to that tool's at that moment;
// the control measures the tip only after that answer, so the size includes the title.
// The notification goes to the window the tool lies on, which is therefore subclassed
// (SetWindowSubclass) for as long as it carries tools.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <utility>

class RectToolTips {
public:
    RectToolTips() = default;
    RectToolTips(const RectToolTips&) = delete;
    RectToolTips& operator=(const RectToolTips&) = delete;
    ~RectToolTips() { Destroy(); }

    // Adds the tool `id` over `rect` (client coordinates of `wnd`), replacing an earlier tool
    // with the same window and id. `owner` owns the tooltip window if it has to be made.
    bool Add(HWND owner, HWND wnd, unsigned id, const RECT& rect, const wchar_t* text);
    // False when there is no such tool.
    bool Remove(HWND wnd, unsigned id);
    // Destroys the tooltip window and lets go of every subclassed window.
    void Destroy() noexcept;

    HWND window() const noexcept { return m_tip; }

private:
    struct Tip {
        std::wstring title;  // empty: a plain tip
        std::wstring body;
    };
    using ToolKey = std::pair<HWND, unsigned>;

    static Tip Split(const wchar_t* text);
    bool EnsureWindow(HWND owner);
    bool Hook(HWND wnd);
    void Unhook(HWND wnd) noexcept;
    void DeleteTool(HWND wnd, unsigned id) noexcept;
    void ShowTitle(const std::wstring& title) noexcept;
    void AnswerDispInfo(HWND wnd, NMTTDISPINFOW& info) noexcept;
    void ForgetWindow(HWND wnd) noexcept;

    static LRESULT CALLBACK ToolWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self) noexcept;
    static LRESULT CALLBACK TipWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self) noexcept;

    HWND m_tip = nullptr;
    std::wstring m_title;  // the title the tooltip control shows now
    std::map<ToolKey, Tip> m_tips;
    std::set<HWND> m_hooked;
};
