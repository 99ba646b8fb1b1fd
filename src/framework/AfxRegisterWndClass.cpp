#include "framework/AfxRegisterWndClass.h"
#include <cwchar>

HINSTANCE AfxClassInstance() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&AfxClassInstance), &module);
    return module;
}

std::wstring AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    HINSTANCE instance = AfxClassInstance();
    wchar_t name[96] = {};
    std::swprintf(name, 96, L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    WNDCLASSW existing{};
    if (::GetClassInfoW(instance, name, &existing))
        return name;
    WNDCLASSW cls{};
    cls.style = classStyle;
    cls.lpfnWndProc = ::DefWindowProcW;
    cls.hInstance = instance;
    cls.hIcon = icon;
    cls.hCursor = cursor;
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    if (!::RegisterClassW(&cls))
        return {};
    return name;
}
