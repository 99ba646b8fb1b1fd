// The DPI helper at the screen's DPI: Wine's default of 96 in the test prefix.
#include "ServicesTestSupport.h"
#include <vector>
#include "contracts/ZebSettings.h"

namespace {

// Reads the nine values the way the inline members of the header do.
struct DpiProbe : CDPIHelper {
    std::vector<int> values() const { return {m_values, m_values + 9}; }
};

TEST(DpiHelper, SizesAreThoseOf96Dpi) {
    ASSERT_EQ(::GetDeviceCaps(ScopedWindowDC(nullptr).get(), LOGPIXELSY), 96) << "the expectations are of 96 DPI";
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(DpiProbe().values(), (std::vector<int>{96, 96, 96, 16, 32, 100, 0, 24, 24}));
    EXPECT_EQ(helper->getDPI_OS() + helper->getSystemDPI(), 192);
    EXPECT_EQ(helper->getToolbarButtonSizeBF() + helper->getToolbarButtonSizeExp(), 48);
    EXPECT_EQ(helper->getDesiredBitmapImageSz(kivImageUseSmall), 16);
    EXPECT_EQ(helper->getDesiredBitmapImageSz(kivImageUseLarge), 32);
    EXPECT_EQ(helper->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(0)), 16) << "other uses are small";
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseSmall, CSize(0, 0)), CSize(16, 16));
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseLarge, CSize(48, 24)), CSize(32, 32));
    for (int value : {0, 1, 14, 1000, -7})
        EXPECT_EQ(helper->scaleY(value), value);
    DpiProbe copy;
    static_cast<CDPIHelper&>(copy) = *helper;
    EXPECT_EQ(copy.values(), DpiProbe().values()) << "assignment copies all nine";
}

TEST(DpiHelper, ThreadsAskingTogetherGetTheOneHelperOfTheProcess) {
    CDPIHelper* seen[8] = {};
    LONG next = 0;
    ASSERT_TRUE(services_test::RunTogether(8, [&] { seen[::InterlockedIncrement(&next) - 1] = CDPIHelper::get(); }));
    for (CDPIHelper* one : seen)
        EXPECT_EQ(one, CDPIHelper::get());
    EXPECT_NE(CDPIHelper::get(), nullptr);
}

}  // namespace
