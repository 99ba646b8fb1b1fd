// The icon cache: one index per type or per file, the library's pictures, and its image lists.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <vector>

#include "FixtureHandlers.h"
#include "HostInstallation.h"
#include "IconTestSupport.h"
#include "contracts/ZebSettings.h"
#include "icons/IconCache.h"

using namespace icon_test;
using namespace icon_fixtures;

namespace {

constexpr int kBuiltinCount = 12;  // the first built-in request loads these as indices 0 to 11
constexpr wchar_t kProgId[] = L"LineageTest.Cached";

int SmallSize() { return CDPIHelper::get()->getDesiredBitmapImageSz(kivImageUseSmall); }

[[maybe_unused]] ::testing::Environment* const kInstallation =
    ::testing::AddGlobalTestEnvironment(new HostInstallation);

// The colour image of a picture, top row first; empty when there is none.
std::vector<DWORD> PictureAt(IconCache& cache, int index) {
    const ScopedHICON icon(cache.CopyIcon(index, SmallSize()));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon.get(), &info))
        return {};
    const ScopedHBITMAP colour(info.hbmColor), mask(info.hbmMask);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(bmi.bmiHeader), SmallSize(), -SmallSize(), 1, 32, BI_RGB};
    std::vector<DWORD> pixels(static_cast<size_t>(SmallSize() * SmallSize()));
    const ScopedMemDC dc(::CreateCompatibleDC(nullptr));
    if (!::GetDIBits(dc.get(), colour.get(), 0, SmallSize(), pixels.data(), &bmi, DIB_RGB_COLORS))
        return {};
    return pixels;
}

struct NameCase {
    const char* name;
    const wchar_t* path;
};
class CachedNameWithoutExtension : public ::testing::TestWithParam<NameCase> {};

TEST_P(CachedNameWithoutExtension, GetsTheUnknownTypePictureAfterTheBuiltInSet) {
    IconCache cache;
    const int index = cache.GetFileIconIndex(GetParam().path);
    EXPECT_EQ(index, kBuiltinCount);
    EXPECT_EQ(PictureAt(cache, index), PictureAt(cache, 0)) << "127 is the same unknown-type picture";
}

INSTANTIATE_TEST_SUITE_P(Names, CachedNameWithoutExtension,
                         ::testing::Values(NameCase{"NoDot", L"C:\\vault\\README"},
                                           NameCase{"EndsInItsOnlyDot", L"C:\\vault\\README."},
                                           NameCase{"LastDotInAFolder", L"C:\\vault\\Release 2.1\\Makefile"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BuiltInPictures, TheFirstRequestLoadsAllTwelve) {
    IconCache cache;
    EXPECT_EQ(cache.GetWfIconIndex(131, Plain, L"PNG_WORKFLOW", kivImageUseSmall), 10);
    for (int index = 0; index < kBuiltinCount; ++index)
        EXPECT_FALSE(PictureAt(cache, index).empty()) << index;
    EXPECT_TRUE(PictureAt(cache, kBuiltinCount).empty());
    EXPECT_EQ(PictureAt(cache, 2), PictureAt(cache, 1)) << "126 shows 121's picture";
    EXPECT_NE(PictureAt(cache, 3), PictureAt(cache, 1));
}

// A type whose icons live in each file, for files that have none: the shell has no icon for it.
TEST(TypeWithoutIcon, GetsTheUnknownPictureInFourVariants) {
    ClassesRegistration reg;
    reg.Type(L"lnnoicon", kProgId);
    reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%1");
    IconCache cache;
    const int plain = cache.GetFileIconIndex(L"C:\\vault\\missing.lnnoicon");
    ASSERT_EQ(plain, kBuiltinCount);
    const std::vector<DWORD> unknown = PictureAt(cache, plain);
    // Each variant loads the picture again, then draws its overlay over that copy.
    for (int variant = Shared; variant <= IgnorePrevState; ++variant) {
        const int reloaded = kBuiltinCount - 1 + 2 * variant;
        EXPECT_EQ(PictureAt(cache, reloaded), unknown) << variant;
        const std::vector<DWORD> composed = PictureAt(cache, reloaded + 1);
        EXPECT_FALSE(composed.empty()) << variant;
        EXPECT_NE(composed, unknown) << variant;
    }
    EXPECT_TRUE(PictureAt(cache, kBuiltinCount + 7).empty());
}

const HandlerCall* LastCall(HandlerKind kind) {
    const HMODULE server = ::GetModuleHandleW(Handler(kind).dll);
    auto lastCall = server ? reinterpret_cast<FixtureLastCallFn>(::GetProcAddress(server, "FixtureLastCall")) : nullptr;
    return lastCall ? lastCall() : nullptr;
}

class CachedType : public ::testing::Test {
protected:
    void Register(HandlerKind kind) {
        m_reg.Type(L"lncached", kProgId, L"Cached Document");
        m_reg.IconHandler(kProgId, Handler(kind).clsid, BinPath(Handler(kind).dll));
    }
    std::wstring File(const wchar_t* name) {
        const std::wstring path = m_temp.Path() + name;
        EXPECT_TRUE(WriteFileText(path, "cached"));
        return path;
    }
    LONG Queries(HandlerKind kind) {
        const HandlerCall* call = LastCall(kind);
        return call ? call->locations : 0;
    }
    ClassesRegistration m_reg;
    PrivateTempFolder m_temp{L"cached"};
};

TEST_F(CachedType, ExtensionsDifferingInCaseShareOneEntryAndOneQuery) {
    Register(HandlerKind::Wide);
    IconCache cache;
    const int first = cache.GetFileIconIndex(File(L"a.lncached").c_str());
    ASSERT_GE(first, 0);
    const LONG queries = Queries(HandlerKind::Wide);
    EXPECT_GT(queries, 0);
    for (const wchar_t* name : {L"B.LNCACHED", L"c.LnCached", L"a.lncached"})
        EXPECT_EQ(cache.GetFileIconIndex(File(name).c_str()), first) << name;
    EXPECT_EQ(Queries(HandlerKind::Wide), queries);
    EXPECT_EQ(CentreColour(::ScopedHICON(cache.CopyIcon(first, SmallSize())).get()), kMagenta);
}

class CachedIconPerFile : public CachedType, public ::testing::WithParamInterface<HandlerKind> {};

TEST_P(CachedIconPerFile, EachFileGetsItsOwnEntryByLowerCaseName) {
    Register(GetParam());
    IconCache cache;
    const int first = cache.GetFileIconIndex(File(L"one.lncached").c_str());
    const int second = cache.GetFileIconIndex(File(L"two.lncached").c_str());
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    const LONG queries = Queries(GetParam());
    EXPECT_EQ(cache.GetFileIconIndex((m_temp.Path() + L"ONE.LnCached").c_str()), first);
    EXPECT_EQ(Queries(GetParam()), queries);
}

INSTANTIATE_TEST_SUITE_P(Flags, CachedIconPerFile, ::testing::Values(HandlerKind::PerInstance, HandlerKind::DontCache),
                         [](const auto& info) {
                             return std::string(info.param == HandlerKind::PerInstance ? "PerInstance" : "DontCache");
                         });

// Fills an icon of one colour; the caller destroys it.
HICON SolidIcon(COLORREF rgb) {
    const int size = SmallSize();
    std::vector<DWORD> colour(static_cast<size_t>(size * size), 0xFF000000 | (GetRValue(rgb) << 16) |
                                                                  (GetGValue(rgb) << 8) | GetBValue(rgb));
    std::vector<BYTE> mask(static_cast<size_t>(size * size / 8), 0);
    return ::CreateIcon(nullptr, size, size, 1, 32, mask.data(), reinterpret_cast<BYTE*>(colour.data()));
}

TEST(ImageListOfTheCache, StoringPastItsCountFillsTheGapWithTheSamePicture) {
    IconCache cache;
    const ScopedHICON red(SolidIcon(RGB(0xDC, 0, 0))), blue(SolidIcon(RGB(0, 0, 0xE6)));
    ASSERT_TRUE(cache.SetIcon(2, red.get(), SmallSize()));
    ASSERT_TRUE(cache.SetIcon(5, blue.get(), SmallSize()));
    const long expected[] = {kRed, kRed, kRed, kBlue, kBlue, kBlue, -1};
    for (int index = 0; index < 7; ++index)
        EXPECT_EQ(CentreColour(::ScopedHICON(cache.CopyIcon(index, SmallSize())).get()), expected[index]) << index;
}

int g_screenDepth = 0;
UINT g_createdFlags = 0;
decltype(&::ImageList_Create) g_create = nullptr;
int WINAPI FakeDeviceCaps(HDC, int index) { return index == BITSPIXEL ? g_screenDepth : 0; }
HIMAGELIST WINAPI RecordCreate(int cx, int cy, UINT flags, int initial, int grow) {
    g_createdFlags = flags;
    return g_create(cx, cy, flags, initial, grow);
}

class ScreenDepth : public ::testing::TestWithParam<std::pair<int, UINT>> {};

TEST_P(ScreenDepth, ChoosesTheListsColours) {
    const ImportPatch caps("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(&FakeDeviceCaps));
    const ImportPatch create("comctl32.dll", "ImageList_Create", reinterpret_cast<void*>(&RecordCreate));
    ASSERT_TRUE(caps.Installed() && create.Installed());
    g_create = reinterpret_cast<decltype(g_create)>(create.Original());
    g_screenDepth = GetParam().first;
    IconCache cache;
    const ScopedHICON red(SolidIcon(RGB(0xDC, 0, 0)));
    ASSERT_TRUE(cache.SetIcon(0, red.get(), SmallSize()));
    EXPECT_EQ(g_createdFlags, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Bits, ScreenDepth,
                         ::testing::Values(std::make_pair(0, UINT{ILC_MASK | ILC_COLOR4}),
                                           std::make_pair(4, UINT{ILC_MASK | ILC_COLOR4}),
                                           std::make_pair(7, UINT{ILC_MASK | ILC_COLOR4}),
                                           std::make_pair(8, UINT{ILC_MASK | ILC_COLOR32}),
                                           std::make_pair(32, UINT{ILC_MASK | ILC_COLOR32})));

}  // namespace
