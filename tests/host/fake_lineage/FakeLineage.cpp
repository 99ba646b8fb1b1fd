// Stands in for Lineage.dll when the tests run vaulthost. Rather than showing a dialog it
// writes down what the host handed over, one "key=value" line each, to the UTF-8 file named
// by LINEAGE_FAKE_REPORT. It reads everything through the same interfaces the module uses.
#include "contracts/Dbcall.h"
#include "contracts/OrvVault.h"
#include "base/ScopedHandle.h"
#include <string>
#include <vector>

namespace {

using VaultProperty = HRESULT (STDMETHODCALLTYPE IOrvVault5::*)(BSTR*);

std::wstring ReadProperty(IOrvVault5* vault, VaultProperty property) {
    if (!vault)
        return L"<no vault>";
    ScopedBSTR text;
    if (FAILED((vault->*property)(text.put())))
        return L"<failed>";
    return text.get() ? text.get() : L"";
}

// The same property as an automation client reads it, by name through IDispatch.
std::wstring ReadByName(IOrvVault5* vault, const wchar_t* name) {
    if (!vault)
        return L"<no vault>";
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(vault->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return L"<unknown name>";
    DISPPARAMS none = {};
    VARIANT result;
    ::VariantInit(&result);
    if (FAILED(vault->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                             nullptr)))
        return L"<failed>";
    std::wstring text = result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"<not a string>";
    ::VariantClear(&result);
    return text;
}

std::wstring ReportPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LINEAGE_FAKE_REPORT", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void WriteUtf8File(const std::wstring& path, const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Describe(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault, HWND parent) {
    std::wstring report;
    const auto line = [&report](const wchar_t* key, const std::wstring& value) {
        report.append(key).append(L"=").append(value).append(L"\n");
    };
    line(L"focus", std::to_wstring(focusDocId));
    line(L"branch", std::to_wstring(branchId));
    line(L"parent", parent ? L"window" : L"none");
    line(L"vault.name", ReadProperty(vault, &IOrvVault5::get_Name));
    line(L"vault.root", ReadProperty(vault, &IOrvVault5::get_RootFolderPath));
    line(L"vault.dispatch.name", ReadByName(vault, L"name"));
    line(L"vault.dispatch.root", ReadByName(vault, L"RootFolderPath"));
    if (!spMgr)
        return report + L"spmgr=none\n";

    auto* branchProc = dynamic_cast<SpBranch*>(spMgr->mpoGetProc(SpProcId::Branch));
    line(L"document.proc", dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document)) ? L"yes" : L"no");
    if (!branchProc)
        return report + L"branch.proc=none\n";
    SpBranchBasicInfo info;
    std::vector<SpBranchFileInfo*> files;
    line(L"branch.result", std::to_wstring(branchProc->mhGetBranchDetails(branchId, info, files)));
    line(L"branch.name", static_cast<const wchar_t*>(info.name));
    line(L"branch.creator", static_cast<const wchar_t*>(info.creator));
    for (SpBranchFileInfo* file : files) {
        line(L"file", std::wstring(file->sourceFolder) + static_cast<const wchar_t*>(file->sourceName) + L" -> " +
                          static_cast<const wchar_t*>(file->branchFolder) + static_cast<const wchar_t*>(file->branchName));
        delete file;
    }
    return report;
}

} // namespace

extern "C" __declspec(dllexport) void gvShowBranchDetails(int focusDocId, int branchId, SpMgr* spMgr,
                                                          IOrvVault5* vault, HWND parent) noexcept {
    try {
        const std::wstring path = ReportPath();
        if (!path.empty())
            WriteUtf8File(path, Describe(focusDocId, branchId, spMgr, vault, parent));
    } catch (...) {
        // A test double has nobody to tell; the missing report fails the test.
    }
}
