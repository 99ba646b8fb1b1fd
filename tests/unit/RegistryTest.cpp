#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include <string>
#include "settings/FormatDate.h"
#include "settings/Registry.h"
#include "settings/SettingsLight.h"
#include "settings/Str.h"

namespace {

bool Usable(HKEY key) {
    return ::RegQueryValueExW(key, L"", nullptr, nullptr, nullptr, nullptr) != ERROR_INVALID_HANDLE;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, ScopedHKEY().put()) == ERROR_SUCCESS;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }
    void TearDown() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }
    bool Open(Registry& reg, const std::wstring& sub = L"", REGSAM access = Registry::kRead, bool create = false) {
        return reg.Open(HKEY_CURRENT_USER, (m_path + sub).c_str(), access, create);
    }
    static void Set(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                    DWORD size) {
        ASSERT_EQ(::RegSetKeyValueW(root, path.c_str(), name, type, data, size), ERROR_SUCCESS);
    }
    const std::wstring m_path = L"Software\\LineageTests\\Registry-" + std::to_wstring(::GetCurrentProcessId());
};

TEST_F(RegistryTest, OpensWithTheAskedAccessKeepsTheLastStatusAndReadsStringsWhole) {
    Registry reg;
    EXPECT_FALSE(Open(reg, L"\\One", Registry::kReadWrite));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, m_path)) << "without create nothing is made";
    ASSERT_TRUE(Open(reg, L"\\One\\Two", Registry::kReadWrite, true));
    const DWORD value = 0x01020304;
    const auto write = [&] {
        return ::RegSetValueExW(reg.Key(), L"d", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    };
    EXPECT_EQ(write(), ERROR_SUCCESS);
    ASSERT_TRUE(Open(reg, L"\\One\\Two"));
    EXPECT_EQ(write(), ERROR_ACCESS_DENIED);
    DWORD type = 0, read = 0, size = 4;
    ASSERT_TRUE(reg.QueryValue(L"d", &type, &read, &size));
    EXPECT_EQ(type + read + size, REG_DWORD + value + 4);
    std::wstring out;
    // Braces evaluate in order: the status after the read.
    const auto readString = [&](const wchar_t* name) { return std::pair{reg.GetString(name, out), reg.Status()}; };
    EXPECT_EQ(readString(L"missing"), std::pair(false, LONG{ERROR_FILE_NOT_FOUND}));
    EXPECT_EQ(readString(L"d"), std::pair(false, LONG{ERROR_SUCCESS})) << "not a string";
    // A failing open makes no new handle, so the old handle's value cannot have been reused.
    const HKEY held = reg.Key();
    EXPECT_FALSE(Open(reg, L"\\Missing"));
    EXPECT_FALSE(Usable(held));
    EXPECT_TRUE(reg.Key() == nullptr && !reg.IsOpen());
    EXPECT_EQ(readString(L"d"), std::pair(false, LONG{ERROR_INVALID_HANDLE})) << "nothing held: the handle fails";
    ASSERT_TRUE(Open(reg));
    const HKEY again = reg.Key();
    reg.Close();
    EXPECT_FALSE(Usable(again) || reg.IsOpen());
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
    ASSERT_TRUE(::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", L"C:\\Expanded"));
    const BYTE other[8] = {'a', 0, 'b', 0};
    // Exactly the counted bytes are stored: no terminator, or an odd size that cut the last character.
    const struct { DWORD type; const void* data; DWORD size; const wchar_t* name; const wchar_t* expected; } rows[] = {
        {REG_SZ, L"plain text", 22, L"s", L"plain text"}, {REG_SZ, L"abcdX", 8, L"s", L"abcd"},
        {REG_SZ, L"abcdX", 7, L"s", L"abcd"}, {REG_SZ, L"", 0, L"s", L""}, {REG_SZ, L"default", 16, L"", L"default"},
        {REG_EXPAND_SZ, L"%LINEAGE_REGISTRY_TEST%\\f", 52, L"s", L"C:\\Expanded\\f"},
        {REG_EXPAND_SZ, L"<%LINEAGE_REGISTRY_TEST%>X", 50, L"s", L"<C:\\Expanded>"},
        {REG_BINARY, other, 6, L"s", nullptr}, {REG_MULTI_SZ, other, 8, L"s", nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << ", " << row.size << " bytes");
        Set(HKEY_CURRENT_USER, m_path, *row.name ? row.name : nullptr, row.type, row.data, row.size);
        ASSERT_TRUE(Open(reg));
        out = L"untouched";
        EXPECT_EQ(reg.GetString(row.name, out), row.expected != nullptr);
        EXPECT_EQ(out, row.expected ? row.expected : L"untouched");
    }
    ::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", nullptr);
}

constexpr wchar_t kProductKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
const std::wstring kVaults = std::wstring(kProductKey) + L"\\Vaults";
constexpr wchar_t kVault[] = L"Lineage Test Vault";

// Both roots lead into the test's own key, where the product starts installed for the machine.
class SettingsLightTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        for (auto [root, key] : {std::pair{HKEY_CURRENT_USER, &m_user}, {HKEY_LOCAL_MACHINE, &m_machine}}) {
            const std::wstring path = m_path + (root == HKEY_CURRENT_USER ? L"\\User" : L"\\Machine");
            ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        key->put(), nullptr), ERROR_SUCCESS);
            ASSERT_EQ(::RegOverridePredefKey(root, key->get()), ERROR_SUCCESS);
        }
        Set(HKEY_LOCAL_MACHINE, kProductKey, L"", REG_SZ, L"", 2);
    }
    void TearDown() override {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegistryTest::TearDown();
    }
    static void Store(const wchar_t* vault, DWORD type, const void* data, DWORD size) {
        Set(HKEY_CURRENT_USER, kVaults + L"\\" + vault, L"DateFmt", type, data, size);
    }
    ScopedHKEY m_user, m_machine;
};

TEST_F(SettingsLightTest, ReadsOnlyFourByteDwordsAndMissingKeysValuesOrNamesGiveZero) {
    EXPECT_EQ(SettingsLight().GetDateFmt(L""), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey)) << "the empty name touches nothing";
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaults)) << "a read creates no vault keys";
    Store(L"Another Vault", REG_DWORD, "\x67\0\0\0", 4);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u) << "no key of its own";
    Set(HKEY_CURRENT_USER, kVaults + L"\\" + kVault, L"Other", REG_DWORD, "\x67\0\0\0", 4);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u) << "a key without the value";
    EXPECT_EQ(SettingsLight().GetDateFmt(L"Another Vault"), 103u);
    // Were the empty name used as a key name, it would name "Vaults" itself and find this value.
    Set(HKEY_CURRENT_USER, kVaults, L"DateFmt", REG_DWORD, "\x67\0\0\0", 4);
    EXPECT_EQ(SettingsLight().GetDateFmt(L"") + SettingsLight().GetDateFmt(nullptr), 0u);
    const struct { DWORD type; BYTE bytes[8]; DWORD size; DWORD expected; } rows[] = {
        {REG_DWORD, {103}, 4, 103}, {REG_DWORD, {0x00, 0x28, 0x6B, 0xEE}, 4, 4000000000u},
        {REG_DWORD_BIG_ENDIAN, {1, 2, 3, 4}, 4, 0x01020304}, {REG_SZ, {'7'}, 4, 0}, {REG_BINARY, {103}, 4, 0},
        {REG_QWORD, {103}, 8, 0}, {REG_DWORD, {103}, 2, 0}, {REG_DWORD, {103}, 8, 0}, {REG_DWORD, {0}, 0, 0},
        {REG_DWORD_BIG_ENDIAN, {0, 0, 0x65}, 3, 0}};
    for (const auto& row : rows) {
        Store(kVault, row.type, row.bytes, row.size);
        SettingsLight settings;
        EXPECT_EQ(settings.GetDateFmt(kVault), row.expected) << "type " << row.type << ", " << row.size << " bytes";
    }
    // Once proven, the machine's key is held; a new object sees the product gone. Values are read afresh.
    SettingsLight settings;
    ASSERT_EQ(settings.GetDateFmt(L"Another Vault"), 103u);
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey), ERROR_SUCCESS);
    Store(L"Another Vault", REG_DWORD, "\x05\0\0\0", 4);
    EXPECT_EQ(settings.GetDateFmt(L"Another Vault"), 5u);
    EXPECT_EQ(SettingsLight().GetDateFmt(L"Another Vault"), 0u);
}

double Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    double date = 0;
    EXPECT_TRUE(::SystemTimeToVariantTime(&st, &date));
    return date;
}

TEST(FormatDate, EachFormatHasItsFixedLayoutAndUnconvertibleDatesPrintMinusOneFields) {
    const double example = 32104.6152314815;  // 23 November 1987 14:45:56
    const wchar_t* fallback = L"23 November 1987 14:45:56:000";
    const double d999 = Date(999, 3, 4, 5, 6, 7);
    const double unconvertible = -657435.0;  // the day before year 100
    const auto At = [](WORD hour, WORD minute = 0, WORD second = 0) {
        return Date(1987, 11, 23, hour, minute, second);
    };
    const struct { double date; DWORD fmt; const wchar_t* text; } rows[] = {
        {example, 0, L"Nov 23 1987 02:45 PM"}, {example, 100, L"Nov 23 1987 02:45 PM"},
        {example, 1, L"11/23/87 14:45:56"}, {example, 2, L"87.11.23 14:45:56"}, {example, 3, L"23/11/87 14:45:56"},
        {example, 4, L"23.11.87 14:45:56"}, {example, 5, L"23-11-87 14:45:56"}, {example, 6, L"23 Nov 87 14:45:56"},
        {example, 7, L"Nov 23, 87 14:45:56"}, {example, 10, L"11-23-87 14:45:56"}, {example, 12, L"871123 14:45:56"},
        {example, 11, L"87/11/23 14:45:56"}, {example, 101, L"11/23/1987 14:45:56"}, {example, 113, fallback},
        {example, 102, L"1987.11.23 14:45:56"}, {example, 103, L"23/11/1987 14:45:56"}, {example, 8, fallback},
        {example, 104, L"23.11.1987 14:45:56"}, {example, 105, L"23-11-1987 14:45:56"}, {example, 99, fallback},
        {example, 106, L"23 Nov 1987 14:45:56"}, {example, 107, L"Nov 23, 1987 14:45:56"}, {example, 108, fallback},
        {example, 109, L"Nov 23 1987 02:45:56:000 PM"}, {example, 110, L"11-23-1987 14:45:56"},
        {example, 111, L"1987/11/23 14:45:56"}, {example, 112, L"19871123 14:45:56"}, {example, 0xFFFFFFFF, fallback},
        {example, 120, L"1987-11-23 14:45:56"}, {example, 121, L"1987-11-23 14:45:56.000"},
        // Hours 0 to 12 keep their number and "AM"; only 13 to 23 become "PM".
        {At(12, 30, 7), 0, L"Nov 23 1987 12:30 AM"}, {At(0, 5), 0, L"Nov 23 1987 00:05 AM"},
        {At(13), 0, L"Nov 23 1987 01:00 PM"}, {At(12, 30, 7), 109, L"Nov 23 1987 12:30:07:000 AM"},
        {At(13, 0, 7), 109, L"Nov 23 1987 01:00:07:000 PM"}, {At(0, 5, 9), 103, L"23/11/1987 00:05:09"},
        {d999, 101, L"03/04/0999 05:06:07"},
        {d999, 1, L"03/04/99 05:06:07"}, {Date(2005, 1, 2, 3, 4, 5), 1, L"01/02/05 03:04:05"},
        {0.0, 0, L"false: before"}, {-0.0, 103, L"false: before"},
        // Every numeric field prints -1 (as its width asks), the suffix is "AM", month names are empty.
        {unconvertible, 0, L" -1 -001 -1:-1 AM"}, {unconvertible, 1, L"-1/-1/-1 -1:-1:-1"},
        {unconvertible, 6, L"-1  -1 -1:-1:-1"}, {unconvertible, 113, L"-1  -001 -1:-1:-1:000"}};
    for (const auto& row : rows) {
        Str text;
        text.Format(L"%ls", L"before");
        const bool formatted = FormatDate(text, row.date, row.fmt);
        EXPECT_EQ((formatted ? L"" : L"false: ") + text.Text(), row.text) << "format " << row.fmt << " of " << row.date;
    }
    EXPECT_EQ(MonthAbbreviation(unconvertible) + MonthName(unconvertible), L"");
    EXPECT_EQ(TwoDigitYear(unconvertible), -1);
    const wchar_t* full[] = {L"January", L"February", L"March", L"April", L"May", L"June", L"July", L"August",
                             L"September", L"October", L"November", L"December"};
    for (WORD month = 1; month <= 12; ++month)
        EXPECT_EQ(MonthName(Date(2001, month, 15)) + MonthAbbreviation(Date(2001, month, 15)),
                  full[month - 1] + std::wstring(full[month - 1], 3));
    // The texts go through the Windows' printf: %s and %S name wide and narrow strings as there.
    Str s;
    s.Format(L"%ls", L"first text");
    s.Format(L"[%s] [%S] [%hs] %04d <%ls>", L"November", "January", "Feb", -1, std::wstring(10000, L'y').c_str());
    EXPECT_EQ(s.Text(), L"[November] [January] [Feb] -001 <" + std::wstring(10000, L'y') + L">");
}

}  // namespace
