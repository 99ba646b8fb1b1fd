#pragma once
// The programs "Open as CSV" hands files to, made observable: the Excel automation stand-in
// registered as "Excel.Application", and a recording program associated with ".txt".
#include <windows.h>
#include <string>
#include <vector>
#include "ExportTestSupport.h"
#include "base/ScopedHandle.h"

// A visible top-level window, active on this thread: the dialog's stand-in as owner of messages.
class OwnerWindow {
public:
    OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    ~OwnerWindow() { ::DestroyWindow(m_window); }
    HWND get() const { return m_window; }
private:
    HWND m_window;
};

class ExcelStandIn {
public:
    // Registers the stand-in and gives ".csv" to `csvClass` ("Excel.CSV" in some letter case).
    explicit ExcelStandIn(const wchar_t* csvClass = L"Excel.CSV");
    ExcelStandIn(const ExcelStandIn&) = delete;
    ExcelStandIn& operator=(const ExcelStandIn&) = delete;
    ~ExcelStandIn() { Unregister(); }

    void Unregister();
    void Version(const wchar_t* version) { ::SetEnvironmentVariableW(L"LINEAGE_EXCEL_VERSION", version); }
    void Fail(const wchar_t* call) { ::SetEnvironmentVariableW(L"LINEAGE_EXCEL_FAIL", call); }
    // The calls the stand-in received, one fact a line, and the file as OpenText saw it.
    std::vector<std::string> Calls() const { return ReadUtf8Lines(m_folder.File(L"excel.log")); }
    std::wstring ImportedCopy() const { return m_folder.File(L"imported.txt"); }
    SeparatorSettings& Settings() { return m_settings; }

private:
    ScratchFolder m_folder;
    SeparatorSettings m_settings;
    ScopedEnvironment m_log{L"LINEAGE_EXCEL_LOG", m_folder.File(L"excel.log")};
    ScopedEnvironment m_copy{L"LINEAGE_EXCEL_COPY", m_folder.File(L"imported.txt")};
    ScopedEnvironment m_version{L"LINEAGE_EXCEL_VERSION", L"10.0"};
    ScopedEnvironment m_fail{L"LINEAGE_EXCEL_FAIL", L""};
    ScopedHMODULE m_server;
};

// ".txt" opens with `program`, by default the recording one: it writes down its command line,
// tells the test it runs and, when held, ends only on Release().
class RecordingOpener {
public:
    explicit RecordingOpener(bool hold = false, const std::wstring& program = L"");
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;
    ~RecordingOpener() { Release(); }

    bool WaitStarted(DWORD timeoutMs = 20000) const;
    void Release() const { ::SetEvent(m_release.get()); }
    std::vector<std::string> CommandLines() const { return ReadUtf8Lines(m_folder.File(L"opener.log")); }

private:
    ScratchFolder m_folder;
    std::wstring m_events;
    ScopedKernelHandle m_started, m_release;
    ScopedRegistryValue m_txtClass{HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", L""};
    ScopedClassKey m_class{L"LineageTest.txtfile"};
    ScopedEnvironment m_log{L"LINEAGE_OPENER_LOG", m_folder.File(L"opener.log")};
    ScopedEnvironment m_startedName, m_releaseName;
};

// True once `path` is listed for deletion at the next restart; waits for the registry to change.
bool WaitForDeleteAtRestart(const std::wstring& path, DWORD timeoutMs = 20000);
bool IsMarkedForDeleteAtRestart(const std::wstring& path);
// Takes `path` off the list again, so the test prefix is left as it was.
void ForgetDeleteAtRestart(const std::wstring& path);
