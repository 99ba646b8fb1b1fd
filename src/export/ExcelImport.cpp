#include "export/ExcelImport.h"

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cwchar>
#include <vector>

#include "export/CsvSeparators.h"
#include "export/ExportTexts.h"
#include "base/ScopedVariant.h"
#include "framework/AfxMessageBox.h"
#include "base/ScopedHandle.h"

using Microsoft::WRL::ComPtr;

namespace {

// _Application of Excel's type library.
constexpr IID kIID_Application = {0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Excel's enumerations as OpenText takes them.
constexpr int kXlWindows = 2;
constexpr int kXlDelimited = 1;
constexpr long kXlTextQualifierDoubleQuote = 1;
// Excel 2000 and older read the import arguments differently.
constexpr int kLastUnsupportedVersion = 9;

// The arguments of one call, first argument first, cleared together.
class ArgumentList {
public:
    ArgumentList() = default;
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList() {
        for (VARIANT& v : m_args) ::VariantClear(&v);
    }
    VARIANT& Add() {
        m_args.emplace_back();
        ::VariantInit(&m_args.back());
        return m_args.back();
    }
    void AddInt(int value) {
        VARIANT& v = Add();
        v.vt = VT_INT;
        v.intVal = value;
    }
    void AddLong(long value) {
        VARIANT& v = Add();
        v.vt = VT_I4;
        v.lVal = value;
    }
    // Excel's automation takes these switches as 16-bit integers: -1 true, 0 false.
    void AddSwitch(bool on) {
        VARIANT& v = Add();
        v.vt = VT_I2;
        v.iVal = on ? -1 : 0;
    }
    void AddMissing() {
        VARIANT& v = Add();
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
    }
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> Reversed() const { return {m_args.rbegin(), m_args.rend()}; }
    size_t Count() const noexcept { return m_args.size(); }

private:
    std::vector<VARIANT> m_args;
};

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
               DISPID namedArg, VARIANT* result) {
    DISPID member = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
    if (FAILED(hr)) return hr;
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(args.size());
    params.rgvarg = args.empty() ? nullptr : args.data();
    if (namedArg != DISPID_UNKNOWN) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &namedArg;
    }
    ScopedExcepInfo exception;
    UINT argError = 0;
    // Locale 0: Excel then reads numbers and dates the same whatever the user's settings.
    return object->Invoke(member, IID_NULL, 0, flags, &params, result, exception.get(), &argError);
}

HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* result) {
    return Invoke(object, name, DISPATCH_PROPERTYGET, {}, DISPID_UNKNOWN, result);
}

// Answers true when Excel says it is version 9 or older; false also when it does not say.
bool IsUnsupportedVersion(IDispatch* application) {
    ScopedVariant version;
    if (FAILED(GetProperty(application, L"Version", version.put()))) return false;
    if (FAILED(::VariantChangeType(version.get(), version.get(), 0, VT_BSTR))) return false;
    const wchar_t* text = version.get()->bstrVal ? version.get()->bstrVal : L"";
    return ::_wtoi(text) <= kLastUnsupportedVersion;
}

// FieldInfo: one column description, (column 1, general format).
HRESULT AddFieldInfo(ArgumentList& args) {
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {2, 0}};
    SAFEARRAY* array = ::SafeArrayCreate(VT_I4, 2, bounds);
    if (!array) return E_OUTOFMEMORY;
    VARIANT& v = args.Add();
    v.vt = VT_ARRAY | VT_I4;
    v.parray = array;
    const LONG column[2] = {0, 0};
    const LONG format[2] = {0, 1};
    LONG one = 1;
    HRESULT hr = ::SafeArrayPutElement(array, const_cast<LONG*>(column), &one);
    if (SUCCEEDED(hr)) hr = ::SafeArrayPutElement(array, const_cast<LONG*>(format), &one);
    return hr;
}

HRESULT OpenText(IDispatch* workbooks, const std::wstring& path, wchar_t separator) {
    const bool tab = separator == L'\t';
    const bool semicolon = separator == L';';
    const bool comma = separator == L',';
    const bool space = separator == L' ';
    const bool other = !tab && !semicolon && !comma && !space;

    ArgumentList args;
    VARIANT& fileName = args.Add();
    fileName.vt = VT_BSTR;
    fileName.bstrVal = ::SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
    if (!fileName.bstrVal) return E_OUTOFMEMORY;
    args.AddInt(kXlWindows);                      // Origin
    args.AddInt(1);                               // StartRow
    args.AddInt(kXlDelimited);                    // DataType
    args.AddLong(kXlTextQualifierDoubleQuote);    // TextQualifier
    args.AddSwitch(false);                        // ConsecutiveDelimiter
    args.AddSwitch(tab);
    args.AddSwitch(semicolon);
    args.AddSwitch(comma);
    args.AddSwitch(space);
    args.AddSwitch(other);
    if (other)                                    // OtherChar: the code, not a one-letter text
        args.AddInt(static_cast<int>(separator));
    else
        args.AddMissing();
    HRESULT hr = AddFieldInfo(args);
    if (FAILED(hr)) return hr;
    for (int i = 0; i < 5; ++i)                   // TextVisualLayout ... Local
        args.AddMissing();
    return Invoke(workbooks, L"OpenText", DISPATCH_METHOD, args.Reversed(), DISPID_UNKNOWN, nullptr);
}

HRESULT MakeVisible(IDispatch* application) {
    VARIANT visible;
    ::VariantInit(&visible);
    visible.vt = VT_BOOL;
    visible.boolVal = VARIANT_TRUE;
    return Invoke(application, L"Visible", DISPATCH_PROPERTYPUT, {visible}, DISPID_PROPERTYPUT, nullptr);
}

HRESULT StartExcel(ComPtr<IDispatch>& application) {
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"Excel.Application", &clsid);
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> unknown;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                            reinterpret_cast<void**>(unknown.GetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = ::OleRun(unknown.Get());
    if (FAILED(hr)) return hr;
    return unknown->QueryInterface(kIID_Application, reinterpret_cast<void**>(application.GetAddressOf()));
}

void RemoveImportedFile(const std::wstring& path) noexcept {
    if (!::DeleteFileW(path.c_str()) && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool Import(const std::wstring& path) {
    const CsvSeparators separators = GetCsvSeparators();

    ComPtr<IDispatch> application;
    if (FAILED(StartExcel(application))) return false;

    if (IsUnsupportedVersion(application.Get())) {
        const std::wstring text = ExportText(ExportTexts::kPreviewFile, 175,
            L"The currently installed version of Microsoft Excel is not supported.");
        AfxMessageBox(text.c_str(), MB_OK);
        return false;
    }

    ScopedVariant workbooksValue;
    if (FAILED(GetProperty(application.Get(), L"Workbooks", workbooksValue.put()))) return false;
    if (workbooksValue.get()->vt != VT_DISPATCH || !workbooksValue.get()->pdispVal) return false;
    IDispatch* workbooks = workbooksValue.get()->pdispVal;

    if (FAILED(OpenText(workbooks, path, separators.separator))) return false;
    if (FAILED(MakeVisible(application.Get()))) return false;

    RemoveImportedFile(path);
    return true;
}

}  // namespace

bool OpenInExcel(const std::wstring& path) noexcept {
    try {
        return Import(path);
    } catch (...) {
        // Whatever went wrong, the shell can still open the file.
        return false;
    }
}
