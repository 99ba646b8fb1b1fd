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
    ~OwnerWindow();
    HWND get() const { return m_window; }
private:
    HWND m_window = nullptr;
};

class ExcelStandIn {
public:
    // Registers the stand-in and gives ".csv" to `csvClass` ("Excel.CSV" in some letter case).
    explicit ExcelStandIn(const wchar_t* csvClass = L"Excel.CSV");
    ExcelStandIn(const ExcelStandIn&) = delete;
    ExcelStandIn& operator=(const ExcelStandIn&) = delete;
    ~ExcelStandIn();

    void Unregister();
    void Version(const wchar_t* version) { ::SetEnvironmentVariableW(L"LINEAGE_EXCEL_VERSION", version); }
    void Fail(const wchar_t* call) { ::SetEnvironmentVariableW(L"LINEAGE_EXCEL_FAIL", call); }
    // The calls the stand-in received, one fact a line.
    std::vector<std::string> Calls() const { return ReadUtf8Lines(m_folder.File(L"excel.log")); }
    // The file as OpenText saw it.
    std::wstring ImportedCopy() const { return m_folder.File(L"imported.txt"); }
    // The separator settings, put back when the stand-in goes.
    SeparatorSettings& Settings() { return m_settings; }

private:
    ScratchFolder m_folder;
    SeparatorSettings m_settings;   // remembers ".csv" and "sList" for the destructor
    ScopedEnvironment m_log;
    ScopedEnvironment m_copy;
    ScopedEnvironment m_version;
    ScopedEnvironment m_fail;
    ScopedHMODULE m_server;
};

// ".txt" opens with the recording program. It writes down its command line, tells the test it
// runs and, when held, ends only on Release().
class RecordingOpener {
public:
    explicit RecordingOpener(bool hold = false, const std::wstring& program = L"");
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;
    ~RecordingOpener();

    bool WaitStarted(DWORD timeoutMs) const;
    void Release() const { ::SetEvent(m_release.get()); }
    std::vector<std::string> CommandLines() const { return ReadUtf8Lines(m_folder.File(L"opener.log")); }

private:
    ScratchFolder m_folder;
    std::wstring m_eventPrefix;
    ScopedKernelHandle m_started;
    ScopedKernelHandle m_release;
    ScopedRegistryValue m_txtClass;
    ScopedRegistryTree m_classTree;
    ScopedEnvironment m_log;
    ScopedEnvironment m_startedName;
    ScopedEnvironment m_releaseName;
};

// True once `path` is listed for deletion at the next restart; waits for the registry to change.
bool WaitForDeleteAtRestart(const std::wstring& path, DWORD timeoutMs);
bool IsMarkedForDeleteAtRestart(const std::wstring& path);
// Takes `path` off the list again, so the test prefix is left as it was.
void ForgetDeleteAtRestart(const std::wstring& path);
