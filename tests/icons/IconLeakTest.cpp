// A thousand lookups of every kind leave no icon behind.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "FixtureHandlers.h"
#include "IconTestSupport.h"
#include "icons/GetExtensionIcons.h"
#include "icons/GetFileIcons.h"
#include "icons/IconLookup.h"

using namespace icon_test;
using namespace icon_fixtures;

namespace {

class ManyLookups : public ::testing::Test {
protected:
    void SetUp() override {
        Register(L"lnleak1", L"LineageTest.Leak1", BinPath(L"IconLib.dll") + L",-205");
        Register(L"lnleak2", L"LineageTest.Leak2", BinPath(L"IconLibNone.dll"));
        Register(L"lnleak3", L"LineageTest.Leak3", BinPath(L"IconLib.dll") + L",-999");
        Register(L"lnleak4", L"LineageTest.Leak4", BinPath(L"IconLib.dll"));
        m_reg.IconHandler(L"LineageTest.Leak4", Handler(HandlerKind::Wide).clsid, BinPath(Handler(HandlerKind::Wide).dll));
        Register(L"lnleak5", L"LineageTest.Leak5", BinPath(L"IconLib.dll"));
        m_reg.IconHandler(L"LineageTest.Leak5", Handler(HandlerKind::NotFileName).clsid,
                          BinPath(Handler(HandlerKind::NotFileName).dll));
        Register(L"lnleak6", L"LineageTest.Leak6", BinPath(L"IconLib.dll"));
        m_reg.IconHandler(L"LineageTest.Leak6", Handler(HandlerKind::Sideload).clsid,
                          BinPath(Handler(HandlerKind::Sideload).dll));
        Register(L"lnleak7", L"LineageTest.Leak7", BinPath(L"IconLib.dll"));
        m_reg.IconHandler(L"LineageTest.Leak7", Handler(HandlerKind::LocationFails).clsid,
                          BinPath(Handler(HandlerKind::LocationFails).dll));
        for (int i = 1; i <= 7; ++i) {
            const std::wstring path = m_temp.Path() + L"file.lnleak" + std::to_wstring(i);
            ASSERT_TRUE(WriteFileText(path, "leak test"));
            m_files.push_back(path);
        }
        m_files.push_back(m_temp.Path() + L"unregistered.lnleakprobe");
    }

    void Register(const wchar_t* extension, const wchar_t* progId, const std::wstring& defaultIcon) {
        m_reg.Type(extension, progId, L"Leak Test");
        m_reg.SetDefault(std::wstring(progId) + L"\\DefaultIcon", defaultIcon);
    }

    // One round: every file by path and every extension alone; answers how many icons came back.
    int Round() {
        int icons = 0;
        for (const auto& file : m_files) {
            const IconLookup byFile = GetFileIcons(file.c_str());
            icons += (byFile.small ? 1 : 0) + (byFile.large ? 1 : 0);
            const std::wstring extension = file.substr(file.rfind(L'.') + 1);
            const IconLookup byType = GetExtensionIcons(extension.c_str(), WantedIcons::Both);
            icons += (byType.small ? 1 : 0) + (byType.large ? 1 : 0);
        }
        return icons;
    }

    ClassesRegistration m_reg;
    PrivateTempFolder m_temp{L"leaks"};
    std::vector<std::wstring> m_files;
};

TEST_F(ManyLookups, LeaveNoIconBehind) {
    const int perRound = Round();  // warms the shell's own caches
    ASSERT_GT(perRound, 0);
    const int iconsBefore = LiveIconCount();
    const int gdiObjectsBefore = LiveGdiObjectCount();
    const DWORD gdiBefore = GuiObjects(GR_GDIOBJECTS);
    const DWORD userBefore = GuiObjects(GR_USEROBJECTS);
    const int rounds = 1000 / static_cast<int>(m_files.size() * 2) + 1;
    for (int i = 0; i < rounds; ++i)
        ASSERT_EQ(Round(), perRound) << "round " << i;
    EXPECT_EQ(LiveIconCount(), iconsBefore);
    EXPECT_EQ(LiveGdiObjectCount(), gdiObjectsBefore);
    // Wine answers 0 here; on Windows these count as well.
    EXPECT_EQ(GuiObjects(GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(GuiObjects(GR_USEROBJECTS), userBefore);
    RecordProperty("GdiObjectsReported", static_cast<int>(gdiBefore));
    RecordProperty("UserObjectsReported", static_cast<int>(userBefore));
    EXPECT_TRUE(m_temp.Files().size() == 7) << "a probe file was left behind";
}

TEST(HandleCounts, SeeAnIconComeAndGo) {
    HICON shared = ::LoadIconW(nullptr, IDI_APPLICATION);  // loaded once per process, before counting
    const int before = LiveIconCount();
    const int gdiBefore = LiveGdiObjectCount();
    HICON icon = ::CopyIcon(shared);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LiveIconCount(), before + 1);
    EXPECT_GT(LiveGdiObjectCount(), gdiBefore);
    ::DestroyIcon(icon);
    EXPECT_EQ(LiveIconCount(), before);
    EXPECT_EQ(LiveGdiObjectCount(), gdiBefore);
}

}  // namespace
