// A thousand lookups of every kind leave no icon behind.
#include <gtest/gtest.h>
#include "FixtureHandlers.h"
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"

using namespace icon_test;
using namespace icon_fixtures;

namespace {

TEST(ManyLookups, LeaveNoIconBehind) {
    ClassesRegistration reg;
    PrivateTempFolder temp(L"leaks");
    // DefaultIcon values and handlers of every kind of answer.
    const std::wstring defaultIcons[] = {
        BinPath(L"IconLib.dll") + L",-205", BinPath(L"IconLibNone.dll"),
        BinPath(L"IconLib.dll") + L",-999"};
    const HandlerKind handlers[] = {HandlerKind::Wide, HandlerKind::NotFileName, HandlerKind::Sideload,
                                    HandlerKind::LocationFails};
    std::vector<std::wstring> files;
    for (int i = 1; i <= 7; ++i) {
        const std::wstring progId = L"LineageTest.Leak" + std::to_wstring(i);
        reg.Type(L"lnleak" + std::to_wstring(i), progId, L"Leak Test");
        reg.SetDefault(progId + L"\\DefaultIcon", i <= 3 ? defaultIcons[i - 1] : BinPath(L"IconLib.dll"));
        if (i > 3)
            reg.IconHandler(progId, Handler(handlers[i - 4]).clsid, BinPath(Handler(handlers[i - 4]).dll));
        files.push_back(temp.Path() + L"file.lnleak" + std::to_wstring(i));
        ASSERT_TRUE(WriteFileText(files.back(), "leak test"));
    }
    files.push_back(temp.Path() + L"unregistered.lnleakprobe");
    // One round: every file by path and every extension alone; answers how many icons came back.
    auto round = [&files] {
        int icons = 0;
        for (const auto& file : files) {
            const IconLookup byFile = GetFileIcons(file.c_str());
            const IconLookup byType = GetExtensionIcons(file.substr(file.rfind(L'.') + 1).c_str(), WantedIcons::Both);
            icons += !!byFile.small + !!byFile.large + !!byType.small + !!byType.large;
        }
        return icons;
    };
    const int perRound = round();  // warms the shell's own caches
    ASSERT_GT(perRound, 0);
    const int iconsBefore = LiveIconCount(), gdiObjectsBefore = LiveGdiObjectCount();
    for (int i = 0; i < 1000 / int(files.size() * 2) + 1; ++i)
        ASSERT_EQ(round(), perRound) << "round " << i;
    EXPECT_EQ(LiveIconCount(), iconsBefore);
    EXPECT_EQ(LiveGdiObjectCount(), gdiObjectsBefore);
    EXPECT_EQ(temp.Files().size(), 7u) << "a probe file was left behind";
}

TEST(HandleCounts, SeeAnIconComeAndGo) {
    HICON shared = ::LoadIconW(nullptr, IDI_APPLICATION);  // loaded once per process, before counting
    const int before = LiveIconCount(), gdiBefore = LiveGdiObjectCount();
    HICON icon = ::CopyIcon(shared);
    EXPECT_EQ(LiveIconCount(), before + 1);
    EXPECT_GT(LiveGdiObjectCount(), gdiBefore);
    ::DestroyIcon(icon);
    EXPECT_EQ(LiveIconCount(), before);
    EXPECT_EQ(LiveGdiObjectCount(), gdiBefore);
}

}  // namespace
