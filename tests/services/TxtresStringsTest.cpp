// The library reads its strings once per process: each case loads a fresh copy of it beside its files.
#include "ServicesTestSupport.h"
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include "contracts/Txtres.h"

namespace {

namespace fs = std::filesystem;

class TxtresCopy {
public:
    // `variable`: what TXTRES_STRINGS names, a file of the folder or none.
    TxtresCopy(std::string_view beside, std::string_view elsewhere, const wchar_t* variable = L"elsewhere.txt") {
        static int runs = 0;
        fs::create_directories(m_folder /= L"lineage-txtres-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(++runs));
        Write(L"Txtres.strings", beside);
        Write(L"elsewhere.txt", elsewhere);
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", variable ? (m_folder / variable).c_str() : nullptr);
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(m_original, path, MAX_PATH);
        fs::copy_file(path, m_folder / L"Txtres.dll");
        m_module.reset(::LoadLibraryW((m_folder / L"Txtres.dll").c_str()));
        EXPECT_TRUE(m_module && m_module.get() != m_original) << "no private copy of Txtres.dll";
    }
    ~TxtresCopy() {
        m_module.reset();  // unloaded before its folder goes
        ::SetEnvironmentVariableW(L"TXTRES_STRINGS", nullptr);
        fs::remove_all(m_folder);
    }
    void Write(const wchar_t* name, std::string_view bytes) const {
        std::ofstream(m_folder / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    // The copy's own function: the same file, so at the same offset from its base.
    template <class Function> Function Own(Function function) const {
        return reinterpret_cast<Function>(reinterpret_cast<const BYTE*>(m_module.get()) +
            (reinterpret_cast<const BYTE*>(function) - reinterpret_cast<const BYTE*>(m_original)));
    }
    std::wstring operator()(unsigned id, const wchar_t* kind = L"TS", const wchar_t* file = L"Dlg",
                            const wchar_t* fallback = L"-") const {
        const wchar_t* text = Own(&TSS_internal)(id, kind, file, fallback);
        return text ? text : L"<null>";
    }

private:
    fs::path m_folder = fs::temp_directory_path();
    const HMODULE m_original = ::GetModuleHandleW(L"Txtres.dll");
    ScopedHMODULE m_module;
};

// The first call happens in eight threads at once: each must find the whole file read.
TEST(TxtresStrings, TheFileIsReadOnceLineByLineIntoSectionsAndTheDefaultFileStackAnswersWithoutAFile) {
    const std::string content =
        "\xEF\xBB\xBF[Dlg TS]\r\n# 1=commented out\n; 2=commented out too\n   # 3=indented comment\n1=\xC3\xA4rger\r\n"
        "[BranchDetailsDlg TS]\n2=Erstellt von:\n[BranchDetailsDlg Tooltips]\n2=Speichert als CSV\n"
        "[  branchdetailsdlg   ts ]\n7=Hilfe\n[Dlg TS]\n"
        "11=\xC2\xA4Open as CSV\\nOpens a CSV file.\n12=C:\\\\temp\\\\new\n13=tab \\t stays\n 14 = a = b \n15=\n"
        "16=early\n[Other TS]\n16=other\n[Dlg TS]\n16=late\n"
        "just some words\n=no id\nx7=letters in the id\n-3=negative\n4294967296=too large for an id\n" +
        std::string(3 * 1024 * 1024, 'x') + "\n20=" + std::string(200000, 'y') + "\n" +
        std::string("21=nul\0inside\n", 14) + "22=bad \xFF\xFE utf-8\n[unterminated section\n23=lost\n"
        "[OneWord]\n24=lost too\n[Dlg TS]\n25=after\n[Second TS]\n1=second\n";
    const TxtresCopy text("[Dlg TS]\n1=beside the library\n", content);
    std::atomic<int> ready{0}, matches{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (++ready; ready < 8;)
                std::this_thread::yield();
            matches += text(1) == L"\u00E4rger";
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(matches, 8) << "the variable names the file";
    text.Write(L"elsewhere.txt", "[Dlg TS]\n1=second version\n");
    EXPECT_EQ(text(1), L"\u00E4rger") << "read once";
    EXPECT_EQ(TxtresCopy("[Dlg TS]\n1=beside the library\n", "", nullptr)(1), L"beside the library");
    EXPECT_EQ(TxtresCopy("[Dlg TS]\n1=beside the library\n", "", L"missing.txt")(1), L"-");
    EXPECT_EQ(text(2, L"TS", L"BranchDetailsDlg") + L"|" + text(2, L"Tooltips", L"BranchDetailsDlg") + L"|" +
                  text(2, L"Other", L"BranchDetailsDlg") + L"|" + text(7, L"TS", L"BranchDetailsDlg"),
              L"Erstellt von:|Speichert als CSV|-|Hilfe") << "section names ignore case and spacing";
    EXPECT_EQ(text(11), L"\u00A4Open as CSV\nOpens a CSV file.");
    EXPECT_EQ(text(12) + L"|" + text(13) + L"|" + text(14) + L"|" + text(15, L"TS", L"Dlg", L"fallback") + L"|" +
                  text(16) + L"|" + text(21) + L"|" + text(22) + L"|" + text(25),
              L"C:\\temp\\new|tab \\t stays| a = b ||late|nul|bad \uFFFD\uFFFD utf-8|after");
    EXPECT_EQ(text(0) + text(2) + text(3) + text(23) + text(24) + text(4294967295u), std::wstring(6, L'-'));
    EXPECT_EQ(text(20).size(), 200000u);
    EXPECT_EQ(text(1, L"TS", L"Other", L"other") + text(1, nullptr, L"Dlg", L"-") + text(9, L"TS", L"Dlg", nullptr),
              L"other-") << "a null default reads as empty";
    const auto push = text.Own(&gvPushDefaultFile);
    const auto pop = text.Own(&gvPopDefaultFile);
    EXPECT_EQ(text(1, L"TS", nullptr), L"-") << "no default file yet";
    push(L"Dlg");
    push(L"Second");
    EXPECT_EQ(text(1, L"TS", nullptr) + text(1, L"TS", L"") + text(1), L"secondsecond\u00E4rger")
        << "a named file wins";
    pop();
    EXPECT_EQ(text(1, L"TS", nullptr), L"\u00E4rger");
    pop();
    pop();  // one pop too many is harmless
    push(L"Second");
    EXPECT_EQ(text(1, L"TS", nullptr), L"second");
}

}  // namespace
