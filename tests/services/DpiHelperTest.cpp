#include "ServicesTestSupport.h"
#include "contracts/ZebSettings.h"

namespace {

struct DpiProbe : CDPIHelper {
    std::vector<int> values() const { return {m_values, m_values + 9}; }
};

TEST(DpiHelper, SizesAreThoseOf96Dpi) {
    ASSERT_EQ(::GetDeviceCaps(ScopedWindowDC(nullptr).get(), LOGPIXELSY), 96) << "the expectations are of 96 DPI";
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(DpiProbe().values(), (std::vector<int>{96, 96, 96, 16, 32, 100, 0, 24, 24}));
    EXPECT_EQ(helper->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(0)), 16) << "other uses are small";
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseLarge, CSize(48, 24)), CSize(32, 32));
    EXPECT_EQ(helper->scaleY(14), 14);
}

}  // namespace
