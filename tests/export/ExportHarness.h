#pragma once
// What the export tests share: scratch files, registry values and environment variables put back
// afterwards, the programs an export hands files to, and a driver answering dialogs as a user would.
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>
#include "base/ScopedHandle.h"
#include "export/FileListExport.h"

// A folder of its own under the temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::vector<std::wstring> Files() const;
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;  // answers the path
private:
    std::wstring m_path;
};

inline bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string ReadBytes(const std::wstring& path);
std::vector<std::string> ReadUtf8Lines(const std::wstring& path);
std::string Utf8(const std::wstring& text);
std::string Utf16File(const std::vector<std::wstring>& lines);  // FF FE, then each line and CR LF in UTF-16LE

// One registry value set to `text` (nullptr: removed) and put back as it was on destruction.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name, const wchar_t* text);
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue();
    void Set(const wchar_t* text) const;
private:
    HKEY m_root;
    std::wstring m_subKey, m_name;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_old;  // empty with REG_NONE: there was no value
};

// A key under HKLM\Software\Classes, removed with everything under it on destruction.
struct ScopedClassKey {
    explicit ScopedClassKey(const std::wstring& name) : key(L"Software\\Classes\\" + name) {}
    ScopedClassKey(const ScopedClassKey&) = delete;
    ~ScopedClassKey() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str()); }
    void Set(const std::wstring& subKey, const std::wstring& value) const;  // default value of key\subKey
    std::wstring key;
};

class ScopedEnvironment {
public:
    ScopedEnvironment(std::wstring name, const std::wstring& value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { ::SetEnvironmentVariableW(m_name.c_str(), m_existed ? m_old.c_str() : nullptr); }
private:
    std::wstring m_name, m_old;
    bool m_existed = false;
};

// TMP and TEMP pointed at `folder` while the object lives.
struct ScopedTempFolder {
    explicit ScopedTempFolder(const std::wstring& folder) : tmp(L"TMP", folder), temp(L"TEMP", folder) {}
    ScopedEnvironment tmp, temp;
};

// The user's list separator and the ".csv" type's class with its description; unset by default.
struct SeparatorSettings {
    explicit SeparatorSettings(const wchar_t* list = nullptr, const wchar_t* csvClassName = nullptr,
                               const wchar_t* description = nullptr);
    ScopedRegistryValue sList, csvClass;
    ScopedClassKey described;
};
constexpr wchar_t kSwedishCsv[] = L"Microsoft Office Excel-fil med kommaavgr\u00e4nsade v\u00e4rden";

// A list as the dialog hands it over: `rows` of texts for columns 1 and up.
ExportSource MakeSource(std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows,
                        std::wstring date = L"23/11/1987 14:45:56", HWND owner = nullptr);

// A visible top-level window, active on this thread: what the dialog is to the export.
struct OwnerWindow {
    OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    ~OwnerWindow() { ::DestroyWindow(window); }
    HWND window;
};

// The Excel automation stand-in, registered as "Excel.Application" unless told otherwise: it writes
// down every call it gets, one fact a line, and copies the file OpenText opens.
class ExcelStandIn {
public:
    explicit ExcelStandIn(const wchar_t* version = L"10.0", const wchar_t* failingCall = L"", bool registered = true);
    ~ExcelStandIn();
    std::vector<std::string> Calls() const { return ReadUtf8Lines(m_folder.File(L"excel.log")); }
    std::wstring ImportedCopy() const { return m_folder.File(L"imported.txt"); }
private:
    ScratchFolder m_folder;
    ScopedEnvironment m_log, m_copy, m_version, m_fail;
    ScopedHMODULE m_server;
};

// ".txt" opens with `program`, by default one that writes down its command line, tells the test
// it runs and, when held, ends only on Release(); `deletes`: it deletes the file before ending.
class RecordingOpener {
public:
    explicit RecordingOpener(bool hold = false, bool deletes = false, const std::wstring& program = L"");
    ~RecordingOpener() { Release(); }
    bool WaitStarted() const { return ::WaitForSingleObject(m_started.get(), 20000) == WAIT_OBJECT_0; }
    void Release() const { ::SetEvent(m_release.get()); }
    std::vector<std::string> CommandLines() const { return ReadUtf8Lines(m_folder.File(L"opener.log")); }
private:
    ScratchFolder m_folder;
    std::wstring m_events;
    ScopedKernelHandle m_started, m_release;
    ScopedRegistryValue m_txtClass;
    ScopedClassKey m_class{L"LineageTest.txtfile"};
    ScopedEnvironment m_log, m_eventsName, m_deletes;
};

// True when `path` is listed for deletion at the next restart. The list is put back after the run.
bool MarkedForDeleteAtRestart(const std::wstring& path);

struct SeenDialog {
    HWND window, owner;
    std::wstring message;      // the visible static texts, joined by newlines
    std::vector<int> buttons;  // ids of the visible buttons
    std::vector<std::pair<std::wstring, HWND>> controls;  // class name and window of every child
    HWND Find(const wchar_t* className, const std::wstring& text) const;
};

// Answers the dialogs shown on this thread: each is recorded as it is activated and handed to the
// next queued answer, or else OK is pressed (Cancel when there is no OK).
class DialogDriver {
public:
    using Answer = std::function<void(const SeenDialog&)>;
    DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    ~DialogDriver();
    void Then(Answer answer) { m_answers.push_back(std::move(answer)); }
    const std::vector<SeenDialog>& Seen() const { return m_seen; }
    static void Press(HWND dialog, int id);  // posted: handled by the dialog's own loop
private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) noexcept;
    HHOOK m_hook;
    std::deque<Answer> m_answers;
    std::vector<SeenDialog> m_seen;
};
