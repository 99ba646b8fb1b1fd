#pragma once
#include "toolkit/UIObject.h"

namespace BFC {

// One item of a group: the element, the space after it and the row it is laid out in.
class GrpItem : public RefObj {
public:
    explicit GrpItem(RefPtr<UIObject> element) noexcept : element(std::move(element)) {}

    RefPtr<UIObject> element;
    int gap = 3;
    int row = 0;
};

} // namespace BFC
