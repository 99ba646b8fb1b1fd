#include "SpreadsheetStandIns.h"
#include "DialogSession.h"

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPending[] = L"PendingFileRenameOperations";

// Pairs of (source, target); an empty target means "delete".
std::vector<std::wstring> PendingRenames() {
    std::wstring data(32768, L'\0');
    DWORD size = DWORD(data.size() * sizeof(wchar_t));
    std::vector<std::wstring> entries;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                       &size) != ERROR_SUCCESS)
        return entries;
    data.resize(size / sizeof(wchar_t));
    for (size_t start = 0, end; (end = data.find(L'\0', start)) != std::wstring::npos; start = end + 1)
        entries.push_back(data.substr(start, end - start));
    entries.resize(entries.size() & ~size_t(1));  // the list's own closing zero
    return entries;
}

// Entries are NT paths ("\??\C:\..."); separators may be collapsed.
bool EndsWithPath(const std::wstring& entry, const std::wstring& path) {
    auto squeeze = [](const std::wstring& s) {
        std::wstring out;
        for (wchar_t c : s)
            if (c != L'\\' || out.empty() || out.back() != L'\\')
                out += wchar_t(towlower(c));
        return out;
    };
    const std::wstring e = squeeze(entry), p = squeeze(path);
    return e.size() >= p.size() && e.compare(e.size() - p.size(), p.size(), p) == 0;
}

} // namespace

OwnerWindow::OwnerWindow()
    : m_window(::CreateWindowExW(0, L"STATIC", L"Branch Details", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                                 nullptr, nullptr, nullptr, nullptr)) {
    ::SetForegroundWindow(m_window);
    ::SetActiveWindow(m_window);
}

ExcelStandIn::ExcelStandIn(const wchar_t* csvClass) {
    m_settings.ListSeparator(L";");
    m_settings.CsvClass(csvClass);
    m_server.reset(::LoadLibraryW((lineage_test::ExecutableFolder() + L"ExcelStandIn.dll").c_str()));
    if (auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(m_server.get(), "DllRegisterServer")))
        reg();
}

void ExcelStandIn::Unregister() {
    if (auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(m_server.get(), "DllUnregisterServer")))
        unreg();
}

RecordingOpener::RecordingOpener(bool hold, const std::wstring& program)
    : m_events(L"LineageExportOpener-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::GetTickCount64())),
      m_started(::CreateEventW(nullptr, TRUE, FALSE, (m_events + L"-started").c_str())),
      m_release(::CreateEventW(nullptr, TRUE, FALSE, (m_events + L"-release").c_str())),
      m_startedName(L"LINEAGE_OPENER_STARTED", m_events + L"-started"),
      m_releaseName(L"LINEAGE_OPENER_RELEASE", hold ? m_events + L"-release" : L"") {
    const std::wstring exe = program.empty() ? lineage_test::ExecutableFolder() + L"export_opener.exe" : program;
    m_txtClass.Set(L"LineageTest.txtfile");
    m_class.Set(L"shell\\open\\command", L"\"" + exe + L"\" \"%1\"");
}

bool RecordingOpener::WaitStarted(DWORD timeoutMs) const {
    return ::WaitForSingleObject(m_started.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool IsMarkedForDeleteAtRestart(const std::wstring& path) {
    const std::vector<std::wstring> entries = PendingRenames();
    for (size_t i = 0; i + 1 < entries.size(); i += 2)
        if (EndsWithPath(entries[i], path) && entries[i + 1].empty())
            return true;
    return false;
}

bool WaitForDeleteAtRestart(const std::wstring& path, DWORD timeoutMs) {
    ScopedHKEY key;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_NOTIFY, key.put());
    ScopedKernelHandle changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        ::RegNotifyChangeKeyValue(key.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE);
        const ULONGLONG now = ::GetTickCount64();
        if (IsMarkedForDeleteAtRestart(path) || now >= deadline)
            return IsMarkedForDeleteAtRestart(path);
        ::WaitForSingleObject(changed.get(), DWORD(deadline - now));
    }
}

void ForgetDeleteAtRestart(const std::wstring& path) {
    const std::vector<std::wstring> entries = PendingRenames();
    std::wstring kept;
    for (size_t i = 0; i + 1 < entries.size(); i += 2)
        if (!EndsWithPath(entries[i], path))
            kept += entries[i] + L'\0' + entries[i + 1] + L'\0';
    if (kept.empty()) {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending);
        return;
    }
    kept += L'\0';
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, REG_MULTI_SZ, kept.data(),
                      DWORD(kept.size() * sizeof(wchar_t)));
}
