#include "HostArguments.h"
#include <climits>
#include <cstdint>
#include <utility>

const wchar_t kHostUsage[] = L"vaulthost --vault FILE --branch ID [--focus DOCID]";

namespace {

struct Option {
    const wchar_t* name;
    const wchar_t* valueName;
    bool required;
    bool seen = false;
};

// Decimal digits with an optional minus sign, within int range; nothing else around them.
bool ParseId(const std::wstring& text, int& id) {
    const bool negative = !text.empty() && text[0] == L'-';
    const size_t first = negative ? 1 : 0;
    if (first == text.size())
        return false;
    std::int64_t value = 0;
    for (size_t at = first; at < text.size(); ++at) {
        if (text[at] < L'0' || text[at] > L'9')
            return false;
        value = value * 10 + (text[at] - L'0');
        if (value > std::int64_t(INT_MAX) + 1)
            return false;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN)
        return false;
    id = static_cast<int>(value);
    return true;
}

// What the user typed, as an error line quotes it: at most 40 characters, then an ellipsis.
std::wstring Quoted(const std::wstring& text) {
    constexpr size_t kExcerptLength = 40;
    if (text.size() <= kExcerptLength)
        return L"\"" + text + L"\"";
    // A surrogate pair stays whole.
    const bool splitsPair = text[kExcerptLength - 1] >= 0xD800 && text[kExcerptLength - 1] <= 0xDBFF;
    const size_t cut = splitsPair ? kExcerptLength - 1 : kExcerptLength;
    return L"\"" + text.substr(0, cut) + L"...\"";
}

// A following option means the value was left out, not that the option is the value.
bool IsValue(const wchar_t* argument) {
    return argument[0] != L'\0' && std::wstring(argument).rfind(L"--", 0) != 0;
}

} // namespace

bool ParseHostArguments(int argc, const wchar_t* const* argv, HostArguments& arguments, std::wstring& error) {
    Option options[] = {{L"--vault", L"FILE", true}, {L"--branch", L"ID", true}, {L"--focus", L"DOCID", false}};
    Option& vault = options[0];
    Option& branch = options[1];
    HostArguments parsed;

    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        Option* option = nullptr;
        for (Option& candidate : options)
            if (name == candidate.name)
                option = &candidate;
        if (!option) {
            error = L"unknown argument " + Quoted(name);
            return false;
        }
        if (option->seen) {
            error = name + L" is given twice";
            return false;
        }
        option->seen = true;
        if (i + 1 >= argc || !IsValue(argv[i + 1])) {
            error = name + L" needs a value " + option->valueName;
            return false;
        }
        const std::wstring value = argv[++i];
        if (option == &vault) {
            parsed.vaultPath = value;
        } else if (!ParseId(value, option == &branch ? parsed.branchId : parsed.focusDocId)) {
            error = name + L" " + option->valueName + L" must be a whole number, found " + Quoted(value);
            return false;
        }
    }

    for (const Option& option : options) {
        if (option.required && !option.seen) {
            error = std::wstring(option.name) + L" " + option.valueName + L" is missing";
            return false;
        }
    }
    arguments = std::move(parsed);
    return true;
}
