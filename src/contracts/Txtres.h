#pragma once
// What the module uses of the host's translated-text and window-state service, Txtres.dll.
#include <windows.h>
#include <string>
#include "base/Geometry.h"

#ifdef TXTRES_BUILD
#define TXTRES_API __declspec(dllexport)
#else
#define TXTRES_API __declspec(dllimport)
#endif

// Translation of string `id` of `file`, or `defaultText`. Valid until the next call: copy it.
TXTRES_API const wchar_t* TSS_internal(unsigned id, const wchar_t* kind, const wchar_t* file,
                                       const wchar_t* defaultText);
TXTRES_API void gvPushDefaultFile(const wchar_t* file);

// TSS_internal copied out at once, and the default when the service answers nothing.
inline std::wstring TssText(unsigned id, const wchar_t* kind, const wchar_t* file, const wchar_t* defaultText) {
    const wchar_t* text = TSS_internal(id, kind, file, defaultText);
    return text ? text : (defaultText ? defaultText : L"");
}
TXTRES_API void gvPopDefaultFile();

// Anchors for mvFixCtrl: which edges of the dialog a control's edges follow.
namespace StrWndAnchor {
constexpr int Left = 1, Top = 2, Right = 4, Bottom = 8;
constexpr int TopLeft = Left | Top;                       // 3
constexpr int TopRight = Top | Right;                     // 6
constexpr int BottomRight = Right | Bottom;               // 12
constexpr int Stretch = Left | Top | Right | Bottom;      // 15
}

// Window-state companion of a dialog: anchored layout, remembered sizes, rectangle tooltips.
class TXTRES_API StrWnd {
public:
    StrWnd();
    StrWnd(const StrWnd&) = delete;
    StrWnd& operator=(const StrWnd&) = delete;
    virtual ~StrWnd();
    virtual bool mbGetHelpString(unsigned id, std::wstring& text);
    virtual void mvMsgBox(const wchar_t* format, ...);
    virtual bool mbPermitToolTip(unsigned id, std::wstring& text);
    virtual void mvDeInitialize();

    bool mbInitStrWnd(HWND wnd, const wchar_t* name, bool remember, const wchar_t* helpFile,
                      const wchar_t* helpContext, const wchar_t* reserved);
    void mvFixCtrl(unsigned ctrlId, int anchors);
    void mvUpdateFixedCtrls();
    CRect moGetCtrlPos(unsigned ctrlId);
    void mvFlushWindowSize(bool save);
    void mvFlushColumnSizes(unsigned listId, bool save, int columnCount, const wchar_t* key);
    bool mbAddToolTip(HWND wnd, unsigned id, CRect& rect, const wchar_t* text);
    bool mbRemoveRectToolTip(HWND wnd, unsigned id);

private:
    struct Impl;
    Impl* m_impl;
};
