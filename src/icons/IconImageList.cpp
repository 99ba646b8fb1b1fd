#include "icons/IconImageList.h"

bool IconImageList::Adopt(HIMAGELIST list) {
    if (!Attach(list))
        return false;
    m_count = ::ImageList_GetImageCount(list);
    for (int i = 0; i < m_count; ++i)
        m_slots[i] = i;
    return true;
}

int IconImageList::PhysicalSlot(int logical) const {
    const auto found = m_slots.find(logical);
    return found == m_slots.end() ? logical : found->second;
}

int IconImageList::TakeFreeSlot() {
    if (m_freeSlots.empty())
        return -1;
    const int slot = m_freeSlots.front();
    m_freeSlots.pop_front();
    return slot;
}

int IconImageList::RecordSlot(int physical) {
    m_slots[m_count] = physical;
    return m_count++;
}

bool IconImageList::ReturnSlot(int logical) {
    const auto found = m_slots.find(logical);
    if (found == m_slots.end() || found->second < 0)
        return false;
    m_freeSlots.push_back(found->second);
    found->second = -1;
    return true;
}
