// The merge component registered as its installer does and called as the module calls it, through COM.
#include <gtest/gtest.h>
#include <ole2.h>
#include <wrl/client.h>
#include <iterator>
#include "HostTestSupport.h"
#include "contracts/MergeComponent.h"

namespace {

HRESULT CallServer(const char* entry) {
    const ScopedHMODULE server(::LoadLibraryW((lineage_test::ExecutableFolder() + L"LedgerixMerge.dll").c_str()));
    return reinterpret_cast<HRESULT(WINAPI*)()>(::GetProcAddress(server.get(), entry))();
}

struct Request {
    ScopedBSTR name{::SysAllocString(L"Engineering \u00C5")};
    BSTR vault = name.get();
    long count = 2;
    MergeSelection records[2] = {MakeMergeSelection(22, 4), MakeMergeSelection(21, 7)}, *items = records;
    void* reserved = nullptr;
};

TEST(MergeComponent, RefusesAnythingMalformedListsAndLogsTheRestInOrderUntilTheWindowCloses) {
    ASSERT_EQ(S_OK, CallServer("DllRegisterServer"));
    const host_test::TempFolder folder;
    const std::filesystem::path log = folder.path() / L"merge.log";
    ::SetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", log.c_str());
    const ScopedCOMInitializer com;
    // As the module does it: create as IUnknown, run, then ask for the merge interface.
    Microsoft::WRL::ComPtr<IUnknown> unknown;
    Microsoft::WRL::ComPtr<ILedgerixMerge> merge;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_LedgerixMerge, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown));
    ASSERT_TRUE(::OleRun(unknown.Get()) == S_OK && unknown.As(&merge) == S_OK);
    const std::pair<const char*, void (*)(Request&)> cases[] = {
        {"first field 2", [](Request& r) { r.records[1].kind = 2; }},
        {"VARIANT not empty", [](Request& r) { r.records[1].reserved.vt = VT_I4; }},
        {"last tail byte", [](Request& r) { r.records[1].tail[91] = 1; }},
        {"empty vault name", [](Request& r) { r.name.reset(::SysAllocString(L"")), r.vault = r.name.get(); }},
        {"count 0", [](Request& r) { r.count = 0; }}, {"absurd count", [](Request& r) { r.count = 1 << 30; }},
        {"no array", [](Request& r) { r.items = nullptr; }}, {"reserved not 0", [](Request& r) { r.reserved = &r; }}};
    for (const auto& [what, spoil] : cases) {
        Request r;
        spoil(r);
        EXPECT_EQ(E_INVALIDARG, merge->MergeFiles(r.vault, r.count, r.items, r.reserved)) << what;
        EXPECT_FALSE(::FindWindowW(nullptr, L"Merge") || std::filesystem::exists(log)) << what;
    }
    Request good;
    ASSERT_EQ(S_OK, merge->MergeFiles(good.vault, good.count, good.items, nullptr));
    std::ifstream logged(log, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(logged), {}), "Engineering \xC3\x85\t2\t22/4\t21/7\n");
    const HWND window = ::FindWindowW(nullptr, L"Merge");
    ASSERT_TRUE(window && ::IsWindowVisible(window) && !::FindWindowExW(nullptr, window, nullptr, L"Merge"));
    EXPECT_EQ(::GetCurrentThreadId(), ::GetWindowThreadProcessId(window, nullptr));
    std::wstring shown = lineage_test::WindowText(::FindWindowExW(window, nullptr, L"Static", nullptr));
    wchar_t line[64];
    for (int i = 0; ::SendMessageW(::FindWindowExW(window, nullptr, L"ListBox", nullptr), LB_GETTEXT, i,
                                   reinterpret_cast<LPARAM>(line)) > 0; ++i)
        shown.append(L"|").append(line);
    EXPECT_EQ(shown, L"Vault: Engineering \u00C5|Document 22 (folder 4)|Document 21 (folder 7)");
    // The open window alone keeps the server loaded; closing it lets the server go.
    unknown.Reset();
    merge.Reset();
    EXPECT_EQ(S_FALSE, CallServer("DllCanUnloadNow"));
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(S_OK, CallServer("DllCanUnloadNow"));
    ::SetEnvironmentVariableW(L"LINEAGE_MERGE_LOG", nullptr);
    EXPECT_EQ(S_OK, CallServer("DllUnregisterServer"));
}

}  // namespace
