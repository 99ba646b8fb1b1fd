#pragma once
#include <windows.h>
#include "toolkit/RefPtr.h"

namespace BFC {

class UIObject;

// The command attached to an element: invoking it posts WM_COMMAND to the target window.
class Callback : public RefObj {
public:
    explicit Callback(int commandId) noexcept : commandId(commandId) {}

    // Counts the invocation, then posts the command (a failed post is not retried).
    virtual void Invoke(RefPtr<UIObject> source, int originX, int originY, HWND target, int x, int y);
    virtual bool KeepsMouseCapture() const { return false; }
    virtual bool IsDisabled() const { return disabled; }
    virtual bool IsVisible() const { return visible; }

    bool disabled = false;
    bool visible = true;
    uint32_t invokeCount = 0;
    int commandId;
};

} // namespace BFC
