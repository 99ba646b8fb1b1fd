// What the lookups make of ExtractIconExW's answers: half a pair is nothing, and handles from a
// failed call are never trusted. Wine's ExtractIconExW always gives both halves of a pair or
// none, so its answers are played here through the program's import of it.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <memory>

#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/IconLookup.h"

using namespace icon_test;

namespace {

constexpr wchar_t kExt[] = L"lnpartial";
constexpr wchar_t kProgId[] = L"LineageTest.Partial";
constexpr wchar_t kClassId[] = L"{5E0D1C01-7A2B-4C3D-9E8F-0A1B2C3D4F30}";

// What the played ExtractIconExW answers and hands out.
struct PlayedExtraction {
    UINT answer = 0;
    HICON large = nullptr;
    HICON small = nullptr;
    int calls = 0;
};
PlayedExtraction g_played;

UINT WINAPI PlayExtractIconEx(LPCWSTR, int, HICON* large, HICON* small, UINT) {
    ++g_played.calls;
    if (large) *large = g_played.large;
    if (small) *small = g_played.small;
    return g_played.answer;
}

HICON NewIcon() { return ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION)); }

enum class Where { ProgIdDefaultIcon, ClassDefaultIcon };

class PlayedAnswer : public ::testing::TestWithParam<Where> {
protected:
    void SetUp() override {
        m_reg.Type(kExt, kProgId);
        const std::wstring value = BinPath(L"IconLib.dll") + L",-205";
        if (GetParam() == Where::ProgIdDefaultIcon) {
            m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", value);
        } else {
            m_reg.SetDefault(std::wstring(kProgId) + L"\\CLSID", kClassId);
            m_reg.SetDefault(std::wstring(L"CLSID\\") + kClassId + L"\\DefaultIcon", value);
        }
        g_played = PlayedExtraction();
        m_patch = std::make_unique<ImportPatch>("shell32.dll", "ExtractIconExW",
                                                reinterpret_cast<void*>(&PlayExtractIconEx));
        ASSERT_TRUE(m_patch->Installed());
    }
    void TearDown() override { m_patch.reset(); }

    IconLookup LookUp(bool wantSmall = true) {
        return GetExtensionIcons(kExt, wantSmall ? WantedIcons::Both : WantedIcons::Large);
    }

    ClassesRegistration m_reg;
    std::unique_ptr<ImportPatch> m_patch;
};

TEST_P(PlayedAnswer, HalfAPairIsNothingAndTheHalfIsDestroyed) {
    g_played.answer = 1;
    g_played.large = NewIcon();
    const IconLookup icons = LookUp();
    EXPECT_EQ(icons.result, IconLookupResult::None);
    EXPECT_EQ(g_played.calls, 1);
    EXPECT_EQ(icons.small.get(), nullptr);
    EXPECT_EQ(icons.large.get(), nullptr);
    EXPECT_FALSE(IsLiveIcon(g_played.large)) << "the half that came was leaked";
}

TEST_P(PlayedAnswer, HalfAPairIsEnoughWhenOnlyThatHalfIsWanted) {
    g_played.answer = 1;
    g_played.large = NewIcon();
    const IconLookup icons = LookUp(false);
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(icons.large.get(), g_played.large);
}

TEST_P(PlayedAnswer, HandlesFromAFailedCallAreNeitherUsedNorDestroyed) {
    for (UINT failure : {0xFFFFFFFFu, 0u}) {
        g_played.answer = failure;
        g_played.large = NewIcon();
        g_played.small = NewIcon();
        const IconLookup icons = LookUp();
        EXPECT_EQ(icons.result, IconLookupResult::None) << failure;
        EXPECT_EQ(icons.small.get(), nullptr);
        EXPECT_EQ(icons.large.get(), nullptr);
        EXPECT_TRUE(IsLiveIcon(g_played.large)) << "someone else's handle was destroyed";
        EXPECT_TRUE(IsLiveIcon(g_played.small)) << "someone else's handle was destroyed";
        ::DestroyIcon(g_played.large);
        ::DestroyIcon(g_played.small);
    }
}

TEST_P(PlayedAnswer, AWholePairIsTaken) {
    g_played.answer = 2;
    g_played.large = NewIcon();
    g_played.small = NewIcon();
    const IconLookup icons = LookUp();
    EXPECT_EQ(icons.result, IconLookupResult::ForType);
    EXPECT_EQ(icons.large.get(), g_played.large);
    EXPECT_EQ(icons.small.get(), g_played.small);
}

INSTANTIATE_TEST_SUITE_P(Places, PlayedAnswer,
                         ::testing::Values(Where::ProgIdDefaultIcon, Where::ClassDefaultIcon),
                         [](const ::testing::TestParamInfo<Where>& info) {
                             return std::string(info.param == Where::ProgIdDefaultIcon ? "ProgIdDefaultIcon"
                                                                                       : "ClassDefaultIcon");
                         });

// A type that keeps its icon in each file takes whatever half of the file's pair there is,
// but nothing from a failed call.
class PlayedAnswerForOwnIcon : public ::testing::Test {
protected:
    void SetUp() override {
        m_reg.Type(kExt, kProgId);
        m_reg.SetDefault(std::wstring(kProgId) + L"\\DefaultIcon", L"%1");
        g_played = PlayedExtraction();
        m_patch = std::make_unique<ImportPatch>("shell32.dll", "ExtractIconExW",
                                                reinterpret_cast<void*>(&PlayExtractIconEx));
        ASSERT_TRUE(m_patch->Installed());
    }
    ClassesRegistration m_reg;
    std::unique_ptr<ImportPatch> m_patch;
    PrivateTempFolder m_temp{L"partial"};
};

TEST_F(PlayedAnswerForOwnIcon, OneIconOfTheFileIsEnough) {
    g_played.answer = 1;
    g_played.small = NewIcon();
    const IconLookup icons = GetFileIcons(L"C:\\vault\\picture.lnpartial");
    EXPECT_EQ(icons.result, IconLookupResult::PerFile);
    EXPECT_EQ(icons.small.get(), g_played.small);
    EXPECT_EQ(icons.large.get(), nullptr);
}

TEST_F(PlayedAnswerForOwnIcon, AFailedCallIsNothing) {
    g_played.answer = 0xFFFFFFFF;
    g_played.small = NewIcon();
    g_played.large = NewIcon();
    const IconLookup icons = GetFileIcons(L"C:\\vault\\picture.lnpartial");
    EXPECT_EQ(icons.result, IconLookupResult::None);
    EXPECT_EQ(icons.small.get(), nullptr);
    EXPECT_EQ(icons.large.get(), nullptr);
    EXPECT_TRUE(IsLiveIcon(g_played.small));
    ::DestroyIcon(g_played.small);
    ::DestroyIcon(g_played.large);
}

}  // namespace
