// The whole chain as a user starts it: vaulthost opens the sample vault, calls the module,
// and the dialog shows the branch with the texts of a translation file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "DialogSession.h"
#include "SourceTree.h"

using namespace lineage_test;

namespace {

constexpr wchar_t kWindowStateKey[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

// A running vaulthost, ended when the test is over.
class HostProcess {
public:
    HostProcess(const std::wstring& arguments, const wchar_t* stringsFile) {
        std::wstring command = L"\"" + ExecutableFolder() + L"vaulthost.exe\" " + arguments;
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", stringsFile);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        m_started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &m_process) != FALSE;
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
    }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;
    ~HostProcess() {
        if (!m_started)
            return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_process.hProcess, 99);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }

    // The dialog, once the host waits for input in its modal loop.
    HWND WaitForDialog() {
        if (!m_started || ::WaitForInputIdle(m_process.hProcess, 20000) != 0)
            return nullptr;
        HWND found = nullptr;
        ::EnumThreadWindows(
            m_process.dwThreadId,
            [](HWND wnd, LPARAM param) -> BOOL {
                wchar_t cls[16] = {};
                ::GetClassNameW(wnd, cls, 16);
                if (std::wstring(cls) != L"#32770" || !::GetDlgItem(wnd, 4004))
                    return TRUE;
                *reinterpret_cast<HWND*>(param) = wnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    DWORD WaitForExit() {
        DWORD code = STILL_ACTIVE;
        if (::WaitForSingleObject(m_process.hProcess, 20000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    HANDLE Process() const { return m_process.hProcess; }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_process{};
};

// Header texts of a list in another process, read through memory lent in that process.
std::vector<std::wstring> RemoteHeadings(HANDLE process, HWND list) {
    std::vector<std::wstring> headings;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    struct Block {
        HDITEMW item;
        wchar_t text[128];
    };
    auto* remote = static_cast<Block*>(::VirtualAllocEx(process, nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
    if (!remote)
        return headings;
    for (int i = 0; i < count; ++i) {
        Block block{};
        block.item.mask = HDI_TEXT;
        block.item.pszText = remote->text;
        block.item.cchTextMax = 128;
        ::WriteProcessMemory(process, remote, &block, sizeof(block), nullptr);
        ::SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&remote->item));
        ::ReadProcessMemory(process, remote, &block, sizeof(block), nullptr);
        headings.emplace_back(block.text);
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return headings;
}

std::wstring WriteStringsFile() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"lineage-dialog-de.strings";
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "[BranchDetailsDlg TS]\n"
           "1=Zugeh\xC3\xB6rige Zweige: \n"
           "2=Erstellt von:\n3=Erstellt am:\n4=Typ\n5=Quelldatei\n6=Zweigdatei\n"
           "7=Hilfe\n8=Schlie\xC3\x9F" "en\n14=Geteilt\n15=Ja\n";
    return path;
}

TEST(VaultHost, ShowsTheSampleBranchWithTranslatedTexts) {
    const std::wstring vault = (SourceFolder() / L"samples" / L"engineering.vault.json").wstring();
    ASSERT_FALSE(SourceFolder().empty()) << "LINEAGE_SOURCE_DIR is not set";
    const std::wstring strings = WriteStringsFile();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);

    HostProcess host(L"--vault \"" + vault + L"\" --branch 8 --focus 11", strings.c_str());
    HWND dialog = host.WaitForDialog();
    ASSERT_TRUE(dialog) << "vaulthost showed no dialog";

    EXPECT_EQ(WindowText(dialog), L"Zugeh\u00f6rige Zweige: Customer A");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 4005)), L"Erstellt von:");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 4006)), L"Erstellt am:");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 57671)), L"Hilfe");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 4001)), L"Schlie\u00dfen");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 4002)), L"bj\u00f6rn");
    HWND list = ::GetDlgItem(dialog, 4004);
    EXPECT_EQ(RemoteHeadings(host.Process(), list),
              (std::vector<std::wstring>{L"Typ", L"Quelldatei", L"Zweigdatei", L"Geteilt"}));
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 7);

    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(host.WaitForExit(), 0u);
    ::DeleteFileW(strings.c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);
}

} // namespace
