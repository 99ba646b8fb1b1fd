#include "StringTable.h"

#include <windows.h>

#include <climits>
#include <tuple>

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view Trim(std::wstring_view s) noexcept {
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    const size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

// Invalid UTF-8 becomes U+FFFD instead of failing the whole file.
std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(utf8.size());
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring out(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), wide);
    return out;
}

std::wstring Lower(std::wstring_view s) {
    std::wstring out(s);
    if (!out.empty() && out.size() <= static_cast<size_t>(MAXDWORD))
        ::CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
    return out;
}

// Decimal digits only, no sign, no overflow.
bool ParseId(std::wstring_view s, unsigned& id) noexcept {
    if (s.empty()) return false;
    unsigned long long value = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > UINT_MAX) return false;
    }
    id = static_cast<unsigned>(value);
    return true;
}

// "\n" is a line break and "\\" a backslash; any other backslash stays as written.
std::wstring Unescape(std::wstring_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'\\' && i + 1 < s.size() && (s[i + 1] == L'n' || s[i + 1] == L'\\')) {
            out += s[i + 1] == L'n' ? L'\n' : L'\\';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "[file kind]": the kind is the last word, the file everything before it.
bool ParseSection(std::wstring_view line, std::wstring& file, std::wstring& kind) {
    std::wstring_view inner = Trim(line.substr(1, line.size() - 2));
    const size_t split = inner.find_last_of(kBlanks);
    if (split == std::wstring_view::npos) return false;
    std::wstring_view f = Trim(inner.substr(0, split));
    std::wstring_view k = Trim(inner.substr(split + 1));
    if (f.empty() || k.empty()) return false;
    file = Lower(f);
    kind = Lower(k);
    return true;
}

}  // namespace

bool StringTable::Key::operator<(const Key& o) const noexcept {
    return std::tie(file, kind, id) < std::tie(o.file, o.kind, o.id);
}

void StringTable::Parse(std::string_view utf8) {
    m_entries.clear();
    if (utf8.size() >= 3 && utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.remove_prefix(3);
    const std::wstring text = Utf8ToWide(utf8);

    bool inSection = false;
    std::wstring file, kind;
    std::wstring_view rest(text);
    while (!rest.empty()) {
        const size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);

        const std::wstring_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == L'#' || trimmed.front() == L';') continue;
        if (trimmed.front() == L'[') {
            // A broken header closes the previous section: its lines must not land there.
            inSection = trimmed.size() >= 2 && trimmed.back() == L']' &&
                        ParseSection(trimmed, file, kind);
            continue;
        }
        if (!inSection) continue;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) continue;
        unsigned id = 0;
        if (!ParseId(Trim(line.substr(0, equals)), id)) continue;
        // Later lines win, so a file can override an entry further down.
        m_entries[Key{file, kind, id}] = Unescape(line.substr(equals + 1));
    }
}

const wchar_t* StringTable::Find(std::wstring_view file, std::wstring_view kind, unsigned id) const {
    if (m_entries.empty()) return nullptr;
    const auto it = m_entries.find(Key{Lower(file), Lower(kind), id});
    return it == m_entries.end() ? nullptr : it->second.c_str();
}
