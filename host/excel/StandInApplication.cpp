#include "StandInApplication.h"

#include <iterator>
#include <string>

#include "CallLog.h"

const IID IID_ExcelApplication = {0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

enum : DISPID { kVersion = 1, kWorkbooks = 2, kVisible = 3, kOpenText = 10 };

// Workbooks.OpenText's parameters in the order of Excel's type library.
const wchar_t* const kOpenTextParameters[] = {
    L"Filename", L"Origin", L"StartRow", L"DataType", L"TextQualifier", L"ConsecutiveDelimiter",
    L"Tab", L"Semicolon", L"Comma", L"Space", L"Other", L"OtherChar", L"FieldInfo",
    L"TextVisualLayout", L"DecimalSeparator", L"ThousandsSeparator", L"TrailingMinusNumbers", L"Local"};

HRESULT AnswerString(VARIANT* result, const std::wstring& text) {
    if (!result) return S_OK;
    ::VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

std::wstring Flags(WORD flags) {
    if (flags & DISPATCH_PROPERTYPUT) return L"put";
    if (flags & DISPATCH_PROPERTYGET) return L"get";
    return L"call";
}

void CopyImportedFile(const VARIANT& fileName) {
    const std::wstring copy = CallLog::Setting(L"LINEAGE_EXCEL_COPY");
    if (copy.empty() || fileName.vt != VT_BSTR || !fileName.bstrVal) return;
    ::CopyFileW(fileName.bstrVal, copy.c_str(), FALSE);
}

}  // namespace

const DispatchObject::Member* StandInApplication::Members(size_t& count) const noexcept {
    static const Member members[] = {{L"Version", kVersion}, {L"Workbooks", kWorkbooks}, {L"Visible", kVisible}};
    count = std::size(members);
    return members;
}

HRESULT StandInApplication::Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) noexcept {
    try {
        const UINT argc = params ? params->cArgs : 0;
        switch (member) {
        case kVersion: {
            CallLog::Write(L"Version " + Flags(flags) + L" lcid=" + std::to_wstring(lcid));
            if (CallLog::ShouldFail(L"Version")) return E_FAIL;
            std::wstring version = CallLog::Setting(L"LINEAGE_EXCEL_VERSION");
            return AnswerString(result, version.empty() ? L"16.0" : version);
        }
        case kWorkbooks:
            CallLog::Write(L"Workbooks " + Flags(flags) + L" lcid=" + std::to_wstring(lcid));
            if (CallLog::ShouldFail(L"Workbooks")) return E_FAIL;
            if (result) {
                ::VariantInit(result);
                result->vt = VT_DISPATCH;
                result->pdispVal = new StandInWorkbooks;
            }
            return S_OK;
        case kVisible:
            if ((flags & DISPATCH_PROPERTYPUT) && argc == 1) {
                CallLog::Write(L"Visible put " + CallLog::Describe(params->rgvarg[0]) + L" lcid=" +
                               std::to_wstring(lcid) + L" named=" + std::to_wstring(params->cNamedArgs));
                if (CallLog::ShouldFail(L"Visible")) return E_FAIL;
                m_visible = params->rgvarg[0].vt == VT_BOOL && params->rgvarg[0].boolVal != VARIANT_FALSE;
                return S_OK;
            }
            CallLog::Write(L"Visible " + Flags(flags));
            if (result) {
                ::VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = m_visible ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

const DispatchObject::Member* StandInWorkbooks::Members(size_t& count) const noexcept {
    static const Member members[] = {{L"OpenText", kOpenText}};
    count = std::size(members);
    return members;
}

HRESULT StandInWorkbooks::Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT*, EXCEPINFO*, UINT*) noexcept {
    if (member != kOpenText) return DISP_E_MEMBERNOTFOUND;
    try {
        const UINT argc = params ? params->cArgs : 0;
        const UINT named = params ? params->cNamedArgs : 0;
        CallLog::Write(L"OpenText " + Flags(flags) + L" lcid=" + std::to_wstring(lcid) + L" args=" +
                       std::to_wstring(argc) + L" named=" + std::to_wstring(named));
        // Positional arguments arrive last first.
        for (UINT i = 0; i < argc; ++i) {
            const VARIANT& arg = params->rgvarg[argc - 1 - i];
            const std::wstring name = i < std::size(kOpenTextParameters) ? kOpenTextParameters[i]
                                                                        : L"#" + std::to_wstring(i + 1);
            CallLog::Write(L"OpenText." + name + L" " + CallLog::Describe(arg));
        }
        if (CallLog::ShouldFail(L"OpenText")) return E_FAIL;
        if (argc > 0) CopyImportedFile(params->rgvarg[argc - 1]);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
