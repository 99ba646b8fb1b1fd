#pragma once
// Helpers of the Txtres and ZebSettings tests: temporary folders, a real top-level window with
// child controls, and a message pump that waits without sleeping.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/Geometry.h"
#include "base/ScopedHandle.h"

namespace services_test {

inline std::wstring Widen(const char* s) { return std::wstring(s, s + strlen(s)); }

inline std::wstring CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return Widen(info->test_suite_name()) + L"." + Widen(info->name());
}

// A folder of its own under %TEMP%; it and the files in it go away with the object.
class TempFolder {
public:
    TempFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        static LONG counter = 0;
        m_path = std::wstring(temp) + L"lineage-services-" + std::to_wstring(::GetCurrentProcessId()) +
                 L"-" + std::to_wstring(::InterlockedIncrement(&counter)) + L"\\";
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((m_path + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((m_path + found.cFileName).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }

    const std::wstring& path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + name; }

    void Write(const wchar_t* name, std::string_view bytes) const {
        ScopedFileHandle file(::CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file) << "cannot create a test file";
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        ASSERT_EQ(written, bytes.size());
    }

private:
    std::wstring m_path;
};

// Runs the thread's messages until `done` answers true; false when `timeoutMs` passes first.
// Waits in MsgWaitForMultipleObjectsEx, never in Sleep.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
}

// A resizable top-level window (not shown) whose children are placed in client coordinates.
class TestWindow {
public:
    static constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

    TestWindow(int clientWidth, int clientHeight) {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&classes);
        RegisterClass();
        CRect frame(0, 0, clientWidth, clientHeight);
        ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
        m_wnd = ::CreateWindowExW(0, kClassName, L"Services test", kStyle, 40, 30, frame.Width(),
                                  frame.Height(), nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() {
        if (::IsWindow(m_wnd)) ::DestroyWindow(m_wnd);
    }

    HWND hwnd() const { return m_wnd; }

    HWND AddChild(const wchar_t* windowClass, unsigned id, const RECT& rect, DWORD style = 0) const {
        return ::CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, m_wnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    // A report-view list with one column per width.
    HWND AddReportList(unsigned id, const RECT& rect, std::initializer_list<int> widths) const {
        HWND list = AddChild(WC_LISTVIEWW, id, rect, LVS_REPORT);
        int index = 0;
        for (int width : widths) {
            std::wstring title = L"Column " + std::to_wstring(index);
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = width;
            column.pszText = title.data();
            ::SendMessageW(list, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&column));
        }
        return list;
    }

    void ResizeClient(int width, int height) const {
        CRect frame(0, 0, width, height);
        ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
        ::SetWindowPos(m_wnd, nullptr, 0, 0, frame.Width(), frame.Height(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void ResizeWindow(int width, int height) const {
        ::SetWindowPos(m_wnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    CSize ClientSize() const {
        CRect client;
        ::GetClientRect(m_wnd, &client);
        return client.Size();
    }
    CSize WindowSize() const {
        CRect rect;
        ::GetWindowRect(m_wnd, &rect);
        return rect.Size();
    }
    // A child's rectangle in client coordinates, measured independently of the code under test.
    CRect ChildRect(unsigned id) const {
        CRect rect;
        HWND child = ::GetDlgItem(m_wnd, static_cast<int>(id));
        if (!child || !::GetWindowRect(child, &rect)) return CRect();
        ::MapWindowPoints(nullptr, m_wnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

private:
    static constexpr wchar_t kClassName[] = L"LineageServicesTestWindow";

    static void RegisterClass() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        ::RegisterClassExW(&wc);  // fails harmlessly when already registered
    }

    HWND m_wnd = nullptr;
};

inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

}  // namespace services_test

// Lets EXPECT_EQ print rectangles and sizes readably.
inline void PrintTo(const CRect& r, std::ostream* os) { services_test::PrintTo(r, os); }
inline void PrintTo(const CSize& s, std::ostream* os) { *os << s.cx << " x " << s.cy; }
