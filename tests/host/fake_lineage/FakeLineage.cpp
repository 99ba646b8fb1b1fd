// Stands in for Lineage.dll when the tests run vaulthost. Rather than showing a dialog it
// writes down what the host handed over, one "key=value" line each, to the UTF-8 file named
// by LINEAGE_FAKE_REPORT. It reads everything through the same interfaces the module uses.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "base/ScopedHandle.h"
#include "base/ScopedVariant.h"
#include "common/TextEncoding.h"
#include "contracts/Dbcall.h"
#include "contracts/OrvVault.h"

namespace {

std::wstring Read(IOrvVault5* vault, HRESULT (STDMETHODCALLTYPE IOrvVault5::*property)(BSTR*)) {
    ScopedBSTR text;
    if (FAILED((vault->*property)(text.put())))
        return L"<failed>";
    return text.get() ? text.get() : L"";
}

// The same property as an automation client reads it, by name through IDispatch.
std::wstring ReadByName(IOrvVault5* vault, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    DISPPARAMS none = {};
    ScopedVariant result;
    if (FAILED(vault->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ||
        FAILED(vault->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result.put(), nullptr,
                             nullptr)))
        return L"<failed>";
    return result.get()->vt == VT_BSTR && result.get()->bstrVal ? result.get()->bstrVal : L"<not a string>";
}

std::wstring Describe(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault, HWND parent) {
    std::wstring report;
    const auto line = [&report](const wchar_t* key, const std::wstring& value) {
        report.append(key).append(L"=").append(value).append(L"\n");
    };
    line(L"focus", std::to_wstring(focusDocId));
    line(L"branch", std::to_wstring(branchId));
    line(L"parent", parent ? L"window" : L"none");
    line(L"vault.name", Read(vault, &IOrvVault5::get_Name));
    line(L"vault.root", Read(vault, &IOrvVault5::get_RootFolderPath));
    line(L"vault.dispatch.name", ReadByName(vault, L"name"));
    line(L"vault.dispatch.root", ReadByName(vault, L"RootFolderPath"));
    auto* branchProc = dynamic_cast<SpBranch*>(spMgr->mpoGetProc(SpProcId::Branch));
    line(L"document.proc", dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document)) ? L"yes" : L"no");
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
        if (const wchar_t* path = _wgetenv(L"LINEAGE_FAKE_REPORT"))
            std::ofstream(std::filesystem::path(path), std::ios::binary)
                << WideToUtf8(Describe(focusDocId, branchId, spMgr, vault, parent));
    } catch (...) {
        // A test double has nobody to tell; the missing report fails the test.
    }
}
