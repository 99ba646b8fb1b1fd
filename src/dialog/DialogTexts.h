#pragma once
#include <string>

// Translated text `id` of the dialog's strings ("TS" kind, "BranchDetailsDlg" file), or the
// built-in English default. Copied at once: the service's buffer lives until its next call.
std::wstring DialogText(unsigned id, const wchar_t* defaultText);
