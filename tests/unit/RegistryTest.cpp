#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <ostream>
#include <string>
#include "settings/Registry.h"

namespace {

// Each test works under a key of its own in the current user's hive and removes it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = L"Software\\LineageTests\\Registry-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    m_key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        m_key.reset();
        (void)::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        // Fails, as it should, while other tests' keys remain.
        (void)::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LineageTests");
    }

    static std::wstring Widen(const char* s) { return std::wstring(s, s + strlen(s)); }

    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetValueExW(m_key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        DWORD storedType = 0, storedSize = 0;
        ASSERT_EQ(::RegQueryValueExW(m_key.get(), name, nullptr, &storedType, nullptr, &storedSize),
                  ERROR_SUCCESS);
        ASSERT_EQ(storedType, type);
        ASSERT_EQ(storedSize, size) << "the registry changed the stored size";
    }

    void OpenTestKey(Registry& reg, REGSAM access = Registry::kRead) {
        ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, m_path.c_str(), access, false)) << reg.Status();
    }

    std::wstring m_path;
    ScopedHKEY m_key;
};

TEST_F(RegistryTest, ReadWriteAccessAddsSetValueAndCreateSubKey) {
    EXPECT_EQ(Registry::kRead, 0x20019u);
    EXPECT_EQ(Registry::kReadWrite, 0x2001Fu);
}

TEST_F(RegistryTest, NewObjectHoldsNothingAndReportsSuccess) {
    Registry reg;
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_EQ(reg.Key(), nullptr);
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, OpeningAMissingKeyFailsWithItsStatusAndHoldsNothing) {
    Registry reg;
    EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, (m_path + L"\\Missing").c_str(), Registry::kRead, false));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_EQ(reg.Key(), nullptr);
}

TEST_F(RegistryTest, OpenWithCreateMakesMissingKeys) {
    const std::wstring deep = m_path + L"\\One\\Two";
    Registry reg;
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, deep.c_str(), Registry::kReadWrite, true));
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
    EXPECT_TRUE(reg.IsOpen());
    ScopedHKEY check;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, check.put()), ERROR_SUCCESS);
}

TEST_F(RegistryTest, OpenWithoutCreateLeavesMissingKeysMissing) {
    const std::wstring deep = m_path + L"\\One";
    Registry reg;
    EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, deep.c_str(), Registry::kReadWrite, false));
    ScopedHKEY check;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, check.put()), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, OpenedKeyHasTheRequestedAccess) {
    Registry readOnly;
    OpenTestKey(readOnly, Registry::kRead);
    const DWORD one = 1;
    EXPECT_EQ(::RegSetValueExW(readOnly.Key(), L"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_ACCESS_DENIED);

    Registry readWrite;
    OpenTestKey(readWrite, Registry::kReadWrite);
    EXPECT_EQ(::RegSetValueExW(readWrite.Key(), L"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
}

bool IsUsableKey(HKEY key) {
    DWORD subKeys = 0;
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TEST_F(RegistryTest, OpeningAgainClosesTheHeldKeyFirst) {
    Registry reg;
    OpenTestKey(reg);
    const HKEY first = reg.Key();
    ASSERT_TRUE(IsUsableKey(first));
    // A failing open makes no new handle, so the old handle's value cannot have been reused.
    EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, (m_path + L"\\Missing").c_str(), Registry::kRead, false));
    EXPECT_FALSE(IsUsableKey(first));
    EXPECT_EQ(reg.Key(), nullptr);
}

TEST_F(RegistryTest, CloseReleasesTheKeyAndKeepsItsStatus) {
    Registry reg;
    OpenTestKey(reg);
    const HKEY held = reg.Key();
    ASSERT_TRUE(IsUsableKey(held));
    reg.Close();
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_EQ(reg.Key(), nullptr);
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
    EXPECT_FALSE(IsUsableKey(held));
}

TEST_F(RegistryTest, ReadsAStringWithItsTerminator) {
    const wchar_t text[] = L"plain text";
    SetRaw(L"s", REG_SZ, text, sizeof(text));
    Registry reg;
    OpenTestKey(reg);
    std::wstring out;
    ASSERT_TRUE(reg.GetString(L"s", out));
    EXPECT_EQ(out, L"plain text");
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ReadsAStringStoredWithoutItsTerminatorOrOfOddByteSizeWhole) {
    // "X" after the counted bytes is not zero, so the registry stores exactly what is counted:
    // 8 bytes with no terminator, or 7 bytes whose last character lost its high (zero) byte.
    const wchar_t text[] = L"abcdX";
    for (DWORD bytes : {DWORD{4 * sizeof(wchar_t)}, DWORD{7}}) {
        SCOPED_TRACE(bytes);
        SetRaw(L"s", REG_SZ, text, bytes);
        Registry reg;
        OpenTestKey(reg);
        std::wstring out;
        ASSERT_TRUE(reg.GetString(L"s", out));
        EXPECT_EQ(out, L"abcd");
    }
}

TEST_F(RegistryTest, ReadsAnEmptyString) {
    SetRaw(L"s", REG_SZ, L"", 0);
    Registry reg;
    OpenTestKey(reg);
    std::wstring out = L"previous";
    ASSERT_TRUE(reg.GetString(L"s", out));
    EXPECT_EQ(out, L"");
}

TEST_F(RegistryTest, EmptyValueNameReadsTheDefaultValue) {
    const wchar_t text[] = L"default";
    SetRaw(nullptr, REG_SZ, text, sizeof(text));
    Registry reg;
    OpenTestKey(reg);
    std::wstring out;
    ASSERT_TRUE(reg.GetString(L"", out));
    EXPECT_EQ(out, L"default");
}

TEST_F(RegistryTest, ExpandableStringComesBackExpanded) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", L"C:\\Expanded"));
    const wchar_t text[] = L"%LINEAGE_REGISTRY_TEST%\\file.txt";
    SetRaw(L"e", REG_EXPAND_SZ, text, sizeof(text));
    Registry reg;
    OpenTestKey(reg);
    std::wstring out;
    ASSERT_TRUE(reg.GetString(L"e", out));
    EXPECT_EQ(out, L"C:\\Expanded\\file.txt");
    ::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", nullptr);
}

TEST_F(RegistryTest, ExpandableStringWithoutTerminatorIsExpandedWhole) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", L"value"));
    const wchar_t text[] = L"<%LINEAGE_REGISTRY_TEST%>X";
    SetRaw(L"e", REG_EXPAND_SZ, text, (sizeof(text) / sizeof(wchar_t) - 2) * sizeof(wchar_t));
    Registry reg;
    OpenTestKey(reg);
    std::wstring out;
    ASSERT_TRUE(reg.GetString(L"e", out));
    EXPECT_EQ(out, L"<value>");
    ::SetEnvironmentVariableW(L"LINEAGE_REGISTRY_TEST", nullptr);
}

struct OtherType {
    const char* name;
    DWORD type;
    DWORD size;
};

void PrintTo(const OtherType& t, std::ostream* os) { *os << t.name; }

class GetStringOfAnotherType : public RegistryTest, public ::testing::WithParamInterface<OtherType> {};

TEST_P(GetStringOfAnotherType, AnswersFalseAndLeavesTheTextAlone) {
    const BYTE data[8] = {'a', 0, 'b', 0, 0, 0, 0, 0};
    SetRaw(L"v", GetParam().type, data, GetParam().size);
    Registry reg;
    OpenTestKey(reg);
    std::wstring out = L"untouched";
    EXPECT_FALSE(reg.GetString(L"v", out));
    EXPECT_EQ(out, L"untouched");
}

INSTANTIATE_TEST_SUITE_P(Registry, GetStringOfAnotherType,
                         ::testing::Values(OtherType{"Dword", REG_DWORD, 4}, OtherType{"Binary", REG_BINARY, 6},
                                           OtherType{"Qword", REG_QWORD, 8}, OtherType{"MultiSz", REG_MULTI_SZ, 8},
                                           OtherType{"None", REG_NONE, 4}),
                         [](const ::testing::TestParamInfo<OtherType>& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, StatusKeepsTheLastCallsResult) {
    const wchar_t text[] = L"x";
    SetRaw(L"s", REG_SZ, text, sizeof(text));
    Registry reg;
    OpenTestKey(reg);
    std::wstring out;

    EXPECT_FALSE(reg.GetString(L"missing", out));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);

    EXPECT_TRUE(reg.GetString(L"s", out));
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);

    EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, (m_path + L"\\Missing").c_str(), Registry::kRead, false));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);

    // Nothing is held now: the read fails on the handle itself.
    EXPECT_FALSE(reg.GetString(L"s", out));
    EXPECT_EQ(reg.Status(), ERROR_INVALID_HANDLE);

    OpenTestKey(reg);
    EXPECT_EQ(reg.Status(), ERROR_SUCCESS);
}

TEST_F(RegistryTest, QueryValueReportsTypeAndSize) {
    const DWORD value = 0x01020304;
    SetRaw(L"d", REG_DWORD, &value, sizeof(value));
    Registry reg;
    OpenTestKey(reg);
    DWORD type = 0, size = 0;
    ASSERT_TRUE(reg.QueryValue(L"d", &type, nullptr, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    DWORD read = 0;
    size = sizeof(read);
    ASSERT_TRUE(reg.QueryValue(L"d", nullptr, &read, &size));
    EXPECT_EQ(read, value);
    EXPECT_FALSE(reg.QueryValue(L"missing", nullptr, nullptr, nullptr));
    EXPECT_EQ(reg.Status(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
