#pragma once
// Answers the dialogs that code under test shows on this thread, as a user would: a hook sees
// each dialog window as it is activated, records what it shows and hands it to the next
// queued answer (by default: OK, or Cancel when there is no OK).
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct SeenControl {
    std::wstring className;
    std::wstring text;
    HWND window;
};

struct SeenDialog {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring message;     // the visible static texts, joined by newlines: a message box's message
    std::vector<int> buttons; // ids of the visible push buttons
    std::vector<SeenControl> controls;  // every child, at any depth
};

class DialogDriver {
public:
    using Answer = std::function<void(const SeenDialog&)>;
    DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    ~DialogDriver();

    void Then(Answer answer) { m_answers.push_back(std::move(answer)); }
    const std::vector<SeenDialog>& Seen() const { return m_seen; }
    // Posts a click of button `id`: it is handled by the dialog's own loop.
    static void Press(HWND dialog, int id);

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) noexcept;
    void OnActivate(HWND window);

    HHOOK m_hook = nullptr;
    std::deque<Answer> m_answers;
    std::vector<SeenDialog> m_seen;
};
