#include "ExportHarness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include "DialogSession.h"
#include "HostInstallation.h"

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// The tests' thread is a single-threaded apartment, as the host's UI thread is; the toolbar's
// pictures come through the host's registered installation; restart deletions are put back.
struct RunEnvironment : ::testing::Environment {
    void SetUp() override {
        ::CoInitialize(nullptr);
        installation.SetUp();
        pending = std::make_unique<ScopedRegistryValue>(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, nullptr);
    }
    void TearDown() override {
        pending.reset();
        installation.TearDown();
        ::CoUninitialize();
    }
    HostInstallation installation;
    std::unique_ptr<ScopedRegistryValue> pending;
};
::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new RunEnvironment);

DialogDriver* g_driver = nullptr;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring Setting(const wchar_t* name) {
    wchar_t value[4096];
    const DWORD n = ::GetEnvironmentVariableW(name, value, 4096);
    return n < 4096 ? std::wstring(value, n) : std::wstring();
}

} // namespace

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 2] = {};
    ::GetTempPathW(MAX_PATH + 2, temp);
    m_path = temp + (L"lineage-export-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    for (const std::wstring& name : Files())
        ::DeleteFileW(File(name).c_str());
    ::RemoveDirectoryW(m_path.c_str());
}

std::vector<std::wstring> ScratchFolder::Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(File(L"*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    return names;
}

std::wstring ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = File(name);
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    return path;
}

std::string ReadBytes(const std::wstring& path) {
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::string> ReadUtf8Lines(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < bytes.size(); start = end + 1) {
        end = std::min(bytes.find('\n', start), bytes.size());
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

std::string Utf8(const std::wstring& text) {
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), int(utf8.size()),
                                      nullptr, nullptr));
    return utf8;
}

std::string Utf16File(const std::vector<std::wstring>& lines) {
    std::wstring text = L"\xFEFF";
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring name, const wchar_t* text)
    : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name)) {
    DWORD size = 0;
    if (::RegGetValueW(m_root, m_subKey.c_str(), m_name.c_str(), RRF_RT_ANY, &m_type, nullptr, &size) == ERROR_SUCCESS) {
        m_old.resize(size);
        ::RegGetValueW(m_root, m_subKey.c_str(), m_name.c_str(), RRF_RT_ANY, &m_type, m_old.data(), &size);
    }
    Set(text);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (m_type != REG_NONE)
        ::RegSetKeyValueW(m_root, m_subKey.c_str(), m_name.c_str(), m_type, m_old.data(), DWORD(m_old.size()));
    else
        Set(nullptr);
}

void ScopedRegistryValue::Set(const wchar_t* text) const {
    if (!text)
        ::RegDeleteKeyValueW(m_root, m_subKey.c_str(), m_name.c_str());
    else
        ::RegSetKeyValueW(m_root, m_subKey.c_str(), m_name.c_str(), REG_SZ, text, DWORD((wcslen(text) + 1) * 2));
}

void ScopedClassKey::Set(const std::wstring& subKey, const std::wstring& value) const {
    const std::wstring path = subKey.empty() ? key : key + L"\\" + subKey;
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), nullptr, REG_SZ, value.c_str(), DWORD((value.size() + 1) * 2));
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, const std::wstring& value) : m_name(std::move(name)) {
    m_existed = ::GetEnvironmentVariableW(m_name.c_str(), nullptr, 0) > 0;
    m_old = Setting(m_name.c_str());
    ::SetEnvironmentVariableW(m_name.c_str(), value.c_str());
}

SeparatorSettings::SeparatorSettings(const wchar_t* list, const wchar_t* csvClassName, const wchar_t* description)
    : sList(HKEY_CURRENT_USER, L"Control Panel\\International", L"sList", list),
      csvClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.csv", L"", csvClassName),
      described(description ? csvClassName : L"LineageTest.undescribed") {
    if (description)
        described.Set(L"", description);
}

ExportSource MakeSource(std::vector<std::wstring> headings, std::vector<std::vector<std::wstring>> rows,
                        std::wstring date, HWND owner) {
    ExportSource source{owner, L"Release", L"anna", std::move(date), std::move(headings), int(rows.size())};
    auto table = std::make_shared<std::vector<std::vector<std::wstring>>>(std::move(rows));
    source.cellText = [table](int row, int column) { return (*table)[row][column - 1]; };
    return source;
}

OwnerWindow::OwnerWindow()
    : window(::CreateWindowExW(0, L"STATIC", L"Branch Details", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                               nullptr, nullptr, nullptr, nullptr)) {
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
}

ExcelStandIn::ExcelStandIn(const wchar_t* version, const wchar_t* failingCall, bool registered)
    : m_log(L"LINEAGE_EXCEL_LOG", m_folder.File(L"excel.log")), m_copy(L"LINEAGE_EXCEL_COPY", ImportedCopy()),
      m_version(L"LINEAGE_EXCEL_VERSION", version), m_fail(L"LINEAGE_EXCEL_FAIL", failingCall),
      m_server(::LoadLibraryW((lineage_test::ExecutableFolder() + L"ExcelStandIn.dll").c_str())) {
    auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(m_server.get(), "DllRegisterServer"));
    if (reg && registered)
        reg();
}

ExcelStandIn::~ExcelStandIn() {
    if (auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(m_server.get(), "DllUnregisterServer")))
        unreg();
}

RecordingOpener::RecordingOpener(bool hold, bool deletes, const std::wstring& program)
    : m_events(L"LineageExportOpener-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::GetTickCount64())),
      m_started(::CreateEventW(nullptr, TRUE, FALSE, (m_events + L"-started").c_str())),
      m_release(::CreateEventW(nullptr, TRUE, !hold, (m_events + L"-release").c_str())),
      m_txtClass(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.txt", L"", L"LineageTest.txtfile"),
      m_log(L"LINEAGE_OPENER_LOG", m_folder.File(L"opener.log")), m_eventsName(L"LINEAGE_OPENER_EVENTS", m_events),
      m_deletes(L"LINEAGE_OPENER_DELETE", deletes ? L"1" : L"") {
    const std::wstring exe = program.empty() ? lineage_test::ExecutableFolder() + L"export_opener.exe" : program;
    m_class.Set(L"shell\\open\\command", L"\"" + exe + L"\" \"%1\"");
}

bool MarkedForDeleteAtRestart(const std::wstring& path) {
    std::wstring data(65536, L'\0');
    DWORD size = DWORD(data.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                       &size) != ERROR_SUCCESS)
        return false;
    data.resize(size / sizeof(wchar_t));
    // Pairs of an NT path and a target, empty for "delete".
    const std::wstring entry = std::wstring(1, L'\0') + L"\\??\\" + path + L'\0' + L'\0';
    return (L'\0' + data).find(entry) != std::wstring::npos;
}

HWND SeenDialog::Find(const wchar_t* className, const std::wstring& text) const {
    for (const auto& [cls, window] : controls)
        if (_wcsicmp(cls.c_str(), className) == 0 && lineage_test::WindowText(window) == text)
            return window;
    return nullptr;
}

DialogDriver::DialogDriver() : m_hook(::SetWindowsHookExW(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId())) {
    g_driver = this;
}

DialogDriver::~DialogDriver() {
    ::UnhookWindowsHookEx(m_hook);
    g_driver = nullptr;
}

void DialogDriver::Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

LRESULT CALLBACK DialogDriver::CbtHook(int code, WPARAM wp, LPARAM lp) noexcept {
    const HWND window = reinterpret_cast<HWND>(wp);
    DialogDriver* driver = g_driver;
    if (code != HCBT_ACTIVATE || !driver || ClassName(window) != L"#32770" ||
        std::any_of(driver->m_seen.begin(), driver->m_seen.end(), [&](const SeenDialog& s) { return s.window == window; }))
        return ::CallNextHookEx(nullptr, code, wp, lp);
    SeenDialog& seen = driver->m_seen.emplace_back(SeenDialog{window, ::GetWindow(window, GW_OWNER)});
    ::EnumChildWindows(window, [](HWND child, LPARAM lp) -> BOOL {
        reinterpret_cast<SeenDialog*>(lp)->controls.emplace_back(ClassName(child), child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    for (const auto& [cls, child] : seen.controls) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) || ::GetParent(child) != window)
            continue;
        const std::wstring text = lineage_test::WindowText(child);
        if (_wcsicmp(cls.c_str(), L"Static") == 0 && !text.empty())
            seen.message += (seen.message.empty() ? L"" : L"\n") + text;
        if (_wcsicmp(cls.c_str(), L"Button") == 0)
            seen.buttons.push_back(::GetDlgCtrlID(child));
    }
    if (driver->m_answers.empty()) {
        Press(window, std::count(seen.buttons.begin(), seen.buttons.end(), IDOK) ? IDOK : IDCANCEL);
    } else {
        const Answer answer = std::move(driver->m_answers.front());
        driver->m_answers.pop_front();
        answer(driver->m_seen.back());
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
