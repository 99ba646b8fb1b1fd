#include <gtest/gtest.h>
#include <windows.h>
#include <ostream>
#include <string>
#include "base/ScopedHandle.h"
#include "settings/SettingsLight.h"

namespace {

constexpr wchar_t kVendorKey[] = L"Software\\Brightfold";
constexpr wchar_t kProductKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
constexpr wchar_t kVaultsKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Vaults";
constexpr wchar_t kVault[] = L"Lineage Test Vault";

bool KeyExists(HKEY root, const std::wstring& path) {
    ScopedHKEY key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Sets the tree under root\path aside so that a test may change or delete it, and puts it back
// as it was, including its absence, when the test ends.
class KeySnapshot {
public:
    KeySnapshot(HKEY root, std::wstring path, std::wstring backup)
        : m_root(root), m_path(std::move(path)), m_backup(std::move(backup)) {
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_backup.c_str());
        ScopedHKEY original;
        m_existed = ::RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_READ, original.put()) == ERROR_SUCCESS;
        if (!m_existed)
            return;
        ScopedHKEY copy;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_backup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    copy.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegCopyTreeW(original.get(), nullptr, copy.get()), ERROR_SUCCESS);
    }
    KeySnapshot(const KeySnapshot&) = delete;
    KeySnapshot& operator=(const KeySnapshot&) = delete;
    ~KeySnapshot() {
        (void)::RegDeleteTreeW(m_root, m_path.c_str());
        EXPECT_FALSE(KeyExists(m_root, m_path));
        if (m_existed) {
            ScopedHKEY copy, original;
            EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, m_backup.c_str(), 0, KEY_READ, copy.put()), ERROR_SUCCESS);
            EXPECT_EQ(::RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        original.put(), nullptr),
                      ERROR_SUCCESS);
            EXPECT_EQ(::RegCopyTreeW(copy.get(), nullptr, original.get()), ERROR_SUCCESS);
        }
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_backup.c_str());
        (void)::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LineageTests");
    }

private:
    HKEY m_root;
    std::wstring m_path;
    std::wstring m_backup;
    bool m_existed = false;
};

std::wstring BackupPath(const wchar_t* hive) {
    return L"Software\\LineageTests\\Backup-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + hive;
}

// Every test starts with the product installed for the machine and the per-user tree as the
// prefix had it; whatever a test changes under the vendor's keys is undone afterwards.
class SettingsLightTest : public ::testing::Test {
protected:
    SettingsLightTest()
        : m_user(HKEY_CURRENT_USER, kVendorKey, BackupPath(L"HKCU")),
          m_machine(HKEY_LOCAL_MACHINE, kVendorKey, BackupPath(L"HKLM")) {}

    void SetUp() override {
        ScopedHKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kVaultsKey) + L"\\" + kVault).c_str());
    }

    static void StoreRaw(const std::wstring& keyPath, DWORD type, const void* data, DWORD size) {
        ScopedHKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), L"DateFmt", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        DWORD storedType = 0, storedSize = 0;
        ASSERT_EQ(::RegQueryValueExW(key.get(), L"DateFmt", nullptr, &storedType, nullptr, &storedSize),
                  ERROR_SUCCESS);
        ASSERT_EQ(storedType, type);
        ASSERT_EQ(storedSize, size);
    }

    static void StoreDateFmt(const wchar_t* vault, DWORD type, const void* data, DWORD size) {
        StoreRaw(std::wstring(kVaultsKey) + L"\\" + vault, type, data, size);
    }

    static void StoreDword(const wchar_t* vault, DWORD value) {
        StoreDateFmt(vault, REG_DWORD, &value, sizeof(value));
    }

    KeySnapshot m_user;
    KeySnapshot m_machine;
};

struct StoredValue {
    const char* name;
    DWORD type;
    BYTE bytes[8];
    DWORD size;
    DWORD expected;
};

void PrintTo(const StoredValue& v, std::ostream* os) { *os << v.name; }

class StoredDateFmt : public SettingsLightTest, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(StoredDateFmt, ReadsOnlyFourByteDwords) {
    const StoredValue& v = GetParam();
    StoreDateFmt(kVault, v.type, v.bytes, v.size);
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), v.expected);
}

INSTANTIATE_TEST_SUITE_P(SettingsLight, StoredDateFmt, ::testing::Values(
    StoredValue{"Dword", REG_DWORD, {103, 0, 0, 0}, 4, 103},
    StoredValue{"LargeDword", REG_DWORD, {0x00, 0x28, 0x6B, 0xEE}, 4, 4000000000u},
    StoredValue{"BigEndianDword", REG_DWORD_BIG_ENDIAN, {0x00, 0x00, 0x00, 0x65}, 4, 101},
    StoredValue{"BigEndianAllBytes", REG_DWORD_BIG_ENDIAN, {0x01, 0x02, 0x03, 0x04}, 4, 0x01020304},
    StoredValue{"String", REG_SZ, {'1', 0, '0', 0, '3', 0, 0, 0}, 8, 0},
    StoredValue{"FourByteString", REG_SZ, {'7', 0, 0, 0}, 4, 0},
    StoredValue{"ExpandableString", REG_EXPAND_SZ, {'7', 0, 0, 0}, 4, 0},
    StoredValue{"Binary", REG_BINARY, {103, 0, 0, 0}, 4, 0},
    StoredValue{"Qword", REG_QWORD, {103, 0, 0, 0, 0, 0, 0, 0}, 8, 0},
    StoredValue{"NoneType", REG_NONE, {103, 0, 0, 0}, 4, 0},
    StoredValue{"ShortDword", REG_DWORD, {103, 0}, 2, 0},
    StoredValue{"LongDword", REG_DWORD, {103, 0, 0, 0, 0, 0, 0, 0}, 8, 0},
    StoredValue{"EmptyDword", REG_DWORD, {0}, 0, 0},
    StoredValue{"ShortBigEndian", REG_DWORD_BIG_ENDIAN, {0, 0, 0x65}, 3, 0}),
    [](const ::testing::TestParamInfo<StoredValue>& info) { return std::string(info.param.name); });

TEST_F(SettingsLightTest, VaultKeyWithoutTheValueGivesZero) {
    StoreDword(L"Another Vault", 103);
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kVaultsKey) + L"\\" + kVault).c_str(), 0, nullptr,
                                0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 0u);
}

TEST_F(SettingsLightTest, VaultWithoutItsOwnKeyGivesZero) {
    StoreDword(L"Another Vault", 103);
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 0u);
    EXPECT_EQ(settings.GetDateFmt(L"Another Vault"), 103u);
}

TEST_F(SettingsLightTest, ProductWithoutVaultsKeyGivesZero) {
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                nullptr),
              ERROR_SUCCESS);
    (void)::RegDeleteTreeW(HKEY_CURRENT_USER, kVaultsKey);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaultsKey));
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaultsKey));
}

TEST_F(SettingsLightTest, WithoutTheMachineWideProductKeyTheUserValueIsIgnored) {
    StoreDword(kVault, 103);
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey), ERROR_SUCCESS);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 0u);
}

TEST_F(SettingsLightTest, MachineWideProductKeyOnlyHasToExist) {
    StoreDword(kVault, 103);
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey), ERROR_SUCCESS);
    ScopedHKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                nullptr),
              ERROR_SUCCESS);
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 103u);
}

TEST_F(SettingsLightTest, ReadingCreatesAMissingUserProductKey) {
    (void)::RegDeleteTreeW(HKEY_CURRENT_USER, kVendorKey);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(kVault), 0u);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    // Only the product key itself: the vault keys are never created by a read.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kVaultsKey));
}

TEST_F(SettingsLightTest, EmptyVaultNameGivesZeroWithoutTouchingTheRegistry) {
    // Were the empty name used as a key name, it would name "Vaults" itself and find this value.
    StoreRaw(kVaultsKey, REG_DWORD, "\x67\0\0\0", 4);
    SettingsLight settings;
    EXPECT_EQ(settings.GetDateFmt(L""), 0u);
    EXPECT_EQ(settings.GetDateFmt(nullptr), 0u);

    ASSERT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, kVendorKey), ERROR_SUCCESS);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    SettingsLight fresh;
    EXPECT_EQ(fresh.GetDateFmt(L""), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
}

TEST_F(SettingsLightTest, ProductKeysStayOpenWhileTheValueIsReadAfresh) {
    StoreDword(kVault, 103);
    SettingsLight settings;
    ASSERT_EQ(settings.GetDateFmt(kVault), 103u);

    // The machine-wide key was proven once and is held: removing it now does not matter to
    // this object, but a new one sees the product as not installed.
    ASSERT_EQ(::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey), ERROR_SUCCESS);
    StoreDword(kVault, 5);
    EXPECT_EQ(settings.GetDateFmt(kVault), 5u);
    SettingsLight fresh;
    EXPECT_EQ(fresh.GetDateFmt(kVault), 0u);
}

}  // namespace
