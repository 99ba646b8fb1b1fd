#include "SpreadsheetStandIns.h"

#include <shlwapi.h>

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return ::DefWindowProcW(window, msg, wp, lp);
}

std::vector<std::wstring> PendingDeletes() {
    ScopedHKEY key;
    std::vector<std::wstring> entries;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return entries;
    DWORD size = 0;
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), kPendingValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return entries;
    std::wstring data(size / sizeof(wchar_t), L'\0');
    if (::RegQueryValueExW(key.get(), kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return entries;
    // Pairs of (source, target), each ended by a zero; an empty target means "delete".
    size_t start = 0;
    while (start < data.size()) {
        const size_t end = data.find(L'\0', start);
        if (end == std::wstring::npos) break;
        entries.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    // The list's own closing zero leaves one empty entry over.
    if (entries.size() % 2) entries.pop_back();
    return entries;
}

bool EndsWithPath(const std::wstring& entry, const std::wstring& path) {
    // Entries are NT paths ("\??\C:\..."); separators may be collapsed.
    auto squeeze = [](std::wstring s) {
        std::wstring out;
        for (wchar_t c : s)
            if (!(c == L'\\' && !out.empty() && out.back() == L'\\')) out += static_cast<wchar_t>(towlower(c));
        return out;
    };
    const std::wstring e = squeeze(entry);
    const std::wstring p = squeeze(path);
    return e.size() >= p.size() && e.compare(e.size() - p.size(), p.size(), p) == 0;
}

}  // namespace

OwnerWindow::OwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LineageExportTestOwner";
    ::RegisterClassW(&wc);
    m_window = ::CreateWindowExW(0, wc.lpszClassName, L"Branch Details", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetForegroundWindow(m_window);
    ::SetActiveWindow(m_window);
}

OwnerWindow::~OwnerWindow() {
    if (m_window) ::DestroyWindow(m_window);
}

ExcelStandIn::ExcelStandIn(const wchar_t* csvClass)
    : m_log(L"LINEAGE_EXCEL_LOG", m_folder.File(L"excel.log")),
      m_copy(L"LINEAGE_EXCEL_COPY", m_folder.File(L"imported.txt")),
      m_version(L"LINEAGE_EXCEL_VERSION", L"10.0"),
      m_fail(L"LINEAGE_EXCEL_FAIL", L"") {
    m_settings.ListSeparator(L";");
    m_settings.CsvClass(csvClass);
    m_server.reset(::LoadLibraryW((BinFolder() + L"\\ExcelStandIn.dll").c_str()));
    if (!m_server) return;
    using Register = HRESULT(WINAPI*)();
    if (auto reg = reinterpret_cast<Register>(::GetProcAddress(m_server.get(), "DllRegisterServer"))) reg();
}

ExcelStandIn::~ExcelStandIn() {
    Unregister();
}

void ExcelStandIn::Unregister() {
    if (!m_server) return;
    using Register = HRESULT(WINAPI*)();
    if (auto unreg = reinterpret_cast<Register>(::GetProcAddress(m_server.get(), "DllUnregisterServer"))) unreg();
}

RecordingOpener::RecordingOpener(bool hold, const std::wstring& program)
    : m_eventPrefix(L"LineageExportOpener-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(::GetTickCount64())),
      m_started(::CreateEventW(nullptr, TRUE, FALSE, (m_eventPrefix + L"-started").c_str())),
      m_release(::CreateEventW(nullptr, TRUE, FALSE, (m_eventPrefix + L"-release").c_str())),
      m_txtClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", L""),
      m_classTree(HKEY_LOCAL_MACHINE, L"Software\\Classes\\LineageTest.txtfile"),
      m_log(L"LINEAGE_OPENER_LOG", m_folder.File(L"opener.log")),
      m_startedName(L"LINEAGE_OPENER_STARTED", m_eventPrefix + L"-started"),
      m_releaseName(L"LINEAGE_OPENER_RELEASE", hold ? m_eventPrefix + L"-release" : L"") {
    const std::wstring exe = program.empty() ? BinFolder() + L"\\export_opener.exe" : program;
    m_txtClass.Set(L"LineageTest.txtfile");
    m_classTree.SetString(L"shell\\open\\command", nullptr, L"\"" + exe + L"\" \"%1\"");
}

RecordingOpener::~RecordingOpener() {
    Release();
}

bool RecordingOpener::WaitStarted(DWORD timeoutMs) const {
    return ::WaitForSingleObject(m_started.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool IsMarkedForDeleteAtRestart(const std::wstring& path) {
    const std::vector<std::wstring> entries = PendingDeletes();
    for (size_t i = 0; i + 1 < entries.size(); i += 2)
        if (EndsWithPath(entries[i], path) && entries[i + 1].empty()) return true;
    return false;
}

bool WaitForDeleteAtRestart(const std::wstring& path, DWORD timeoutMs) {
    ScopedHKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_NOTIFY | KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    ScopedKernelHandle changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        ::RegNotifyChangeKeyValue(key.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE);
        if (IsMarkedForDeleteAtRestart(path)) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::WaitForSingleObject(changed.get(), static_cast<DWORD>(deadline - now));
    }
}

void ForgetDeleteAtRestart(const std::wstring& path) {
    std::vector<std::wstring> entries = PendingDeletes();
    std::wstring kept;
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (EndsWithPath(entries[i], path)) continue;
        kept += entries[i] + L'\0' + entries[i + 1] + L'\0';
    }
    ScopedHKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
    if (kept.empty()) {
        ::RegDeleteValueW(key.get(), kPendingValue);
        return;
    }
    kept += L'\0';
    ::RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                     static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
}
