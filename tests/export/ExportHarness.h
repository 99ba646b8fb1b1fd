#pragma once
// Scratch files, settings put back afterwards, the programs an export hands files to, a user answering dialogs.
#include <windows.h>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "DialogSession.h"
#include "base/ScopedHandle.h"
#include "export/FileListExport.h"

// A folder of its own under the temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder() { std::filesystem::create_directory(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ~ScratchFolder() { std::error_code ignored; std::filesystem::remove_all(m_path, ignored); }
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::wstring Write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(std::filesystem::path(File(name)), std::ios::binary) << bytes;
        return File(name);
    }
private:
    static inline int s_count = 0;
    std::wstring m_path = (std::filesystem::temp_directory_path() / (L"lineage-export-" +
        std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++s_count))).wstring();
};

inline bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline std::vector<std::string> ReadLines(const std::wstring& path) {
    std::ifstream in{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
inline std::string Utf8(const std::wstring& text) { return std::filesystem::path(text).u8string(); }
// FF FE, then each line and CR LF in UTF-16LE.
inline std::string Utf16File(const std::vector<std::wstring>& lines) {
    std::wstring text = L"\xFEFF";
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// One registry value set to `text` (nullptr: removed) and put back as it was on destruction.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name, const wchar_t* text)
        : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name)), m_old(65536) {
        DWORD size = DWORD(m_old.size());
        if (::RegGetValueW(root, m_subKey.c_str(), m_name.c_str(), RRF_RT_ANY, &m_type, m_old.data(), &size) != 0)
            m_type = REG_NONE;
        m_old.resize(size);
        Set(text);
    }
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue() {
        Set(nullptr);
        if (m_type != REG_NONE)
            ::RegSetKeyValueW(m_root, m_subKey.c_str(), m_name.c_str(), m_type, m_old.data(), DWORD(m_old.size()));
    }
    void Set(const wchar_t* text) const {
        if (text)
            ::RegSetKeyValueW(m_root, m_subKey.c_str(), m_name.c_str(), REG_SZ, text, DWORD(wcslen(text) * 2 + 2));
        else
            ::RegDeleteKeyValueW(m_root, m_subKey.c_str(), m_name.c_str());
    }
private:
    HKEY m_root;
    std::wstring m_subKey, m_name;
    DWORD m_type = REG_NONE;  // REG_NONE: there was no value
    std::vector<BYTE> m_old;
};

struct ScopedEnvironment {
    ScopedEnvironment(std::wstring name, const std::wstring& value) : name(std::move(name)), old(32767, L'\0') {
        old.resize(::GetEnvironmentVariableW(this->name.c_str(), old.data(), DWORD(old.size())));
        ::SetEnvironmentVariableW(this->name.c_str(), value.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { ::SetEnvironmentVariableW(name.c_str(), old.empty() ? nullptr : old.c_str()); }
    const std::wstring name;
    std::wstring old;
};

struct ScopedTempFolder {
    explicit ScopedTempFolder(const std::wstring& folder) : tmp(L"TMP", folder), temp(L"TEMP", folder) {}
    ScopedEnvironment tmp, temp;
};

constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

// The user's list separator and the ".csv" type's class with its description; unset by default.
struct SeparatorSettings {
    explicit SeparatorSettings(const wchar_t* list = nullptr, const wchar_t* csvClassName = nullptr,
                               const wchar_t* description = nullptr)
        : sList(HKEY_CURRENT_USER, L"Control Panel\\International", L"sList", list),
          csvClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.csv", L"", csvClassName),
          described(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + std::wstring(csvClassName ? csvClassName : L"-"), L"",
                    description) {}
    ScopedRegistryValue sList, csvClass, described;
};

// A list as the dialog hands it over: `rows` of texts for columns 1 and up.
inline ExportSource MakeSource(std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows,
                               std::wstring date = L"23/11/1987 14:45:56", HWND owner = nullptr) {
    ExportSource source{owner, L"Release", L"anna", std::move(date), std::move(headings), int(rows.size())};
    auto table = std::make_shared<std::vector<std::vector<std::wstring>>>(std::move(rows));
    source.cellText = [table](int row, int column) { return (*table)[row][column - 1]; };
    return source;
}

// "Excel.Application", writing down every call it gets, one fact a line, and copying the file OpenText opens.
class ExcelStandIn {
public:
    explicit ExcelStandIn(const wchar_t* version = L"10.0", const wchar_t* failingCall = L"", bool registered = true)
        : m_version(L"LINEAGE_EXCEL_VERSION", version), m_fail(L"LINEAGE_EXCEL_FAIL", failingCall) {
        if (registered)
            Call("DllRegisterServer");
    }
    ~ExcelStandIn() { Call("DllUnregisterServer"); }
    std::vector<std::string> Calls() const { return ReadLines(m_folder.File(L"excel.log")); }
    std::wstring ImportedCopy() const { return m_folder.File(L"imported.txt"); }
private:
    void Call(const char* entry) const {
        if (auto function = reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(m_server.get(), entry)))
            function();
    }
    ScratchFolder m_folder;
    ScopedEnvironment m_log{L"LINEAGE_EXCEL_LOG", m_folder.File(L"excel.log")};
    ScopedEnvironment m_copy{L"LINEAGE_EXCEL_COPY", ImportedCopy()};
    ScopedEnvironment m_version, m_fail;
    ScopedHMODULE m_server{::LoadLibraryW((lineage_test::ExecutableFolder() + L"ExcelStandIn.dll").c_str())};
};

// ".txt" opens with `program`, by default one that writes down its command line and, when held, ends on Release().
class RecordingOpener {
public:
    explicit RecordingOpener(bool hold = false, const std::wstring& program = L"")
        : m_release(::CreateEventW(nullptr, TRUE, !hold, (m_events + L"-release").c_str())) {
        const std::wstring exe = program.empty() ? lineage_test::ExecutableFolder() + L"export_opener.exe" : program;
        Set(L"shell\\open\\command", L"\"" + exe + L"\" \"%1\"");
    }
    ~RecordingOpener() {
        Release();
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClass);
    }
    void Set(const std::wstring& subKey, const std::wstring& value) const {  // a default value under the class
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (kClass + (L"\\" + subKey)).c_str(), nullptr, REG_SZ, value.c_str(),
                          DWORD(value.size() * 2 + 2));
    }
    bool WaitStarted() const { return ::WaitForSingleObject(m_started.get(), 20000) == WAIT_OBJECT_0; }
    void Release() const { ::SetEvent(m_release.get()); }
    std::vector<std::string> CommandLines() const { return ReadLines(m_folder.File(L"opener.log")); }
private:
    static constexpr wchar_t kClass[] = L"Software\\Classes\\LineageTest.txtfile";
    static inline int s_count = 0;
    ScratchFolder m_folder;
    std::wstring m_events =
        L"LineageExportOpener-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++s_count);
    ScopedKernelHandle m_started{::CreateEventW(nullptr, TRUE, FALSE, (m_events + L"-started").c_str())};
    ScopedKernelHandle m_release;
    ScopedRegistryValue m_txtClass{HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", L"", L"LineageTest.txtfile"};
    ScopedEnvironment m_log{L"LINEAGE_OPENER_LOG", m_folder.File(L"opener.log")};
    ScopedEnvironment m_eventsName{L"LINEAGE_OPENER_EVENTS", m_events};
};

struct SeenDialog {
    HWND window, owner;
    std::wstring message;
    std::vector<std::pair<std::wstring, HWND>> controls;  // class name and window of every child
    HWND Find(const wchar_t* className, const std::wstring& text) const {
        for (const auto& [cls, control] : controls)
            if (_wcsicmp(cls.c_str(), className) == 0 && lineage_test::WindowText(control) == text)
                return control;
        return nullptr;
    }
};

// An active owner window, and the dialogs shown on this thread, each recorded and handed to the next answer or OK.
class DialogDriver {
public:
    using Answer = std::function<void(const SeenDialog&)>;
    DialogDriver() {
        ::SetForegroundWindow(owner);
        ::SetActiveWindow(owner);
        s_driver = this;
    }
    DialogDriver(const DialogDriver&) = delete;
    ~DialogDriver() {
        ::UnhookWindowsHookEx(m_hook);
        ::DestroyWindow(owner);
        s_driver = nullptr;
    }
    void Then(Answer answer) { m_answers.push_back(std::move(answer)); }
    const std::vector<SeenDialog>& Seen() const { return m_seen; }
    std::wstring LastMessage() const {  // marked when the owner window does not own it
        if (m_seen.empty())
            return L"(none)";
        return (m_seen.back().owner == owner ? L"" : L"(not owned) ") + m_seen.back().message;
    }
    static void Press(HWND dialog, int id) { ::PostMessageW(dialog, WM_COMMAND, id, 0); }  // to the dialog's loop

    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"Branch Details", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                         400, 300, nullptr, nullptr, nullptr, nullptr);
private:
    static std::wstring ClassName(HWND window) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        return name;
    }
    static LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) noexcept {
        const HWND window = reinterpret_cast<HWND>(wp);
        DialogDriver* driver = s_driver;
        auto seenBefore = [&](const SeenDialog& s) { return s.window == window; };
        if (code != HCBT_ACTIVATE || !driver || ClassName(window) != L"#32770" ||
            std::any_of(driver->m_seen.begin(), driver->m_seen.end(), seenBefore))
            return ::CallNextHookEx(nullptr, code, wp, lp);
        SeenDialog& seen = driver->m_seen.emplace_back(SeenDialog{window, ::GetWindow(window, GW_OWNER)});
        ::EnumChildWindows(window, [](HWND child, LPARAM lp) -> BOOL {
            reinterpret_cast<SeenDialog*>(lp)->controls.emplace_back(ClassName(child), child);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&seen));
        seen.message = lineage_test::WindowText(::GetDlgItem(window, 0xFFFF));  // a message box's text
        if (driver->m_answers.empty()) {
            Press(window, IDOK);
        } else {
            const Answer answer = std::move(driver->m_answers.front());
            driver->m_answers.pop_front();
            answer(seen);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline DialogDriver* s_driver = nullptr;
    HHOOK m_hook = ::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    std::deque<Answer> m_answers;
    std::vector<SeenDialog> m_seen;
};
