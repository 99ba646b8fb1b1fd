#pragma once
// Helpers of the Txtres and ZebSettings tests: a real top-level window with child controls, and
// a message pump that waits without sleeping.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include "base/Geometry.h"
#include "base/ScopedHandle.h"
#include "module/resource.h"

namespace services_test {

// Runs the thread's messages until `done` answers true; false when `timeoutMs` passes first.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (MSG msg;;) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        const ULONGLONG now = ::GetTickCount64();
        if (done() || now >= deadline)
            return done();
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

// A resizable top-level window (not shown) whose children are placed in client coordinates.
class TestWindow {
public:
    static constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

    TestWindow(int clientWidth, int clientHeight) {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&classes);
        WNDCLASSW wc{0, ::DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"LineageServicesTest"};
        ::RegisterClassW(&wc);  // fails harmlessly when already registered
        m_wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Services test", kStyle, 40, 30, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ResizeClient(clientWidth, clientHeight);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { ::DestroyWindow(m_wnd); }

    HWND hwnd() const { return m_wnd; }
    HWND AddChild(const wchar_t* windowClass, unsigned id, const CRect& rect, DWORD style = 0) const {
        return ::CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top, rect.Width(),
                                 rect.Height(), m_wnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                                 nullptr);
    }
    // The report list of the branch dialog, 400 x 200 at (0, 40), with one column per width.
    HWND AddList(std::initializer_list<int> widths) const {
        HWND list = AddChild(WC_LISTVIEWW, IDC_FILE_LIST, CRect(0, 40, 400, 240), LVS_REPORT);
        for (int width : widths) {
            LVCOLUMNW column{LVCF_WIDTH, 0, width};
            ::SendMessageW(list, LVM_INSERTCOLUMNW, 99, reinterpret_cast<LPARAM>(&column));
        }
        return list;
    }
    void ResizeClient(int width, int height) const {
        CRect frame(0, 0, width, height);
        ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
        ResizeWindow(frame.Width(), frame.Height());
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
        if (!::GetWindowRect(::GetDlgItem(m_wnd, static_cast<int>(id)), &rect))
            return CRect();
        ::MapWindowPoints(nullptr, m_wnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

private:
    HWND m_wnd = nullptr;
};

// Runs `body` on `count` threads released at once, so their first calls race; true when all ended.
inline bool RunTogether(int count, const std::function<void()>& body) {
    struct Shared {
        const std::function<void()>& body;
        ScopedKernelHandle start{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    } shared{body};
    std::vector<ScopedKernelHandle> threads;
    std::vector<HANDLE> raw;
    for (int i = 0; i < count; ++i) {
        threads.emplace_back(::CreateThread(nullptr, 0, [](void* arg) -> DWORD {
            auto* s = static_cast<Shared*>(arg);
            ::WaitForSingleObject(s->start.get(), INFINITE);
            s->body();
            return 0;
        }, &shared, 0, nullptr));
        raw.push_back(threads.back().get());
    }
    ::SetEvent(shared.start.get());
    return ::WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), TRUE, 10000) == WAIT_OBJECT_0;
}

}  // namespace services_test

inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const CSize& s, std::ostream* os) { *os << s.cx << " x " << s.cy; }
