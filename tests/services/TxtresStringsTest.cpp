// Translated texts from the strings file.
//
// The library reads its file once per process, so every test runs against a fresh copy of
// Txtres.dll in a folder of its own: a new module with its own state, a file beside it that
// belongs to the test alone, and the environment variable read anew.
#include "ServicesTestSupport.h"

#include <string>
#include <vector>

#include "contracts/Txtres.h"

namespace {

using services_test::TempFolder;

constexpr wchar_t kVariable[] = L"TXTRES_STRINGS";

// Restores the environment variable whatever the test did with it.
class ScopedVariable {
public:
    ScopedVariable() {
        const DWORD n = ::GetEnvironmentVariableW(kVariable, nullptr, 0);
        if (n > 0) {
            m_saved.resize(n);
            m_saved.resize(::GetEnvironmentVariableW(kVariable, m_saved.data(), n));
            m_had = true;
        }
    }
    ~ScopedVariable() { ::SetEnvironmentVariableW(kVariable, m_had ? m_saved.c_str() : nullptr); }
    void Set(const std::wstring& value) { ::SetEnvironmentVariableW(kVariable, value.c_str()); }
    void Clear() { ::SetEnvironmentVariableW(kVariable, nullptr); }

private:
    std::wstring m_saved;
    bool m_had = false;
};

// A private copy of the library, loaded from the test's folder.
class TxtresCopy {
public:
    using Tss = const wchar_t* (*)(unsigned, const wchar_t*, const wchar_t*, const wchar_t*);
    using Push = void (*)(const wchar_t*);
    using Pop = void (*)();

    explicit TxtresCopy(const TempFolder& folder) {
        HMODULE original = ::GetModuleHandleW(L"Txtres.dll");
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(original, path, MAX_PATH);
        const std::wstring copy = folder.File(L"Txtres.dll");
        if (!::CopyFileW(path, copy.c_str(), FALSE)) return;
        m_module.reset(::LoadLibraryW(copy.c_str()));
        if (!m_module || m_module.get() == original) return;
        // The copy is the same file, so every function lies at the same offset from its base.
        const auto relocate = [&](auto function) {
            const auto offset = reinterpret_cast<const BYTE*>(function) - reinterpret_cast<const BYTE*>(original);
            return reinterpret_cast<decltype(function)>(reinterpret_cast<const BYTE*>(m_module.get()) + offset);
        };
        tss = relocate(static_cast<Tss>(&TSS_internal));
        push = relocate(static_cast<Push>(&gvPushDefaultFile));
        pop = relocate(static_cast<Pop>(&gvPopDefaultFile));
    }

    bool loaded() const { return tss != nullptr; }
    HMODULE module() const { return m_module.get(); }

    std::wstring Text(unsigned id, const wchar_t* kind, const wchar_t* file, const wchar_t* fallback = L"<default>") {
        const wchar_t* text = tss(id, kind, file, fallback);
        return text ? text : L"<null>";
    }

    Tss tss = nullptr;
    Push push = nullptr;
    Pop pop = nullptr;

private:
    ScopedHMODULE m_module;
};

class TxtresStrings : public ::testing::Test {
protected:
    // Writes `content` beside the library copy, or elsewhere with the variable naming it.
    void UseFileBesideLibrary(std::string_view content) {
        m_folder.Write(L"Txtres.strings", content);
        m_variable.Clear();
    }
    void UseFileFromVariable(std::string_view content) {
        m_folder.Write(L"elsewhere.txt", content);
        m_variable.Set(m_folder.File(L"elsewhere.txt"));
    }
    TxtresCopy& Library() {
        if (!m_library) m_library = std::make_unique<TxtresCopy>(m_folder);
        EXPECT_TRUE(m_library->loaded()) << "could not load a private copy of Txtres.dll";
        return *m_library;
    }
    void TearDown() override {
        m_library.reset();  // unload before the folder goes
    }

    ScopedVariable m_variable;
    TempFolder m_folder;
    std::unique_ptr<TxtresCopy> m_library;
};

TEST_F(TxtresStrings, TheVariableNamesTheFileAndWinsOverTheFileBesideTheLibrary) {
    m_folder.Write(L"Txtres.strings", "[Dlg TS]\n1=beside the library\n");
    UseFileFromVariable("[Dlg TS]\n1=named by the variable\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"named by the variable");
}

TEST_F(TxtresStrings, WithoutTheVariableTheFileBesideTheLibraryIsRead) {
    UseFileBesideLibrary("[Dlg TS]\n1=beside the library\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"beside the library");
}

TEST_F(TxtresStrings, AVariableNamingAMissingFileGivesDefaultsEvenWithAFileBesideTheLibrary) {
    m_folder.Write(L"Txtres.strings", "[Dlg TS]\n1=beside the library\n");
    m_variable.Set(m_folder.File(L"missing.strings"));
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"<default>");
}

TEST_F(TxtresStrings, WithoutAnyFileEveryTextIsTheDefault) {
    m_variable.Clear();
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(2, L"TS", L"BranchDetailsDlg", L"Created By:"), L"Created By:");
}

TEST_F(TxtresStrings, TheFileIsReadOnceWhenTheFirstTextIsAsked) {
    UseFileFromVariable("[Dlg TS]\n1=first version\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"first version");
    UseFileFromVariable("[Dlg TS]\n1=second version\n");
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"first version");
}

TEST_F(TxtresStrings, FilesAndKindsAreSeparateSections) {
    UseFileFromVariable(
        "[BranchDetailsDlg TS]\n2=Erstellt von:\n"
        "[BranchDetailsDlg Tooltips]\n2=Speichert als CSV\n"
        "[RefDlg TS]\n2=Anderes\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(2, L"TS", L"BranchDetailsDlg"), L"Erstellt von:");
    EXPECT_EQ(Library().Text(2, L"Tooltips", L"BranchDetailsDlg"), L"Speichert als CSV");
    EXPECT_EQ(Library().Text(2, L"TS", L"RefDlg"), L"Anderes");
    EXPECT_EQ(Library().Text(2, L"Other", L"BranchDetailsDlg"), L"<default>");
}

TEST_F(TxtresStrings, SectionNamesIgnoreCaseAndSpacing) {
    UseFileFromVariable("[  branchdetailsdlg   ts ]\n7=Hilfe\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(7, L"TS", L"BranchDetailsDlg"), L"Hilfe");
}

TEST_F(TxtresStrings, BackslashNBecomesALineBreakAndADoubleBackslashABackslash) {
    UseFileFromVariable(
        "[Dlg Tooltips]\n"
        "1=\xC2\xA4Open as CSV\\nOpens a CSV file.\n"
        "2=C:\\\\temp\\\\new\n"
        "3=tab \\t stays\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"Tooltips", L"Dlg"), L"\u00A4Open as CSV\nOpens a CSV file.");
    EXPECT_EQ(Library().Text(2, L"Tooltips", L"Dlg"), L"C:\\temp\\new");
    EXPECT_EQ(Library().Text(3, L"Tooltips", L"Dlg"), L"tab \\t stays");
}

TEST_F(TxtresStrings, TheTextIsEverythingAfterTheFirstEqualsSign) {
    UseFileFromVariable("[Dlg TS]\n 4 = a = b \n5=\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(4, L"TS", L"Dlg"), L" a = b ");
    EXPECT_EQ(Library().Text(5, L"TS", L"Dlg", L"fallback"), L"");
}

TEST_F(TxtresStrings, MissingEntriesGiveTheDefault) {
    UseFileFromVariable("[Dlg TS]\n1=one\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(2, L"TS", L"Dlg", L"two"), L"two");           // missing id
    EXPECT_EQ(Library().Text(1, L"TS", L"Other", L"other"), L"other");     // missing file
    EXPECT_EQ(Library().Text(1, L"Tooltips", L"Dlg", L"tip"), L"tip");     // missing kind
    EXPECT_EQ(Library().Text(1, nullptr, L"Dlg", L"no kind"), L"no kind");
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg", nullptr), L"one");
    EXPECT_EQ(Library().Text(9, L"TS", L"Dlg", nullptr), L"") << "a null default reads as empty";
}

TEST_F(TxtresStrings, ByteOrderMarkCarriageReturnsAndCommentsAreHandled) {
    UseFileFromVariable(
        "\xEF\xBB\xBF[Dlg TS]\r\n"
        "# 1=commented out\r\n"
        "; 2=commented out too\r\n"
        "   # 3=indented comment\r\n"
        "1=\xC3\xA4rger\r\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"\u00E4rger");
    EXPECT_EQ(Library().Text(2, L"TS", L"Dlg"), L"<default>");
    EXPECT_EQ(Library().Text(3, L"TS", L"Dlg"), L"<default>");
}

TEST_F(TxtresStrings, GarbageLinesAreIgnoredAndTheirNeighboursStillCount) {
    std::string content = "[Dlg TS]\n1=before\n";
    content += "just some words\n";
    content += "=no id\n";
    content += "x7=letters in the id\n";
    content += "-3=negative\n";
    content += "4294967296=too large for an id\n";
    content += std::string(3 * 1024 * 1024, 'x') + "\n";  // one huge line
    content += "6=" + std::string(200000, 'y') + "\n";
    content += std::string("8=nul\0inside\n", 13);
    content += "9=bad \xFF\xFE utf-8\n";
    content += "[unterminated section\n10=lost\n";
    content += "[OneWord]\n11=lost too\n";
    content += "[Dlg TS]\n12=after\n";
    UseFileFromVariable(content);
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"before");
    EXPECT_EQ(Library().Text(12, L"TS", L"Dlg"), L"after");
    EXPECT_EQ(Library().Text(3, L"TS", L"Dlg"), L"<default>");
    EXPECT_EQ(Library().Text(6, L"TS", L"Dlg").size(), 200000u);
    EXPECT_EQ(Library().Text(8, L"TS", L"Dlg"), L"nul") << "the text ends at the NUL";
    EXPECT_EQ(Library().Text(9, L"TS", L"Dlg"), L"bad \uFFFD\uFFFD utf-8");
    EXPECT_EQ(Library().Text(10, L"TS", L"Dlg"), L"<default>");
    EXPECT_EQ(Library().Text(11, L"TS", L"Dlg"), L"<default>");
    EXPECT_EQ(Library().Text(4294967295u, L"TS", L"Dlg"), L"<default>");
}

TEST_F(TxtresStrings, EntriesBeforeTheFirstSectionBelongNowhere) {
    UseFileFromVariable("1=orphan\n[Dlg TS]\n2=kept\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"<default>");
    EXPECT_EQ(Library().Text(2, L"TS", L"Dlg"), L"kept");
}

TEST_F(TxtresStrings, ALaterEntryOverridesAnEarlierOne) {
    UseFileFromVariable("[Dlg TS]\n1=early\n[Other TS]\n1=other\n[Dlg TS]\n1=late\n");
    ASSERT_TRUE(Library().loaded());
    EXPECT_EQ(Library().Text(1, L"TS", L"Dlg"), L"late");
}

TEST_F(TxtresStrings, TheDefaultFileStackAnswersForCallsWithoutAFile) {
    UseFileFromVariable("[First TS]\n1=first\n[Second TS]\n1=second\n");
    TxtresCopy& lib = Library();
    ASSERT_TRUE(lib.loaded());
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"<default>") << "no default file yet";
    lib.push(L"First");
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"first");
    EXPECT_EQ(lib.Text(1, L"TS", L""), L"first") << "an empty file name means the default file";
    lib.push(L"Second");
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"second");
    EXPECT_EQ(lib.Text(1, L"TS", L"First"), L"first") << "a named file wins over the stack";
    lib.pop();
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"first");
    lib.pop();
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"<default>");
    lib.pop();  // one pop too many is harmless
    lib.pop();
    lib.push(L"Second");
    EXPECT_EQ(lib.Text(1, L"TS", nullptr), L"second");
    lib.pop();
}

TEST_F(TxtresStrings, AResultStaysValidAfterLaterCalls) {
    UseFileFromVariable("[Dlg TS]\n1=one\n2=two\n");
    ASSERT_TRUE(Library().loaded());
    const wchar_t* one = Library().tss(1, L"TS", L"Dlg", L"");
    Library().tss(2, L"TS", L"Dlg", L"");
    Library().tss(3, L"TS", L"Dlg", L"three");
    EXPECT_STREQ(one, L"one");
}

TEST_F(TxtresStrings, ThreadsAskingTogetherAllGetTheTranslation) {
    UseFileFromVariable("[Dlg TS]\n1=together\n");
    TxtresCopy& lib = Library();
    ASSERT_TRUE(lib.loaded());

    struct Shared {
        TxtresCopy::Tss tss;
        HANDLE start;
        LONG matches;
    } shared{lib.tss, ::CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};
    ScopedKernelHandle start(shared.start);
    const auto worker = [](void* arg) -> DWORD {
        auto* s = static_cast<Shared*>(arg);
        ::WaitForSingleObject(s->start, INFINITE);
        const wchar_t* text = s->tss(1, L"TS", L"Dlg", L"default");
        if (wcscmp(text, L"together") == 0) ::InterlockedIncrement(&s->matches);
        return 0;
    };
    std::vector<ScopedKernelHandle> threads;
    std::vector<HANDLE> raw;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back(::CreateThread(nullptr, 0, worker, &shared, 0, nullptr));
        ASSERT_TRUE(threads.back());
        raw.push_back(threads.back().get());
    }
    ::SetEvent(shared.start);  // the first call happens in all threads at once
    ASSERT_EQ(::WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), TRUE, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.matches, 8);
}

}  // namespace
