// Stands in for Lineage.dll: writes what vaulthost handed over to the file named by LINEAGE_FAKE_REPORT.
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

// A property through the method table, then by name as an automation client reads it.
std::wstring Read(IOrvVault5* vault, HRESULT (STDMETHODCALLTYPE IOrvVault5::*property)(BSTR*), const wchar_t* name) {
    ScopedBSTR text;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    DISPPARAMS none = {};
    ScopedVariant result;
    if (FAILED((vault->*property)(text.put())) || FAILED(vault->GetIDsOfNames(IID_NULL, names, 1, 0, &id)) ||
        FAILED(vault->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr, nullptr)) ||
        result.get()->vt != VT_BSTR)
        return L"<failed>";
    return std::wstring(text.get()) + L"|" + result.get()->bstrVal;
}

std::wstring Describe(int focusDocId, int branchId, SpMgr* spMgr, IOrvVault5* vault, HWND parent) {
    const auto text = [](const SpStr& value) { return std::wstring(static_cast<const wchar_t*>(value)); };
    SpBranchBasicInfo info;
    std::vector<SpBranchFileInfo*> files;
    const long result =
        dynamic_cast<SpBranch*>(spMgr->mpoGetProc(SpProcId::Branch))->mhGetBranchDetails(branchId, info, files);
    std::wstring report = L"focus=" + std::to_wstring(focusDocId) + L"\nbranch=" + std::to_wstring(branchId) +
                          L"\nparent=" + (parent ? L"window" : L"none") + L"\nname=" +
                          Read(vault, &IOrvVault5::get_Name, L"name") + L"\nroot=" +
                          Read(vault, &IOrvVault5::get_RootFolderPath, L"RootFolderPath") + L"\ndocuments=" +
                          (dynamic_cast<SpDocument*>(spMgr->mpoGetProc(SpProcId::Document)) ? L"yes" : L"no") +
                          L"\nresult=" + std::to_wstring(result) + L"\ndetails=" + text(info.name) + L" by " +
                          text(info.creator) + L"\n";
    for (SpBranchFileInfo* file : files) {
        report += L"file=" + text(file->sourceFolder) + text(file->sourceName) + L" -> " + text(file->branchFolder) +
                  text(file->branchName) + (file->shared ? L" shared\n" : L"\n");
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
    } catch (...) {  // nobody to tell: the missing report fails the test
    }
}
