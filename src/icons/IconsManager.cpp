#include "icons/IconsManager.h"
#include "icons/WorkflowIcons.h"

IconsManager* IconsManager::Instance() {
    static IconsManager* const instance = [] {
        auto* manager = new IconsManager;
        manager->AddRef();  // the process's own reference, never released
        return manager;
    }();
    return instance;
}

IconsManager::~IconsManager() {
    for (const auto& entry : m_icons)
        if (entry.second)
            ::DestroyIcon(entry.second);
}

HICON IconsManager::GetIcon(uint32_t number, const wchar_t* pngName, int useType) {
    if (HICON known = FindIcon(number))
        return known;
    HICON loaded = pngName && *pngName ? LoadWfPngIcon(pngName, useType) : nullptr;
    // Nothing but a null record can be there now, and a null record owns nothing.
    (void)StoreIcon(number, loaded);
    return loaded;
}

HICON IconsManager::FindIcon(uint32_t number) const {
    const auto found = m_icons.find(number);
    return found == m_icons.end() ? nullptr : found->second;
}

bool IconsManager::StoreIcon(uint32_t number, HICON icon) {
    HICON& slot = m_icons[number];
    if (slot)
        return slot == icon;
    slot = icon;
    return true;
}
