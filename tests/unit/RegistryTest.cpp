// The registry wrapper, the per-vault date format read through it, and the string it formats into.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "settings/Registry.h"
#include "settings/SettingsLight.h"
#include "settings/Str.h"

namespace {

bool Usable(HKEY key) {
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    ScopedHKEY key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(::RegSetKeyValueW(root, path.c_str(), name, type, data, size), ERROR_SUCCESS);
    ScopedHKEY key;
    DWORD storedSize = 0;
    ASSERT_EQ(::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()), ERROR_SUCCESS);
    ASSERT_EQ(::RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, &storedSize), ERROR_SUCCESS);
    ASSERT_EQ(storedSize, size) << "the registry changed the stored size";
}

// A key of this test and process alone under the current user, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }
    void TearDown() override { (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }
    bool Open(Registry& reg, const std::wstring& sub = L"", REGSAM access = Registry::kRead, bool create = false) {
        return reg.Open(HKEY_CURRENT_USER, (m_path + sub).c_str(), access, create);
    }
    const std::wstring m_path = L"Software\\LineageTests\\Registry-" + std::to_wstring(::GetCurrentProcessId());
};

TEST_F(RegistryTest, OpensWithTheAskedAccessAndHoldsNothingAfterAFailure) {
    Registry reg;
    EXPECT_FALSE(Open(reg, L"\\One", Registry::kReadWrite));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, m_path)) << "without create nothing is made";
    ASSERT_TRUE(Open(reg, L"\\One\\Two", Registry::kReadWrite, true));
    EXPECT_TRUE(reg.IsOpen() && KeyExists(HKEY_CURRENT_USER, m_path + L"\\One\\Two"));
    const DWORD one = 1;
    EXPECT_EQ(::RegSetValueExW(reg.Key(), L"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
    ASSERT_TRUE(Open(reg, L"\\One\\Two"));
    EXPECT_EQ(::RegSetValueExW(reg.Key(), L"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_ACCESS_DENIED);

    // A failing open makes no new handle, so the old handle's value cannot have been reused.
    const HKEY held = reg.Key();
    EXPECT_FALSE(Open(reg, L"\\Missing"));
    EXPECT_FALSE(Usable(held));
    EXPECT_TRUE(reg.Key() == nullptr && !reg.IsOpen());
    ASSERT_TRUE(Open(reg));
    const HKEY again = reg.Key();
    reg.Close();
    EXPECT_FALSE(Usable(again) || reg.IsOpen());
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, GetStringReadsStringsWholeAndRefusesOtherTypes) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", L"C:\\Expanded"));
    const BYTE other[8] = {'a', 0, 'b', 0};
    // The character after the counted bytes is not zero, so the registry stores exactly what is
    // counted: no terminator, or an odd size whose last character lost its high (zero) byte.
    const struct { DWORD type; const void* data; DWORD size; const wchar_t* name; const wchar_t* expected; } rows[] = {
        {REG_SZ, L"plain text", 22, L"s", L"plain text"}, {REG_SZ, L"abcdX", 8, L"s", L"abcd"},
        {REG_SZ, L"abcdX", 7, L"s", L"abcd"}, {REG_SZ, L"", 0, L"s", L""}, {REG_SZ, L"default", 16, L"", L"default"},
        {REG_EXPAND_SZ, L"%LINEAGE_REGISTRY_TEST%\\f", 52, L"s", L"C:\\Expanded\\f"},
        {REG_EXPAND_SZ, L"<%LINEAGE_REGISTRY_TEST%>X", 50, L"s", L"<C:\\Expanded>"},
        {REG_DWORD, other, 4, L"s", nullptr}, {REG_BINARY, other, 6, L"s", nullptr},
        {REG_QWORD, other, 8, L"s", nullptr}, {REG_MULTI_SZ, other, 8, L"s", nullptr}, {REG_NONE, other, 4, L"s", nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << ", " << row.size << " bytes");
        SetValue(HKEY_CURRENT_USER, m_path, *row.name ? row.name : nullptr, row.type, row.data, row.size);
        Registry reg;
        ASSERT_TRUE(Open(reg));
        std::wstring out = L"untouched";
        EXPECT_EQ(reg.GetString(row.name, out), row.expected != nullptr);
        EXPECT_EQ(out, row.expected ? row.expected : L"untouched");
    }
    ::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", nullptr);
}

TEST_F(RegistryTest, StatusKeepsTheLastCallsResult) {
    const DWORD value = 0x01020304;
    SetValue(HKEY_CURRENT_USER, m_path, L"d", REG_DWORD, &value, 4);
    SetValue(HKEY_CURRENT_USER, m_path, L"s", REG_SZ, L"x", 4);
    Registry reg;
    ASSERT_TRUE(Open(reg));
    std::wstring out;
    EXPECT_FALSE(reg.GetString(L"missing", out));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(reg.GetString(L"s", out));
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
    DWORD type = 0, read = 0, size = 4;
    ASSERT_TRUE(reg.QueryValue(L"d", &type, &read, &size));
    EXPECT_EQ(type + read + size, REG_DWORD + value + 4);
    EXPECT_FALSE(reg.QueryValue(L"missing", nullptr, nullptr, nullptr));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Open(reg, L"\\Missing"));
    EXPECT_FALSE(reg.GetString(L"s", out)) << "nothing is held: the read fails on the handle itself";
    EXPECT_EQ(reg.Status(), ERROR_INVALID_HANDLE);
    ASSERT_TRUE(Open(reg));
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
}

constexpr wchar_t kVendorKey[] = L"Software\\Brightfold";
constexpr wchar_t kProductKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
const std::wstring kVaults = std::wstring(kProductKey) + L"\\Vaults";
constexpr wchar_t kVault[] = L"Lineage Test Vault";

// Sets the vendor's tree aside and puts it back as it was, including its absence.
class SavedTree {
public:
    SavedTree(HKEY root, const wchar_t* copy) : m_root(root), m_copy(std::wstring(L"Software\\LineageTests\\") + copy) {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_copy.c_str());
        m_existed = Copy(m_root, kVendorKey, HKEY_CURRENT_USER, m_copy.c_str());
    }
    ~SavedTree() {
        (void)::RegDeleteTreeW(m_root, kVendorKey);
        EXPECT_TRUE(!m_existed || Copy(HKEY_CURRENT_USER, m_copy.c_str(), m_root, kVendorKey));
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_copy.c_str());
    }

private:
    static bool Copy(HKEY fromRoot, const wchar_t* from, HKEY toRoot, const wchar_t* to) {
        ScopedHKEY source, target;
        return ::RegOpenKeyExW(fromRoot, from, 0, KEY_READ, source.put()) == ERROR_SUCCESS &&
               ::RegCreateKeyExW(toRoot, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.put(), nullptr) ==
                   ERROR_SUCCESS &&
               ::RegCopyTreeW(source.get(), nullptr, target.get()) == ERROR_SUCCESS;
    }
    HKEY m_root;
    std::wstring m_copy;
    bool m_existed = false;
};

// Every test starts with the product installed for the machine (an empty key: it only has to
// exist) and no value for kVault.
class SettingsLightTest : public ::testing::Test {
protected:
    void SetUp() override {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, (kVaults + L"\\" + kVault).c_str());
        (void)::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
        ScopedHKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr), ERROR_SUCCESS);
    }
    static void Store(const wchar_t* vault, DWORD type, const void* data, DWORD size) {
        SetValue(HKEY_CURRENT_USER, kVaults + L"\\" + vault, L"DateFmt", type, data, size);
    }
    static void StoreDword(const wchar_t* vault, DWORD value) { Store(vault, REG_DWORD, &value, 4); }
    SavedTree m_user{HKEY_CURRENT_USER, L"SavedUser"}, m_machine{HKEY_LOCAL_MACHINE, L"SavedMachine"};
};

TEST_F(SettingsLightTest, ReadsOnlyFourByteDwords) {
    const struct { DWORD type; BYTE bytes[8]; DWORD size; DWORD expected; } rows[] = {
        {REG_DWORD, {103}, 4, 103}, {REG_DWORD, {0x00, 0x28, 0x6B, 0xEE}, 4, 4000000000u},
        {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 0x65}, 4, 101}, {REG_DWORD_BIG_ENDIAN, {1, 2, 3, 4}, 4, 0x01020304},
        {REG_SZ, {'1', 0, '0', 0, '3', 0}, 8, 0}, {REG_SZ, {'7'}, 4, 0}, {REG_EXPAND_SZ, {'7'}, 4, 0},
        {REG_BINARY, {103}, 4, 0}, {REG_QWORD, {103}, 8, 0}, {REG_NONE, {103}, 4, 0}, {REG_DWORD, {103}, 2, 0},
        {REG_DWORD, {103}, 8, 0}, {REG_DWORD, {0}, 0, 0}, {REG_DWORD_BIG_ENDIAN, {0, 0, 0x65}, 3, 0}};
    for (const auto& row : rows) {
        Store(kVault, row.type, row.bytes, row.size);
        SettingsLight settings;
        EXPECT_EQ(settings.GetDateFmt(kVault), row.expected) << "type " << row.type << ", " << row.size << " bytes";
    }
}

TEST_F(SettingsLightTest, MissingKeysOrValuesGiveZero) {
    StoreDword(L"Another Vault", 103);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u) << "no key of its own";
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (kVaults + L"\\" + kVault).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u) << "a key without the value";
    EXPECT_EQ(SettingsLight().GetDateFmt(L"Another Vault"), 103u);
    // Were the empty name used as a key name, it would name "Vaults" itself and find this value.
    SetValue(HKEY_CURRENT_USER, kVaults, L"DateFmt", REG_DWORD, "\x67\0\0\0", 4);
    EXPECT_EQ(SettingsLight().GetDateFmt(L"") + SettingsLight().GetDateFmt(nullptr), 0u);
    ASSERT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, kVaults.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaults)) << "a read creates no vault keys";
}

TEST_F(SettingsLightTest, TheUserProductKeyIsMadeByAReadWithAName) {
    (void)::RegDeleteTreeW(HKEY_CURRENT_USER, kVendorKey);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_EQ(SettingsLight().GetDateFmt(L""), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey)) << "the empty name touches nothing";
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaults));
}

TEST_F(SettingsLightTest, TheMachineWideProductKeyMustExistWhenFirstAsked) {
    StoreDword(kVault, 103);
    SettingsLight settings;
    ASSERT_EQ(settings.GetDateFmt(kVault), 103u);
    // Proven once, the key is held: its removal does not matter to this object, but a new one
    // sees the product as not installed. The value is read afresh each time.
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey), ERROR_SUCCESS);
    StoreDword(kVault, 5);
    EXPECT_EQ(settings.GetDateFmt(kVault), 5u);
    EXPECT_EQ(SettingsLight().GetDateFmt(kVault), 0u);
}

TEST(Str, FormatReadsStringsTheWindowsWayAndGrows) {
    Str s;
    s.Format(L"%ls", L"first text");
    s.Format(L"[%s] [%ls] [%S] [%hs] [%s] %04d", L"November", L"Dec", "January", "Feb", L"", -1);
    EXPECT_EQ(s.Text(), L"[November] [Dec] [January] [Feb] [] -001");
    EXPECT_STREQ(s.c_str(), s.Text().c_str());
    for (size_t n : {120, 127, 128, 129, 135, 10000}) {  // around the first buffer, and far beyond it
        const std::wstring text(n, L'y');
        s.Format(L"<%ls>%d", text.c_str(), 42);
        EXPECT_EQ(s.Text(), L"<" + text + L">42") << n;
    }
}

}  // namespace
