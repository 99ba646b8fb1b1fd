// The merge component registered as its installer does and called as the module calls it, through COM.
#include <gtest/gtest.h>
#include <ole2.h>
#include <wrl/client.h>
#include <iterator>
#include "HostTestSupport.h"
#include "contracts/MergeComponent.h"

namespace {

using Microsoft::WRL::ComPtr;

// An entry point of the server, loaded while the call runs.
HRESULT CallServer(const char* entry) {
    const ScopedHMODULE server(::LoadLibraryW((lineage_test::ExecutableFolder() + L"LedgerixMerge.dll").c_str()));
    return reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(server.get(), entry))();
}

class MergeComponentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(S_OK, CallServer("DllRegisterServer")); }
    static void TearDownTestSuite() { EXPECT_EQ(S_OK, CallServer("DllUnregisterServer")); }
    void SetUp() override {
        ::SetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", m_log.c_str());
        // As the module does it: create as IUnknown, run, then ask for the merge interface.
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_LedgerixMerge, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown));
        ASSERT_EQ(S_OK, ::OleRun(unknown.Get()));
        ASSERT_EQ(S_OK, unknown.As(&m_merge));
    }
    void TearDown() override { ::SetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", nullptr); }

    host_test::TempFolder m_folder;
    const std::filesystem::path m_log = m_folder.path() / L"merge.log";
    ScopedCOMInitializer m_com;
    ComPtr<ILedgerixMerge> m_merge;
};

TEST_F(MergeComponentTest, AcceptedFilesAreListedAndLoggedInOrderUntilTheWindowCloses) {
    MergeSelection items[] = {MakeMergeSelection(22, 4), MakeMergeSelection(21, 7)};
    const ScopedBSTR vault(::SysAllocString(L"Engineering \u00C5"));
    ASSERT_EQ(S_OK, m_merge->MergeFiles(vault.get(), 2, items, nullptr));
    std::ifstream log(m_log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "Engineering \xC3\x85\t2\t22/4\t21/7\n");
    const HWND window = ::FindWindowW(nullptr, L"Merge");
    ASSERT_TRUE(window && ::IsWindowVisible(window) && !::FindWindowExW(nullptr, window, nullptr, L"Merge"));
    EXPECT_EQ(::GetCurrentThreadId(), ::GetWindowThreadProcessId(window, nullptr));
    std::wstring shown = lineage_test::WindowText(::FindWindowExW(window, nullptr, L"Static", nullptr));
    const HWND list = ::FindWindowExW(window, nullptr, L"ListBox", nullptr);
    wchar_t line[64];
    for (int i = 0; ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line)) > 0; ++i)
        shown.append(L"|").append(line);
    EXPECT_EQ(shown, L"Vault: Engineering \u00C5|Document 22 (folder 4)|Document 21 (folder 7)");
    // The open window alone keeps the server loaded; closing it lets the server go.
    m_merge.Reset();
    const auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"LedgerixMerge.dll"), "DllCanUnloadNow"));
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(S_FALSE, canUnload());
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(S_OK, canUnload());
}

TEST_F(MergeComponentTest, AnythingMalformedIsRefusedWithoutWindowOrLog) {
    struct Request {
        ScopedBSTR name{::SysAllocString(L"Engineering")};
        BSTR vault = name.get();
        long count = 2;
        MergeSelection records[2] = {MakeMergeSelection(21, 4), MakeMergeSelection(22, 4)}, *items = records;
        void* reserved = nullptr;
    };
    const std::pair<const char*, void (*)(Request&)> cases[] = {
        {"first field 2", [](Request& r) { r.records[1].kind = 2; }},
        {"VARIANT not empty", [](Request& r) { r.records[1].reserved.vt = VT_I4; }},
        {"last tail byte", [](Request& r) { r.records[1].tail[91] = 1; }},
        {"empty vault name", [](Request& r) { r.name.reset(::SysAllocString(L"")), r.vault = r.name.get(); }},
        {"count 0", [](Request& r) { r.count = 0; }},
        {"absurd count", [](Request& r) { r.count = 1 << 30; }},
        {"no array", [](Request& r) { r.items = nullptr; }},
        {"reserved not 0", [](Request& r) { r.reserved = &r; }},
    };
    for (const auto& [what, spoil] : cases) {
        Request r;
        spoil(r);
        EXPECT_EQ(E_INVALIDARG, m_merge->MergeFiles(r.vault, r.count, r.items, r.reserved)) << what;
    }
    EXPECT_FALSE(::FindWindowW(nullptr, L"Merge"));
    EXPECT_FALSE(std::filesystem::exists(m_log));
}

}  // namespace
