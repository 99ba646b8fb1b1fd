#include "toolkit/Callback.h"
#include "toolkit/UIObject.h"

namespace BFC {

// The source element and the points are not used; the by-value source is released on return.
void Callback::Invoke(RefPtr<UIObject>, int, int, HWND target, int, int) {
    ++invokeCount;
    ::PostMessageW(target, WM_COMMAND, static_cast<WPARAM>(static_cast<INT_PTR>(commandId)), 0);
}

} // namespace BFC
