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
    struct Shared {
        ScopedKernelHandle start{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        CDPIHelper* seen[8] = {};
        LONG next = 0;
    } shared;
    std::vector<ScopedKernelHandle> threads;
    std::vector<HANDLE> raw;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back(::CreateThread(nullptr, 0, [](void* arg) -> DWORD {
            auto* s = static_cast<Shared*>(arg);
            ::WaitForSingleObject(s->start.get(), INFINITE);
            s->seen[::InterlockedIncrement(&s->next) - 1] = CDPIHelper::get();
            return 0;
        }, &shared, 0, nullptr));
        raw.push_back(threads.back().get());
    }
    ::SetEvent(shared.start.get());
    ASSERT_EQ(::WaitForMultipleObjects(8, raw.data(), TRUE, 10000), WAIT_OBJECT_0);
    for (CDPIHelper* seen : shared.seen)
        EXPECT_EQ(seen, CDPIHelper::get());
    EXPECT_NE(CDPIHelper::get(), nullptr);
}

}  // namespace
