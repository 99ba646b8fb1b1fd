// Translated texts from the strings file. The library reads its file once per process, so each
// run uses a fresh copy of Txtres.dll in a folder of its own: a new module with its own state, a
// file beside it that belongs to the test alone, and the environment variable read anew.
#include "ServicesTestSupport.h"
#include <filesystem>
#include <fstream>
#include <vector>
#include "contracts/Txtres.h"

namespace {

namespace fs = std::filesystem;

class TxtresCopy {
public:
    using Tss = const wchar_t* (*)(unsigned, const wchar_t*, const wchar_t*, const wchar_t*);

    // `variable`: what TXTRES_STRINGS names, a file of the folder or none.
    TxtresCopy(std::string_view beside, std::string_view elsewhere, const wchar_t* variable = L"elsewhere.txt") {
        static int runs = 0;
        fs::create_directories(m_folder /= L"lineage-txtres-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(++runs));
        Write(L"Txtres.strings", beside);
        Write(L"elsewhere.txt", elsewhere);
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", variable ? (m_folder / variable).c_str() : nullptr);
        HMODULE original = ::GetModuleHandleW(L"Txtres.dll");
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(original, path, MAX_PATH);
        fs::copy_file(path, m_folder / L"Txtres.dll");
        m_module.reset(::LoadLibraryW((m_folder / L"Txtres.dll").c_str()));
        // The copy is the same file, so every function lies at the same offset from its base.
        const auto relocate = [&](auto function) {
            return reinterpret_cast<decltype(function)>(reinterpret_cast<const BYTE*>(m_module.get()) +
                (reinterpret_cast<const BYTE*>(function) - reinterpret_cast<const BYTE*>(original)));
        };
        EXPECT_TRUE(m_module && m_module.get() != original) << "no private copy of Txtres.dll";
        tss = relocate(static_cast<Tss>(&TSS_internal));
        push = relocate(&gvPushDefaultFile);
        pop = relocate(&gvPopDefaultFile);
    }
    ~TxtresCopy() {
        m_module.reset();  // unloaded before its folder goes
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
        fs::remove_all(m_folder);
    }
    void Write(const wchar_t* name, std::string_view bytes) const {
        if (!bytes.empty())
            std::ofstream(m_folder / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::wstring operator()(unsigned id, const wchar_t* kind = L"TS", const wchar_t* file = L"Dlg",
                            const wchar_t* fallback = L"<default>") const {
        const wchar_t* text = tss(id, kind, file, fallback);
        return text ? text : L"<null>";
    }

    Tss tss = nullptr;
    void (*push)(const wchar_t*) = nullptr;
    void (*pop)() = nullptr;

private:
    fs::path m_folder = fs::temp_directory_path();
    ScopedHMODULE m_module;
};

TEST(TxtresStrings, TheVariableNamesTheFileOtherwiseTheFileBesideTheLibraryIsReadOnce) {
    TxtresCopy named("[Dlg TS]\n1=beside the library\n", "[Dlg TS]\n1=named by the variable\n");
    EXPECT_EQ(named(1), L"named by the variable");
    named.Write(L"elsewhere.txt", "[Dlg TS]\n1=second version\n");
    EXPECT_EQ(named(1), L"named by the variable") << "read when the first text is asked, and only then";
    EXPECT_EQ(TxtresCopy("[Dlg TS]\n1=beside the library\n", "", nullptr)(1), L"beside the library");
    EXPECT_EQ(TxtresCopy("[Dlg TS]\n1=beside the library\n", "", L"missing.txt")(1), L"<default>");
    EXPECT_EQ(TxtresCopy("", "", nullptr)(2, L"TS", L"BranchDetailsDlg", L"Created By:"), L"Created By:");
}

TEST(TxtresStrings, TheFileIsReadLineByLineIntoSections) {
    std::string content =
        "\xEF\xBB\xBF[Dlg TS]\r\n# 1=commented out\n; 2=commented out too\n   # 3=indented comment\n1=\xC3\xA4rger\r\n"
        "[BranchDetailsDlg TS]\n2=Erstellt von:\n[BranchDetailsDlg Tooltips]\n2=Speichert als CSV\n[RefDlg TS]\n2=Anderes\n"
        "[  branchdetailsdlg   ts ]\n7=Hilfe\n[Dlg TS]\n"
        "11=\xC2\xA4Open as CSV\\nOpens a CSV file.\n12=C:\\\\temp\\\\new\n13=tab \\t stays\n 14 = a = b \n15=\n"
        "16=early\n[Other TS]\n16=other\n[Dlg TS]\n16=late\n"
        "just some words\n=no id\nx7=letters in the id\n-3=negative\n4294967296=too large for an id\n" +
        std::string(3 * 1024 * 1024, 'x') + "\n20=" + std::string(200000, 'y') + "\n" +
        std::string("21=nul\0inside\n", 14) + "22=bad \xFF\xFE utf-8\n[unterminated section\n23=lost\n"
        "[OneWord]\n24=lost too\n[Dlg TS]\n25=after\n";
    const TxtresCopy text("", content);
    EXPECT_EQ(text(1), L"\u00E4rger");
    EXPECT_EQ(text(2, L"TS", L"BranchDetailsDlg"), L"Erstellt von:");
    EXPECT_EQ(text(2, L"Tooltips", L"BranchDetailsDlg"), L"Speichert als CSV");
    EXPECT_EQ(text(2, L"TS", L"RefDlg"), L"Anderes");
    EXPECT_EQ(text(2, L"Other", L"BranchDetailsDlg"), L"<default>");
    EXPECT_EQ(text(7, L"TS", L"BranchDetailsDlg"), L"Hilfe") << "section names ignore case and spacing";
    EXPECT_EQ(text(11), L"\u00A4Open as CSV\nOpens a CSV file.");
    EXPECT_EQ(text(12) + L"|" + text(13) + L"|" + text(14) + L"|" + text(15, L"TS", L"Dlg", L"fallback") + L"|" +
                  text(16) + L"|" + text(21) + L"|" + text(22) + L"|" + text(25),
              L"C:\\temp\\new|tab \\t stays| a = b ||late|nul|bad \uFFFD\uFFFD utf-8|after");
    for (unsigned id : {2u, 3u, 23u, 24u, 4294967295u})
        EXPECT_EQ(text(id), L"<default>") << id;
    EXPECT_EQ(text(20).size(), 200000u);
    EXPECT_EQ(text(1, L"TS", L"Other", L"other") + text(1, L"Tooltips", L"Dlg", L"tip") + text(1, nullptr, L"Dlg", L"-"),
              L"othertip-");
    EXPECT_EQ(text(1, L"TS", L"Dlg", nullptr), L"\u00E4rger");
    EXPECT_EQ(text(9, L"TS", L"Dlg", nullptr), L"") << "a null default reads as empty";
}

TEST(TxtresStrings, TheDefaultFileStackAnswersForCallsWithoutAFileAndResultsStayValid) {
    const TxtresCopy text("", "3=before any section\n[First TS]\n1=first\n2=two\n[Second TS]\n1=second\n");
    EXPECT_EQ(text(1, L"TS", nullptr), L"<default>") << "no default file yet";
    text.push(L"First");
    const wchar_t* first = text.tss(1, L"TS", nullptr, L"");
    EXPECT_EQ(text(1, L"TS", L""), L"first") << "an empty file name means the default file";
    text.push(L"Second");
    EXPECT_EQ(text(1, L"TS", nullptr), L"second");
    EXPECT_EQ(text(2, L"TS", L"First") + text(3, L"TS", L"First", L"three"), L"twothree")
        << "a named file wins; what stands before the first section belongs nowhere";
    EXPECT_STREQ(first, L"first") << "an answer stays valid after later calls";
    text.pop();
    EXPECT_EQ(text(1, L"TS", nullptr), L"first");
    text.pop();
    text.pop();  // one pop too many is harmless
    EXPECT_EQ(text(1, L"TS", nullptr), L"<default>");
    text.push(L"Second");
    EXPECT_EQ(text(1, L"TS", nullptr), L"second");
}

TEST(TxtresStrings, ThreadsAskingTogetherAllGetTheTranslation) {
    const TxtresCopy text("", "[Dlg TS]\n1=together\n");
    LONG matches = 0;
    ASSERT_TRUE(services_test::RunTogether(8, [&] {  // the first call happens in all threads at once
        if (wcscmp(text.tss(1, L"TS", L"Dlg", L"default"), L"together") == 0)
            ::InterlockedIncrement(&matches);
    }));
    EXPECT_EQ(matches, 8);
}

}  // namespace
