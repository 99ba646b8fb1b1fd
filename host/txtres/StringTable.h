#pragma once
// The translations of one strings file: sections "[file kind]" holding "id=text" lines.
#include <map>
#include <string>
#include <string_view>

class StringTable {
public:
    // Parses UTF-8 file content. Anything that is not a comment, a section header or an
    // entry of a valid section is skipped, so a damaged line costs only itself.
    void Parse(std::string_view utf8);

    // The text of `id` in section (file, kind), or null. Section names ignore case.
    // The pointer stays valid as long as the table lives and is not parsed again.
    const wchar_t* Find(std::wstring_view file, std::wstring_view kind, unsigned id) const;

    size_t size() const noexcept { return m_entries.size(); }

private:
    struct Key {
        std::wstring file;
        std::wstring kind;
        unsigned id;
        bool operator<(const Key& o) const noexcept;
    };
    std::map<Key, std::wstring> m_entries;
};
