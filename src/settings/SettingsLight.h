#pragma once
// The host product's per-vault display settings, read from the current user's product key.
#include <windows.h>
#include "settings/Registry.h"

class SettingsLight {
public:
    SettingsLight() noexcept = default;
    SettingsLight(const SettingsLight&) = delete;
    SettingsLight& operator=(const SettingsLight&) = delete;
    ~SettingsLight() = default;

    // The vault's "DateFmt" value; 0 (the default display format) when the name is null or
    // empty, the product is not installed for the machine, or the value is missing or is not a
    // 4-byte REG_DWORD / REG_DWORD_BIG_ENDIAN. Creates the user's product key when it is missing.
    [[nodiscard]] DWORD GetDateFmt(const wchar_t* vaultName);

private:
    // Both opened on first use and kept open for later questions.
    Registry m_userProduct;
    Registry m_machineProduct;
};
