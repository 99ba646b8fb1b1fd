// The DPI helper at the screen's DPI: Wine's default of 96 in the test prefix.
#include "ServicesTestSupport.h"

#include <vector>

#include "contracts/ZebSettings.h"

namespace {

int ScreenDpi() {
    ScopedWindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

TEST(DpiHelper, TheTestPrefixRunsAt96Dpi) {
    ASSERT_EQ(ScreenDpi(), 96) << "the expectations below are those of 96 DPI";
}

TEST(DpiHelper, ThereIsOneHelperForTheProcess) {
    CDPIHelper* helper = CDPIHelper::get();
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(CDPIHelper::get(), helper);
}

TEST(DpiHelper, ThreadsAskingTogetherGetTheSameHelper) {
    struct Shared {
        HANDLE start;
        CDPIHelper* seen[8];
    } shared{::CreateEventW(nullptr, TRUE, FALSE, nullptr), {}};
    ScopedKernelHandle start(shared.start);
    struct Slot {
        Shared* shared;
        int index;
    };
    std::vector<Slot> slots;
    for (int i = 0; i < 8; ++i) slots.push_back({&shared, i});
    std::vector<ScopedKernelHandle> threads;
    std::vector<HANDLE> raw;
    for (Slot& slot : slots) {
        threads.emplace_back(::CreateThread(
            nullptr, 0,
            [](void* arg) -> DWORD {
                auto* s = static_cast<Slot*>(arg);
                ::WaitForSingleObject(s->shared->start, INFINITE);
                s->shared->seen[s->index] = CDPIHelper::get();
                return 0;
            },
            &slot, 0, nullptr));
        ASSERT_TRUE(threads.back());
        raw.push_back(threads.back().get());
    }
    ::SetEvent(shared.start);
    ASSERT_EQ(::WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), TRUE, 10000), WAIT_OBJECT_0);
    for (CDPIHelper* seen : shared.seen) EXPECT_EQ(seen, CDPIHelper::get());
}

TEST(DpiHelper, TheDpiIsTheScreens) {
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(helper->getDPI_OS(), 96);
    EXPECT_EQ(helper->getSystemDPI(), 96);
}

TEST(DpiHelper, ToolbarButtonsAre24Pixels) {
    EXPECT_EQ(CDPIHelper::get()->getToolbarButtonSizeBF(), 24);
    EXPECT_EQ(CDPIHelper::get()->getToolbarButtonSizeExp(), 24);
}

TEST(DpiHelper, SmallPicturesAre16AndLargeOnes32Pixels) {
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(helper->getDesiredBitmapImageSz(kivImageUseSmall), 16);
    EXPECT_EQ(helper->getDesiredBitmapImageSz(kivImageUseLarge), 32);
    EXPECT_EQ(helper->getDesiredBitmapImageSz(static_cast<e_kivImageUseType>(0)), 16) << "other uses are small";
}

TEST(DpiHelper, PictureSizesAreSquareWhateverTheBase) {
    CDPIHelper* helper = CDPIHelper::get();
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseSmall, CSize(0, 0)), CSize(16, 16));
    EXPECT_EQ(helper->getDesiredBitmapImageSize(kivImageUseLarge, CSize(48, 24)), CSize(32, 32));
}

TEST(DpiHelper, ScaleYIsTheIdentityAt96Dpi) {
    CDPIHelper* helper = CDPIHelper::get();
    for (int value : {0, 1, 5, 14, 24, 1000, -7})
        EXPECT_EQ(helper->scaleY(value), value) << value;
}

// Reads the nine values the way the inline members of the header do.
class DpiProbe : public CDPIHelper {
public:
    int value(int index) const { return m_values[index]; }
    void Scramble() {
        for (int& v : m_values) v = -1;
    }
};

TEST(DpiHelper, TheNineValuesHoldTheirDocumentedSizes) {
    DpiProbe helper;
    const int expected[9] = {96, 96, 96, 16, 32, 100, 0, 24, 24};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(helper.value(i), expected[i]) << "value " << i;
}

TEST(DpiHelper, AssignmentCopiesAllNineValues) {
    DpiProbe fresh;
    DpiProbe copy;
    copy.Scramble();
    static_cast<CDPIHelper&>(copy) = *CDPIHelper::get();
    for (int i = 0; i < 9; ++i) EXPECT_EQ(copy.value(i), fresh.value(i)) << "value " << i;
}

}  // namespace
