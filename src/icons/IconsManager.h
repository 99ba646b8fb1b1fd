#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include "toolkit/RefObj.h"

// The process's workflow pictures by number. Every icon it hands out stays its own: callers never
// destroy one. Used from the UI thread only.
class IconsManager : public RefObj {
public:
    // Made on first call and never released.
    static IconsManager* Instance();

    // The icon recorded under `number`; otherwise the PNG picture `pngName` of the workflow library
    // for `useType`, recorded under `number` whatever the load gave, so that a number whose load
    // gave nothing answers null without loading again when asked without a name.
    HICON GetIcon(uint32_t number, const wchar_t* pngName, int useType);
    // Null when nothing (or nothing but a failed load) is recorded under `number`.
    HICON FindIcon(uint32_t number) const;
    // Records `icon` under `number`, which then belongs to the manager. False when another icon
    // is already recorded there: `icon` then stays the caller's.
    [[nodiscard]] bool StoreIcon(uint32_t number, HICON icon);

    IconsManager(const IconsManager&) = delete;
    IconsManager& operator=(const IconsManager&) = delete;

private:
    IconsManager() = default;
    ~IconsManager() override;

    std::map<uint32_t, HICON> m_icons;
};
