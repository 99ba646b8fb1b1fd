// The icon cache: one index per type or per file, the library's pictures, and its image lists.
#include <gtest/gtest.h>
#include <shellapi.h>

#include "HostInstallation.h"
#include "IconTestSupport.h"
#include "contracts/ZebSettings.h"
#include "icons/IconCache.h"

using namespace icon_test;

namespace {

constexpr int kBuiltinCount = 12;  // the first picture request loads these as indices 0 to 11
constexpr wchar_t kProgId[] = L"LineageTest.Cached";

[[maybe_unused]] const auto kInstallation = ::testing::AddGlobalTestEnvironment(new HostInstallation);

int SmallSize() { return CDPIHelper::get()->getDesiredBitmapImageSz(kivImageUseSmall); }

element_test::Pixels PictureAt(IconCache& cache, int index) {
    return IconPixels(ScopedHICON(cache.CopyIcon(index, SmallSize())).get());
}

// Names without an extension, and a file without icons of a type that keeps them in each file.
TEST(IconCache, AFileWithoutIconGetsTheUnknownPictureAfterTheLibrarysOwn) {
    ClassesRegistration reg;
    reg.Type(L"lnnoicon", kProgId, L"%1");
    for (const std::wstring name : {L"C:\\vault\\README", L"C:\\vault\\README.", L"C:\\vault\\Release 2.1\\Makefile",
                                    L"C:\\vault\\missing.lnnoicon"}) {
        SCOPED_TRACE(name);
        IconCache cache;
        EXPECT_EQ(cache.GetFileIconIndex(name.c_str()), kBuiltinCount);
        const auto unknown = PictureAt(cache, 0);
        EXPECT_EQ(PictureAt(cache, kBuiltinCount), unknown) << "127 is the same unknown-type picture";
        EXPECT_EQ(cache.GetWfIconIndex(131, Plain, L"PNG_WORKFLOW", kivImageUseSmall), 10);
        for (int index = 0; index < kBuiltinCount; ++index)
            EXPECT_FALSE(PictureAt(cache, index).empty()) << index;
        EXPECT_EQ(PictureAt(cache, 2), PictureAt(cache, 1)) << "126 shows 121's picture";
        EXPECT_NE(PictureAt(cache, 3), PictureAt(cache, 1));
        // For a type, each variant loads the picture again, then draws its overlay over that copy.
        const int variants = name.find(L".lnnoicon") != std::wstring::npos ? IgnorePrevState : Plain;
        for (int variant = Shared; variant <= variants; ++variant) {
            const int reloaded = kBuiltinCount - 1 + 2 * variant;
            EXPECT_EQ(PictureAt(cache, reloaded), unknown) << variant;
            const auto composed = PictureAt(cache, reloaded + 1);
            EXPECT_FALSE(composed.empty()) << variant;
            EXPECT_NE(composed, unknown) << variant;
        }
        EXPECT_TRUE(PictureAt(cache, kBuiltinCount + 1 + 2 * variants).empty());
    }
}

TEST(IconCache, KeepsATypesIconPerExtensionAndAFilesPerNameWhatEverTheCase) {
    const std::wstring one = TempFolder() + L"one.lncached", two = TempFolder() + L"TWO.LnCached";
    for (const std::wstring& file : {one, two})
        ASSERT_TRUE(::CopyFileW(BinPath(L"IconLib.dll").c_str(), file.c_str(), FALSE));
    const std::pair<HandlerKind, bool> cases[] = {  // handler, icons differ per file
        {HandlerKind::Wide, false}, {HandlerKind::PerInstance, true}, {HandlerKind::DontCache, true}};
    for (const auto& [kind, perFile] : cases) {
        SCOPED_TRACE(int(kind));
        ClassesRegistration reg;
        reg.Type(L"lncached", kProgId);
        reg.IconHandler(kProgId, kind);
        IconCache cache;
        const int first = cache.GetFileIconIndex(one.c_str()), second = cache.GetFileIconIndex(two.c_str());
        ASSERT_GE(first, 0);
        ASSERT_GE(second, 0);
        EXPECT_EQ(first == second, !perFile);
        const LONG queries = LastCall(kind)->locations;
        EXPECT_EQ(cache.GetFileIconIndex((TempFolder() + L"ONE.LNCACHED").c_str()), first);
        EXPECT_EQ(LastCall(kind)->locations, queries) << "asked again";
        EXPECT_EQ(CentreColour(ScopedHICON(cache.CopyIcon(first, SmallSize())).get()), kMagenta);
    }
    ::DeleteFileW(one.c_str());
    ::DeleteFileW(two.c_str());
}

int g_screenDepth = 0;
int WINAPI FakeDeviceCaps(HDC, int index) { return index == BITSPIXEL ? g_screenDepth : 0; }

// Below 8 bits (or none measured) the lists keep 16 colours: the fixture's colours do not survive.
TEST(IconCache, ListsTakeTheScreensColoursAndFillAGapWithTheSamePicture) {
    const ImportPatch caps("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeDeviceCaps));
    ASSERT_TRUE(caps.Installed());
    for (const auto& [depth, exact] : {std::pair{0, false}, std::pair{7, false}, std::pair{8, true}}) {
        g_screenDepth = depth;
        IconCache cache;
        for (const auto& [index, id] : {std::pair{2, 100}, {5, 205}}) {
            HICON small = nullptr;
            ::ExtractIconExW(BinPath(L"IconLib.dll").c_str(), -id, nullptr, &small, 1);
            ASSERT_TRUE(cache.SetIcon(index, ScopedHICON(small).get(), SmallSize()));
        }
        for (int index = 0; index < 7; ++index) {
            const long colour = CentreColour(ScopedHICON(cache.CopyIcon(index, SmallSize())).get());
            EXPECT_EQ(colour == (index < 3 ? kRed : kBlue), exact && index < 6) << depth << " " << index;
            EXPECT_EQ(colour == -1, index == 6) << depth << " " << index;
        }
    }
}

}  // namespace
