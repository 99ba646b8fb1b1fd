#include "toolkit/Callback.h"
#include "toolkit/UIObject.h"

namespace BFC {

void Callback::Invoke(RefPtr<UIObject> source, int, int, HWND target, int, int) {
    ++invokeCount;
    ::PostMessageW(target, WM_COMMAND, static_cast<WPARAM>(static_cast<INT_PTR>(commandId)), 0);
    source = nullptr;
}

} // namespace BFC
