// A branched file's row on its own: its cells, its extension and its ordering by type.
#include <gtest/gtest.h>
#include <windows.h>
#include "dialog/BranchedFileItem.h"
#include "toolkit/RefPtr.h"

namespace {

RefPtr<BranchedFileItem> Row(const wchar_t* sourceName, bool shared = false) {
    RefPtr<BranchedFileItem> row(new BranchedFileItem(L"C:\\v\\", 1, 2, 0, 3, 0.0, 4, sourceName, L"copy.txt",
                                                      L"src\\", L"br\\", shared));
    row->Release();  // the RefPtr holds the only reference, as the list would
    return row;
}

TEST(BranchedFileItem, SplitsItsPathsIntoRootFolderNameAndExtension) {
    auto row = Row(L"archive.tar.GZ");
    EXPECT_EQ(row->SourcePath(), L"C:\\v\\src\\archive.tar.GZ");
    EXPECT_EQ(row->BranchPath(), L"C:\\v\\br\\copy.txt");
    EXPECT_EQ(row->VaultRoot(), L"C:\\v\\");
    EXPECT_EQ(row->SourceFolder(), L"src\\");
    EXPECT_EQ(row->SourceName(), L"archive.tar.GZ");
    EXPECT_EQ(row->BranchFolder(), L"br\\");
    EXPECT_EQ(row->BranchName(), L"copy.txt");
    EXPECT_EQ(row->Extension(), L"GZ");
    EXPECT_EQ(Row(L"Makefile")->Extension(), L"");
}

TEST(BranchedFileItem, CellsAreTruncatedToTheBufferAndAlwaysTerminated) {
    auto row = Row(L"a.txt", true);
    wchar_t buffer[8];
    row->GetText(1, buffer, 8);
    EXPECT_STREQ(buffer, L"C:\\v\\sr");
    row->GetText(3, buffer, 8);
    EXPECT_STREQ(buffer, L"Yes");
    row->GetText(0, buffer, 8);
    EXPECT_STREQ(buffer, L"");
    EXPECT_STREQ((Row(L"a.txt", false)->GetText(3, buffer, 8), buffer), L"");
}

TEST(BranchedFileItem, TypeOrderFollowsTheExtensionIgnoringCase) {
    auto pdf = Row(L"z.PDF"), doc = Row(L"a.doc"), pdfLower = Row(L"b.pdf"), none = Row(L"README");
    EXPECT_LT(doc->Compare(*pdf, 1), 0);
    EXPECT_GT(doc->Compare(*pdf, -1), 0);
    EXPECT_EQ(pdf->Compare(*pdfLower, 1), 0);
    EXPECT_LT(none->Compare(*doc, 1), 0);
    // Other columns compare their texts.
    EXPECT_GT(pdf->Compare(*doc, 2), 0);
}

TEST(BranchedFileItem, WithoutAnOwnerTheTypeCellHasNoImage) {
    EXPECT_EQ(Row(L"a.txt")->GetColumnImage(0), -1);
    EXPECT_EQ(Row(L"a.txt")->GetColumnImage(1), -1);
}

} // namespace
