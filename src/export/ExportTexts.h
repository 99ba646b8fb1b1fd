#pragma once
// Translated texts of the export, with their built-in English defaults.
#include <string>

namespace ExportTexts {

// Strings file of the branch details dialog's texts.
constexpr wchar_t kDialogFile[] = L"BranchDetailsDlg";
// Strings file of the spreadsheet messages, shared with the host's preview.
constexpr wchar_t kPreviewFile[] = L"PreviewView";

}  // namespace ExportTexts

// Translated text `id` of strings file `file` ("TS" kind), or `defaultText`. Copied at once:
// the service's buffer lives only until its next call.
std::wstring ExportText(const wchar_t* file, unsigned id, const wchar_t* defaultText);

// `format` with every "%s" replaced by `argument` and every "%%" by "%". Any other %-sequence
// stays as written: a translated text can never make the formatting read a missing argument.
std::wstring FormatWithString(const std::wstring& format, const std::wstring& argument);
