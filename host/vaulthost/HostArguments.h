#pragma once
// The command line of vaulthost: which vault file to open and which of its branches to show.
#include <string>

struct HostArguments {
    std::wstring vaultPath;
    int branchId = 0;
    int focusDocId = 0;  // 0 when the user came from no document
};

extern const wchar_t kHostUsage[];

// Reads `--vault FILE --branch ID [--focus DOCID]` from argv[1..argc-1]. On failure answers
// false with `error` naming the argument that is missing, unknown or malformed.
[[nodiscard]] bool ParseHostArguments(int argc, const wchar_t* const* argv, HostArguments& arguments,
                                      std::wstring& error);
