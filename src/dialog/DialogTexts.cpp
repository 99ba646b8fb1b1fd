#include "dialog/DialogTexts.h"
#include "contracts/Txtres.h"

std::wstring DialogText(unsigned id, const wchar_t* defaultText) {
    return TssText(id, L"TS", L"BranchDetailsDlg", defaultText);
}
