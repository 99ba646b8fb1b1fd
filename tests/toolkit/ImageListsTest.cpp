// Image lists that empty themselves, pictures composed with an overlay, and numbered icons.
#include <gtest/gtest.h>
#include "../glyphset/GlyphsetTestSupport.h"
#include "DialogSession.h"
#include "ElementTestSupport.h"
#include "HandleCounts.h"
#include "ImportPatch.h"
#include "icons/CIcon.h"
#include "icons/IconsManager.h"
#include "icons/ImageListXP.h"

using namespace element_test;
using lineage_test::ImportPatch;

namespace {

constexpr int kSize = 16, kSplit = 12;  // the overlay covers the columns from 12, the base's mask the rows above

std::vector<int> g_countsAtDestroy;
BOOL(WINAPI* g_destroy)(HIMAGELIST) = nullptr;
BOOL WINAPI RecordDestroy(HIMAGELIST list) {
    g_countsAtDestroy.push_back(::ImageList_GetImageCount(list));
    return g_destroy(list);
}

// An ImageListXP empties itself before its handle goes; a composed icon leaves no handle behind.
TEST(Composition, DrawsTheOverlayOverTheBaseAndLeavesNoHandleBehind) {
    const ImportPatch patch("comctl32.dll", "ImageList_Destroy", reinterpret_cast<void*>(&RecordDestroy));
    g_destroy = reinterpret_cast<decltype(g_destroy)>(patch.Original());
    {
        ImageListXP list;
        ASSERT_TRUE(list.Attach(::ImageList_Create(kSize, kSize, ILC_COLOR32 | ILC_MASK, 10, 10)));
        for (int i = 0; i < 12; ++i)
            ::ImageList_AddIcon(list, RedIcon().get());
    }
    EXPECT_EQ(g_countsAtDestroy, std::vector<int>{0});
    std::vector<ScopedHIMAGELIST> lists;
    for (const auto& [depth, baseAlpha] : {std::pair{ILC_COLOR32, 0u}, {ILC_COLOR32, 0x80u}, {ILC_COLOR4, 0u}}) {
        SCOPED_TRACE(testing::Message() << depth << " " << baseAlpha);
        // Slot 0 a red base, opaque in its mask above the split; slot 1 a blue overlay right of it.
        lists.emplace_back(::ImageList_Create(kSize, kSize, depth | ILC_MASK, 2, 2));
        ::ImageList_AddIcon(lists.back().get(), MakeIcon(kSize, [&](int, int) { return baseAlpha << 24 | 0xFF0000; },
                                                         [](int, int y) { return y < kSplit; }).get());
        ::ImageList_AddIcon(lists.back().get(), MakeIcon(kSize, [](int x, int) { return x < kSplit ? 0 : 0xFF0000FFu; },
                                                         [](int x, int) { return x >= kSplit; }).get());
        const CIcon composed(lists.back().get(), 0, 1);
        const Pixels pixels = IconPixels(composed.GetIcon());
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSize * kSize));
        for (int i = 0; i < kSize * kSize; ++i) {
            const int x = i % kSize, y = i / kSize;
            if (depth == ILC_COLOR4)  // no alpha at all
                ASSERT_EQ(pixels[i] & kWhite, x >= kSplit ? 0x0000FFu : 0xFF0000u) << x << "," << y;
            else if (x >= kSplit || (!baseAlpha && y < kSplit))
                ASSERT_EQ(pixels[i], x >= kSplit ? 0xFF0000FFu : 0xFFFF0000u) << x << "," << y;
            else  // clear where the mask says so, or the base's own alpha (its colour comes back premultiplied)
                ASSERT_EQ(pixels[i] >> 24, baseAlpha) << x << "," << y;
        }
    }
    const auto round = [&] {
        const CIcon withAlpha(lists[0].get(), 0, 1), merged(lists[2].get(), 0, 1);
        return withAlpha.GetIcon() && merged.GetIcon();
    };
    const int gdiObjects = lineage_test::LiveGdiObjectCount(), icons = lineage_test::LiveIconCount();
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(round()) << "round " << i;
    EXPECT_EQ(lineage_test::LiveGdiObjectCount(), gdiObjects);
    EXPECT_EQ(lineage_test::LiveIconCount(), icons);
}

TEST(IconsManager, LoadsANumberOnceAndRemembersWhatTheLoadGave) {
    const std::wstring folder = lineage_test::ExecutableFolder() + L"counting-glyphset\\";
    IconsManager* manager = IconsManager::Instance();
    HICON expanded = nullptr;
    {
        const glyphset_test::LocationValue location(folder.c_str());
        expanded = manager->GetIcon(304, L"PNG_TREE_EXPANDED", 3);  // the library stays loaded from here
    }
    const auto* loads = reinterpret_cast<const int*>(
        ::GetProcAddress(::GetModuleHandleW((folder + kGlyphsetFileName).c_str()), "loadCount"));
    ASSERT_TRUE(expanded && loads && IconsManager::Instance() == manager);
    EXPECT_EQ(manager->GetIcon(304, L"PNG_TREE_EXPANDED", 3), expanded);
    EXPECT_EQ(manager->GetIcon(305, L"PNG_MISSING", 3), nullptr);
    EXPECT_EQ(manager->GetIcon(305, nullptr, 3), nullptr);
    EXPECT_EQ(*loads, 2) << "each number loads once; one whose load gave nothing is not loaded without a name";
    EXPECT_FALSE(manager->StoreIcon(304, RedIcon().get())) << "a number keeps its first icon; the caller its own";
}

} // namespace
