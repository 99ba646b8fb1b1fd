// "Open as CSV" picks the first free name in the temporary folder.
#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/FileListExport.h"
#include "base/ScopedHandle.h"

namespace {

struct NameCase {
    const char* name;
    int existing;              // how many of the names in order already exist
    const wchar_t* expected;   // file name expected after the temporary folder and a backslash
};

const NameCase kCases[] = {
    {"NoneExists", 0, L"Branched Files List.txt"},
    {"PlainNameExists", 1, L"Branched Files List1.txt"},
    {"PlainAndFirstNumberExist", 2, L"Branched Files List2.txt"},
    {"FourExist", 4, L"Branched Files List4.txt"},
};

std::wstring Candidate(const std::wstring& folder, int n) {
    return folder + L"Branched Files List" + (n ? std::to_wstring(n) : L"") + L".txt";
}

class TemporaryName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TemporaryName, IsTheFirstThatDoesNotExist) {
    const NameCase& c = GetParam();
    // A temporary folder of the test's own, so that leftovers of other runs do not count.
    ScratchFolder folder;
    ScopedEnvironment tmp(L"TMP", folder.Path() + L"\\");
    ScopedEnvironment temp(L"TEMP", folder.Path() + L"\\");
    const std::wstring tempFolder = TempFolder();
    ASSERT_EQ(tempFolder, folder.Path() + L"\\");
    for (int n = 0; n < c.existing; ++n) {
        ScopedFileHandle file(::CreateFileW(Candidate(tempFolder, n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
    }

    const std::optional<std::wstring> path = FindTemporaryExportPath(L"Branched Files List");

    // The folder keeps its backslash and one more comes before the name.
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, tempFolder + L"\\" + c.expected);
    EXPECT_FALSE(FileExists(*path));
}

INSTANTIATE_TEST_SUITE_P(Names, TemporaryName, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

}  // namespace
