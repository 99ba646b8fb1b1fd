#pragma once
#include <list>
#include <map>
#include "icons/ImageListXP.h"

// One image list of the icon cache: logical indices, which name one picture in every size, map
// to physical slots of this list. Slots given back are reused from the head of the free list.
class IconImageList : public ImageListXP {
public:
    IconImageList() = default;
    ~IconImageList() override = default;

    // Takes `list`: each image it already holds becomes the logical index of the same number.
    // False (and nothing taken) when the wrapper already holds a list or `list` is null.
    [[nodiscard]] bool Adopt(HIMAGELIST list);

    // Logical indices 0 to LogicalCount() - 1 have a slot (or had one, given back since).
    int LogicalCount() const noexcept { return m_count; }
    // The slot of `logical`: -1 once it was given back; an index never recorded names the slot
    // of the same number.
    int PhysicalSlot(int logical) const;
    // Takes the slot at the head of the free list; -1 when none is free.
    int TakeFreeSlot();
    // Gives the next logical index (LogicalCount()) the slot `physical` and answers that index.
    int RecordSlot(int physical);
    // Gives the slot of `logical` back for reuse; false when it has none to give.
    bool ReturnSlot(int logical);

private:
    std::map<int, int> m_slots;
    std::list<int> m_freeSlots;
    int m_count = 0;
};
