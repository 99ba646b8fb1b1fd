// "Open as CSV": Excel's automation calls, the fall-back to the shell, the temporary file's cleanup, the failures.
#include <gtest/gtest.h>
#include <ddeml.h>
#include <tlhelp32.h>
#include <set>
#include <thread>
#include "ExportHarness.h"
#include "HostInstallation.h"
#include "export/SpreadsheetOpener.h"

namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// An apartment as on the host's UI thread; the host's installation for the toolbar's pictures; restarts put back.
const HRESULT g_com = ::CoInitialize(nullptr);
::testing::Environment* const g_installation = ::testing::AddGlobalTestEnvironment(new HostInstallation);
const ScopedRegistryValue g_pending(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, nullptr);

bool MarkedForDeleteAtRestart(const std::wstring& path) {
    std::wstring data(65536, L'\0');
    DWORD size = DWORD(data.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                       &size) != ERROR_SUCCESS)
        return false;
    // Pairs of an NT path and a target, empty for "delete".
    const std::wstring entry = L'\0' + (L"\\??\\" + path) + L'\0' + L'\0';
    return (L'\0' + data.substr(0, size / sizeof(wchar_t))).find(entry) != std::wstring::npos;
}

constexpr char kMissing[] = "VT_ERROR 0x80020004";
constexpr char kVisible[] = "Visible put VT_BOOL -1 lcid=0 named=1";

// Excel, owning ".csv", gets the user's separator; else the shell's program gets the path, "\\\\" made single.
TEST(ExcelImport, TakesTheFileWithTheUsersSeparatorOrHandsItToTheShell) {
    struct Case {
        const wchar_t *sList, *description;
        const char* switches;  // Tab, Semicolon, Comma, Space, Other: 0 off, 1 on; nullptr: the shell gets it
        std::string otherChar;  // or, with the shell, the last call Excel received
        const wchar_t *csvClass = L"Excel.CSV", *version = L"10.0", *failingCall = L"";
        bool registered = true, versionMessage = false;
    };
    const Case cases[] = {
        {L";", nullptr, "01000", kMissing}, {L",", kSwedishCsv, "00100", kMissing},  // the list's first
        {L" ", nullptr, "00010", kMissing}, {nullptr, kSwedishCsv, "10000", kMissing},
        {L"", kSwedishCsv, "10000", kMissing}, {nullptr, nullptr, "01000", kMissing},
        {nullptr, L"microsoft office excel-fil med kommaavgr\u00e4nsade v\u00e4rden", "01000", kMissing},
        {L"|", nullptr, "00001", "VT_INT 124"}, {L"#;", nullptr, "00001", "VT_INT 35"},
        {L":", nullptr, "00001", "VT_INT 58"},
        {L";", nullptr, "01000", kMissing, L"eXCEL.csv"},  // any letter case is Excel's
        {L";", nullptr, "01000", kMissing, L"Excel.CSV", L"10.0", L"Version"},  // an unreadable version passes
        {L";", nullptr, nullptr, "Version get lcid=0", L"Excel.CSV", L"9.0", L"", true, true},
        {L";", nullptr, nullptr, "Version get lcid=0", L"Excel.CSV", L"8.0a", L"", true, true},
        {L";", nullptr, nullptr, "", L"LineageTest.CSV"},
        {L";", nullptr, nullptr, "", L"Excel.CSV", L"10.0", L"", false},
        {L";", nullptr, nullptr, "Create", L"Excel.CSV", L"10.0", L"Create"},
        {L";", nullptr, nullptr, "Workbooks get lcid=0", L"Excel.CSV", L"10.0", L"Workbooks"},
        {L";", nullptr, nullptr, "OpenText.Local VT_ERROR 0x80020004", L"Excel.CSV", L"10.0", L"OpenText"},
        {L";", nullptr, nullptr, kVisible, L"Excel.CSV", L"10.0", L"Visible"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        RecordingOpener shell;
        SeparatorSettings settings(c.sList, c.csvClass, c.description);
        ExcelStandIn excel(c.version, c.failingCall, c.registered);
        ScratchFolder folder;
        ScopedTempFolder temp{folder.Path() + L"\\"};
        DialogDriver dialogs;
        const std::vector<std::wstring> headings = {L"", L"Source File", L"Branch File"};
        ExportFileList(MakeSource(headings, {{L"C:\\a.txt", L"C:\\b.txt"}}, L"d", dialogs.owner), kExportOpenAsCsv);
        const std::wstring path = folder.Path() + L"\\\\Branched Files List.txt";
        const std::vector<std::string> calls = excel.Calls();
        ASSERT_EQ(dialogs.Seen().size(), c.versionMessage ? 1u : 0u);
        if (c.versionMessage) {
            EXPECT_EQ(dialogs.LastMessage(), L"The currently installed version of Microsoft Excel is not supported.");
        }
        if (!c.switches) {
            EXPECT_EQ(calls.empty() ? "" : calls.back(), c.otherChar);
            ASSERT_TRUE(shell.WaitStarted());
            const std::string opened = "\"" + Utf8(folder.File(L"Branched Files List.txt")) + "\"";
            EXPECT_EQ(shell.CommandLines(), std::vector<std::string>{opened});
            continue;
        }
        const auto flag = [&](int i) { return std::string(c.switches[i] == '1' ? " VT_I2 -1" : " VT_I2 0"); };
        const std::string missing = std::string(" ") + kMissing;
        const std::vector<std::string> expected = {"Create", "Version get lcid=0", "Workbooks get lcid=0",
            "OpenText call lcid=0 args=18 named=0", "OpenText.Filename VT_BSTR " + Utf8(path),
            "OpenText.Origin VT_INT 2", "OpenText.StartRow VT_INT 1", "OpenText.DataType VT_INT 1",
            "OpenText.TextQualifier VT_I4 1", "OpenText.ConsecutiveDelimiter VT_I2 0", "OpenText.Tab" + flag(0),
            "OpenText.Semicolon" + flag(1), "OpenText.Comma" + flag(2), "OpenText.Space" + flag(3),
            "OpenText.Other" + flag(4), "OpenText.OtherChar " + c.otherChar,
            "OpenText.FieldInfo VT_ARRAY|VT_I4 1x2 1 1", "OpenText.TextVisualLayout" + missing,
            "OpenText.DecimalSeparator" + missing, "OpenText.ThousandsSeparator" + missing,
            "OpenText.TrailingMinusNumbers" + missing, "OpenText.Local" + missing, kVisible};
        EXPECT_EQ(calls, expected);
        EXPECT_FALSE(FileExists(path)) << "gone once Excel has it";
        EXPECT_TRUE(shell.CommandLines().empty());
    }
}

std::set<DWORD> ThreadIds() {
    std::set<DWORD> threads;
    ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{sizeof(entry)};
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    return threads;
}

// A program already running that takes files by DDE: the shell then starts no process and hands back none.
class DdeServer {
public:
    DdeServer() { ::WaitForSingleObject(m_ready.get(), 10000); }
    ~DdeServer() {
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    bool registered = false;
private:
    static HDDEDATA CALLBACK Accept(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) noexcept {
        return reinterpret_cast<HDDEDATA>(type == XTYP_CONNECT ? TRUE : type == XTYP_EXECUTE ? DDE_FACK : 0);
    }
    ScopedKernelHandle m_ready{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    DWORD m_threadId = 0;
    std::thread m_thread{[this] {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before WM_QUIT is posted
        m_threadId = ::GetCurrentThreadId();
        DWORD instance = 0;
        ::DdeInitializeW(&instance, Accept, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0);
        HSZ service = ::DdeCreateStringHandleW(instance, L"LineageExportTest", CP_WINUNICODE);
        registered = service && ::DdeNameService(instance, service, nullptr, DNS_REGISTER);
        ::SetEvent(m_ready.get());
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DdeUninitialize(instance);
    }};
};

// A missing program is reported and its file deleted; else the file stays until the program is done with it.
TEST(ShellOpen, TheFileIsRemovedOnceTheProgramIsDoneWithIt) {
    enum How { kProgramLeavesIt, kProgramRemovesIt, kByDdeWithoutProcess, kProgramCannotStart };
    for (How how : {kProgramLeavesIt, kProgramRemovesIt, kByDdeWithoutProcess, kProgramCannotStart}) {
        SCOPED_TRACE(how);
        ScratchFolder folder;
        SeparatorSettings settings;  // ".csv" not Excel's: the shell is asked
        DialogDriver dialogs;
        RecordingOpener program(/*hold=*/true, how == kProgramCannotStart ? folder.File(L"none.exe") : L"");
        std::unique_ptr<DdeServer> server;
        if (how == kByDdeWithoutProcess) {
            server = std::make_unique<DdeServer>();
            ASSERT_TRUE(server->registered);
            program.Set(L"shell\\open\\ddeexec", L"[open(\"%1\")]");
            program.Set(L"shell\\open\\ddeexec\\application", L"LineageExportTest");
            program.Set(L"shell\\open\\ddeexec\\topic", L"System");
        }
        const std::wstring path = folder.Write(L"opened.txt", "x");
        const std::set<DWORD> before = ThreadIds();
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_EQ(OpenCsvInSpreadsheet(dialogs.owner, path), how != kProgramCannotStart);
        if (how == kProgramCannotStart) {
            EXPECT_FALSE(FileExists(path));
            // The shell may report the failure itself first; the module's own message comes last.
            EXPECT_EQ(dialogs.LastMessage(),
                      L"Could not open the program associated with the temporary file '" + path + L"'.");
            continue;
        }
        std::vector<DWORD> ids;
        for (DWORD id : ThreadIds())
            if (!before.count(id))
                ids.push_back(id);
        ASSERT_FALSE(ids.empty()) << "no cleanup thread";
        if (how != kByDdeWithoutProcess) {
            ASSERT_TRUE(program.WaitStarted());
            EXPECT_EQ(program.CommandLines(), std::vector<std::string>{"\"" + Utf8(path) + "\""});
        }
        EXPECT_TRUE(FileExists(path) && !MarkedForDeleteAtRestart(path)) << "touched while the program runs";
        if (how == kProgramRemovesIt)
            ::DeleteFileW(path.c_str());
        program.Release();
        for (DWORD id : ids) {
            const ScopedKernelHandle thread{::OpenThread(SYNCHRONIZE, FALSE, id)};
            ASSERT_TRUE(!thread || ::WaitForSingleObject(thread.get(), 20000) == WAIT_OBJECT_0);
        }
        EXPECT_EQ(FileExists(path), how == kProgramLeavesIt);
        EXPECT_EQ(MarkedForDeleteAtRestart(path), how == kProgramLeavesIt);
        if (how == kByDdeWithoutProcess) {
            EXPECT_GE(::GetTickCount64() - start, 5900u) << "the program was given no time to open the file";
            EXPECT_TRUE(program.CommandLines().empty()) << "the program was started, not asked by DDE";
        }
        // Nothing may hold the ended threads: the module closed its handle.
        for (DWORD id : ids)
            EXPECT_FALSE(ScopedKernelHandle(::OpenThread(SYNCHRONIZE, FALSE, id))) << "thread " << id << " is held";
        EXPECT_TRUE(dialogs.Seen().empty());
    }
}

// A file that cannot be written ends in "Failed to create file.", leaves no file behind and opens nothing.
class ExportFailure : public ::testing::Test {
protected:
    RecordingOpener shell;
    SeparatorSettings settings{L";", L"Excel.CSV"};  // Excel's: nothing may reach it either
    ExcelStandIn excel;
    DialogDriver dialogs;
    ScratchFolder folder;
    int rowsAsked = 0;

    void Export(int rows) {
        ExportSource source = MakeSource({L"", L"Source File", L"Branch File"}, {}, L"d", dialogs.owner);
        source.rowCount = rows;
        source.cellText = [this](int row, int) {
            rowsAsked = row + 1;
            return L"C:\\Vault\\Projects\\Some rather long folder name\\file " + std::to_wstring(row) + L".txt";
        };
        const size_t before = dialogs.Seen().size();
        ExportFileList(source, kExportOpenAsCsv);
        ASSERT_EQ(dialogs.Seen().size(), before + 1);
        EXPECT_EQ(dialogs.LastMessage(), L"Failed to create file.");
        EXPECT_TRUE(excel.Calls().empty());
        EXPECT_TRUE(shell.CommandLines().empty());
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    }
};

TEST_F(ExportFailure, ATemporaryFolderThatCannotBeOpenedOrNamed) {
    for (const std::wstring& temp : {folder.Path() + L"\\missing\\", L"C:\\" + std::wstring(300, L'x') + L"\\"}) {
        ScopedTempFolder missing(temp);
        Export(3);
    }
}

// Run only by ctest (export_refused_write), where files may not grow past 256 KiB: a write fails part-way.
TEST_F(ExportFailure, DISABLED_AWriteRefusedPartWayLeavesNoFile) {
    ScopedTempFolder temp(folder.Path() + L"\\");
    Export(20000);
    EXPECT_GT(rowsAsked, 0) << "the writer never got into the rows";
}

} // namespace
