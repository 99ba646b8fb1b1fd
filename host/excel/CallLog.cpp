#include "CallLog.h"

#include <cstdio>
#include <vector>

#include "base/ScopedHandle.h"

namespace CallLog {

std::wstring Setting(const wchar_t* name) {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(n < needed ? n : 0);
    return value;
}

bool ShouldFail(const wchar_t* call) {
    return Setting(L"LINEAGE_EXCEL_FAIL") == call;
}

void Write(const std::wstring& line) {
    const std::wstring path = Setting(L"LINEAGE_EXCEL_LOG");
    if (path.empty()) return;
    const std::wstring text = line + L"\n";
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes,
                          nullptr, nullptr);
    ScopedFileHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

namespace {

std::wstring TypeName(VARTYPE vt) {
    std::wstring prefix;
    if (vt & VT_ARRAY) prefix = L"VT_ARRAY|";
    if (vt & VT_BYREF) prefix += L"VT_BYREF|";
    switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: return prefix + L"VT_EMPTY";
    case VT_NULL: return prefix + L"VT_NULL";
    case VT_I2: return prefix + L"VT_I2";
    case VT_I4: return prefix + L"VT_I4";
    case VT_INT: return prefix + L"VT_INT";
    case VT_UI2: return prefix + L"VT_UI2";
    case VT_BSTR: return prefix + L"VT_BSTR";
    case VT_BOOL: return prefix + L"VT_BOOL";
    case VT_ERROR: return prefix + L"VT_ERROR";
    case VT_DISPATCH: return prefix + L"VT_DISPATCH";
    case VT_VARIANT: return prefix + L"VT_VARIANT";
    default: return prefix + L"VT_" + std::to_wstring(vt & VT_TYPEMASK);
    }
}

std::wstring DescribeArray(const VARIANT& value) {
    SAFEARRAY* array = value.parray;
    if (!array) return L" null";
    const UINT dims = ::SafeArrayGetDim(array);
    std::wstring text = L" ";
    std::vector<LONG> lower(dims), upper(dims);
    for (UINT d = 0; d < dims; ++d) {
        ::SafeArrayGetLBound(array, d + 1, &lower[d]);
        ::SafeArrayGetUBound(array, d + 1, &upper[d]);
        if (d) text += L'x';
        text += std::to_wstring(upper[d] - lower[d] + 1);
    }
    if ((value.vt & VT_TYPEMASK) != VT_I4 || dims == 0) return text;
    // Every element in order, the last dimension running fastest.
    std::vector<LONG> index(lower);
    for (;;) {
        LONG element = 0;
        if (FAILED(::SafeArrayGetElement(array, index.data(), &element))) return text + L" ?";
        text += L' ' + std::to_wstring(element);
        UINT d = dims;
        while (d > 0 && index[d - 1] == upper[d - 1]) {
            index[d - 1] = lower[d - 1];
            --d;
        }
        if (d == 0) return text;
        ++index[d - 1];
    }
}

}  // namespace

std::wstring Describe(const VARIANT& value) {
    std::wstring text = TypeName(value.vt);
    if (value.vt & VT_ARRAY) return text + DescribeArray(value);
    wchar_t hex[16];
    switch (value.vt) {
    case VT_I2: return text + L' ' + std::to_wstring(value.iVal);
    case VT_I4: return text + L' ' + std::to_wstring(value.lVal);
    case VT_INT: return text + L' ' + std::to_wstring(value.intVal);
    case VT_BOOL: return text + L' ' + std::to_wstring(value.boolVal);
    case VT_BSTR: return text + L' ' + (value.bstrVal ? value.bstrVal : L"");
    case VT_ERROR:
        std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(value.scode));
        return text + L' ' + hex;
    default: return text;
    }
}

}  // namespace CallLog
