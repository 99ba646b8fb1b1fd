#include "dialog/DialogTexts.h"
#include "contracts/Txtres.h"

std::wstring DialogText(unsigned id, const wchar_t* defaultText) {
    const wchar_t* text = TSS_internal(id, L"TS", L"BranchDetailsDlg", defaultText);
    return text ? text : defaultText;
}
