#include "settings/SettingsLight.h"

namespace {

constexpr wchar_t kProductKey[] = L"Software\\Brightfold\\Applications\\Ledgerix Enterprise";
constexpr wchar_t kVaultsKey[] = L"Vaults";
constexpr wchar_t kDateFmtValue[] = L"DateFmt";

}  // namespace

DWORD SettingsLight::GetDateFmt(const wchar_t* vaultName) {
    if (!vaultName || !*vaultName)
        return 0;

    // The machine-wide key only proves the product is installed; nothing is read from it.
    if (!m_machineProduct.IsOpen())
        (void)m_machineProduct.Open(HKEY_LOCAL_MACHINE, kProductKey, Registry::kRead, false);
    if (!m_userProduct.IsOpen())
        (void)m_userProduct.Open(HKEY_CURRENT_USER, kProductKey, Registry::kReadWrite, true);
    if (!m_machineProduct.IsOpen() || !m_userProduct.IsOpen())
        return 0;

    Registry vault;
    {
        Registry vaults;
        if (!vaults.Open(m_userProduct.Key(), kVaultsKey, Registry::kReadWrite, false))
            return 0;
        if (!vault.Open(vaults.Key(), vaultName, Registry::kReadWrite, false))
            return 0;
    }

    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!vault.QueryValue(kDateFmtValue, &type, nullptr, &size) || size != sizeof(DWORD))
        return 0;
    if (type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN)
        return 0;

    DWORD value = 0;
    size = sizeof(value);
    if (!vault.QueryValue(kDateFmtValue, &type, &value, &size) || size != sizeof(value))
        return 0;
    if (type == REG_DWORD)
        return value;
    if (type == REG_DWORD_BIG_ENDIAN)
        return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) | (value >> 24);
    return 0;
}
