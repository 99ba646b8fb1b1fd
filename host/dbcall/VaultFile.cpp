// Reading a vault file: UTF-8 JSON whose field names outside tools rely on. Every problem is
// reported as one line that names the file and the offending field, so that whoever wrote the
// file can fix it without reading this code.
#include "dbcall/VaultData.h"
#include "common/SystemMessage.h"
#include "common/TextEncoding.h"
#include "base/ScopedHandle.h"
#include <nlohmann/json.hpp>
#include <oleauto.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>

namespace {

using nlohmann::json;

// What is wrong with the file, in UTF-8, without the file's path.
class VaultFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::wstring FullPathName(const std::wstring& path, size_t* fileNameOffset = nullptr) {
    wchar_t* filePart = nullptr;
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    length = ::GetFullPathNameW(path.c_str(), length, full.data(), &filePart);
    if (length == 0 || length >= full.size())
        return {};
    if (fileNameOffset)
        *fileNameOffset = filePart ? static_cast<size_t>(filePart - full.data()) : length;
    full.resize(length);
    return full;
}

std::string ReadWholeFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw VaultFileError("is a folder, not a vault file");
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        throw VaultFileError("cannot be opened: " + WideToUtf8(SystemMessage(::GetLastError())));
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size))
        throw VaultFileError("cannot be read: " + WideToUtf8(SystemMessage(::GetLastError())));
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.get(), text.data() + done, chunk, &read, nullptr))
            throw VaultFileError("cannot be read: " + WideToUtf8(SystemMessage(::GetLastError())));
        if (read == 0)
            break;  // the file shrank since its size was taken
        done += read;
    }
    text.resize(done);
    return text;
}

// Error lines quote at most this many characters of what they found.
constexpr size_t kExcerptCharacters = 40;

size_t CharacterCount(const std::string& utf8) {
    const auto startsCharacter = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), startsCharacter));
}

// The first characters of `text`, cut on a character boundary and marked with an ellipsis.
std::string Shortened(const std::string& text) {
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && characters++ == kExcerptCharacters)
            return text.substr(0, at) + "...";
    }
    return text;
}

// `value` as compact JSON, written only until it is longer than an excerpt. Each level of
// nesting writes a character before going down, so no more levels are visited than an excerpt
// has characters, however deep the value; a scalar is written whole.
void AppendJson(const json& value, std::string& out) {
    const auto full = [&out] { return CharacterCount(out) > kExcerptCharacters; };
    if (!value.is_structured()) {
        out += value.dump(-1, ' ', false, json::error_handler_t::replace);
        return;
    }
    out += value.is_array() ? '[' : '{';
    bool first = true;
    for (const auto& item : value.items()) {
        if (full())
            return;
        if (!first)
            out += ',';
        first = false;
        if (value.is_object())
            out += json(item.key()).dump(-1, ' ', false, json::error_handler_t::replace) + ":";
        AppendJson(item.value(), out);
    }
    out += value.is_array() ? ']' : '}';
}

std::string Excerpt(const json& value) {
    std::string text;
    AppendJson(value, text);
    return Shortened(text);
}

// "byte 34, line 3, column 8" for the position the parser stopped at (the count of bytes read).
std::string Position(const std::string& text, size_t position) {
    const size_t end = std::min(position, text.size());
    const auto stop = text.begin() + static_cast<std::ptrdiff_t>(end);
    const size_t lines = static_cast<size_t>(std::count(text.begin(), stop, '\n'));
    const size_t lastBreak = lines ? text.rfind('\n', end - 1) : std::string::npos;
    const size_t column = lastBreak == std::string::npos ? position : position - lastBreak - 1;
    return "byte " + std::to_string(position) + ", line " + std::to_string(lines + 1) + ", column " +
           std::to_string(column);
}

// Builds the document as json::parse does, but every error the parser meets comes here with
// its position, the number overflow too, which the library reports without one.
class DocumentBuilder : public nlohmann::detail::json_sax_dom_parser<json> {
public:
    DocumentBuilder(json& document, const std::string& text)
        : nlohmann::detail::json_sax_dom_parser<json>(document), m_text(text) {}

    // The library's words, without its "[json.exception...]" tag and its own position, and
    // with the token it quotes cut to an excerpt.
    [[noreturn]] bool parse_error(std::size_t position, const std::string& lastToken, const json::exception& error) {
        std::string what = error.what();
        const size_t tagEnd = what.find("] ");
        if (!what.empty() && what[0] == '[' && tagEnd != std::string::npos)
            what.erase(0, tagEnd + 2);
        const size_t ownPosition = what.find(": ");
        if (what.rfind("parse error", 0) == 0 && ownPosition != std::string::npos)
            what.erase(0, ownPosition + 2);
        const size_t token = what.find("'" + lastToken + "'");
        if (token != std::string::npos)
            what.replace(token + 1, lastToken.size(), Shortened(lastToken));
        throw VaultFileError("malformed JSON at " + Position(m_text, position) + ": " + what);
    }

private:
    const std::string& m_text;
};

json ParseJson(const std::string& text) {
    json document;
    DocumentBuilder builder(document, text);
    json::sax_parse(text, &builder);
    return document;
}

// Where a value sits in the document, as messages name it: "branches[1].files[0].sourceName".
std::string Member(const std::string& where, const char* key) {
    return where.empty() ? std::string(key) : where + "." + key;
}

std::string Element(const std::string& where, size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

[[noreturn]] void WrongType(const std::string& where, const char* expected, const json& found) {
    throw VaultFileError(where + " must be " + expected + ", found " + Excerpt(found));
}

void RequireObject(const json& value, const std::string& where) {
    if (!value.is_object())
        WrongType(where, "an object", value);
}

const json& Required(const json& object, const std::string& where, const char* key) {
    const auto it = object.find(key);
    if (it == object.end())
        throw VaultFileError(Member(where, key) + " is missing");
    return *it;
}

int ReadInt(const json& object, const std::string& where, const char* key) {
    const json& value = Required(object, where, key);
    if (!value.is_number_integer())
        WrongType(Member(where, key), "an integer", value);
    const bool fits = value.is_number_unsigned() ? value.get<std::uint64_t>() <= INT_MAX
                                                 : value.get<std::int64_t>() >= INT_MIN &&
                                                       value.get<std::int64_t>() <= INT_MAX;
    if (!fits)
        throw VaultFileError(Member(where, key) + " is out of range, found " + Excerpt(value));
    return static_cast<int>(value.get<std::int64_t>());
}

std::wstring ReadString(const json& object, const std::string& where, const char* key) {
    const json& value = Required(object, where, key);
    if (!value.is_string())
        WrongType(Member(where, key), "a string", value);
    return Utf8ToWide(value.get_ref<const std::string&>());
}

const json& ReadArray(const json& object, const std::string& where, const char* key) {
    const json& value = Required(object, where, key);
    if (!value.is_array())
        WrongType(Member(where, key), "an array", value);
    return value;
}

// Optional; left out it is false.
bool ReadShared(const json& object, const std::string& where) {
    const auto it = object.find("shared");
    if (it == object.end())
        return false;
    if (!it->is_boolean())
        WrongType(Member(where, "shared"), "true or false", *it);
    return it->get<bool>();
}

int TwoDigits(const std::string& text, size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// "YYYY-MM-DDThh:mm:ss", local time, to an automation date; false when the text is not one.
bool ParseLocalDateTime(const std::string& text, double& date) {
    static const char kPattern[] = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != sizeof(kPattern) - 1)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool ok = kPattern[i] == 'd' ? text[i] >= '0' && text[i] <= '9' : text[i] == kPattern[i];
        if (!ok)
            return false;
    }
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = TwoDigits(text, 0) * 100 + TwoDigits(text, 2);
    const int month = TwoDigits(text, 5);
    const int day = TwoDigits(text, 8);
    const int hour = TwoDigits(text, 11);
    const int minute = TwoDigits(text, 14);
    const int second = TwoDigits(text, 17);
    // Automation dates start at year 100.
    if (year < 100 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59)
        return false;
    const int monthDays = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day < 1 || day > monthDays)
        return false;
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return ::SystemTimeToVariantTime(&time, &date) != 0;
}

// Optional; left out or null it is 0.0, no date.
double ReadCreated(const json& object, const std::string& where) {
    const auto it = object.find("created");
    if (it == object.end() || it->is_null())
        return 0.0;
    const std::string location = Member(where, "created");
    if (!it->is_string())
        WrongType(location, "a date and time YYYY-MM-DDThh:mm:ss", *it);
    double date = 0.0;
    if (!ParseLocalDateTime(it->get_ref<const std::string&>(), date))
        throw VaultFileError(location + " is not a date and time YYYY-MM-DDThh:mm:ss, found " + Excerpt(*it));
    return date;
}

bool IsAbsoluteWindowsPath(const std::wstring& path) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const auto letter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    const bool drive = path.size() >= 3 && letter(path[0]) && path[1] == L':' && separator(path[2]);
    const bool unc = path.size() >= 2 && separator(path[0]) && separator(path[1]);
    return drive || unc;
}

// An absolute root is the vault's own business and stays as written; a relative one belongs to
// the vault file's folder, so the file can move together with its files.
std::wstring ResolveRoot(const std::wstring& root, const std::wstring& vaultFolder) {
    if (IsAbsoluteWindowsPath(root))
        return root;
    std::wstring full = FullPathName(vaultFolder + root);
    if (full.empty())
        throw VaultFileError("root \"" + Shortened(WideToUtf8(root)) + "\" is not a usable folder path");
    if (full.back() != L'\\')
        full += L'\\';
    return full;
}

VaultDocument ReadDocument(const json& value, const std::string& where) {
    RequireObject(value, where);
    VaultDocument document;
    document.id = ReadInt(value, where, "id");
    document.folderId = ReadInt(value, where, "folderId");
    document.name = ReadString(value, where, "name");
    document.folder = ReadString(value, where, "folder");
    return document;
}

VaultBranchFile ReadBranchFile(const json& value, const std::string& where) {
    RequireObject(value, where);
    VaultBranchFile file;
    file.sourceDocId = ReadInt(value, where, "sourceDocId");
    file.sourceFolderId = ReadInt(value, where, "sourceFolderId");
    file.branchDocId = ReadInt(value, where, "branchDocId");
    file.branchFolderId = ReadInt(value, where, "branchFolderId");
    file.sourceName = ReadString(value, where, "sourceName");
    file.branchName = ReadString(value, where, "branchName");
    file.sourceFolder = ReadString(value, where, "sourceFolder");
    file.branchFolder = ReadString(value, where, "branchFolder");
    file.shared = ReadShared(value, where);
    return file;
}

VaultBranch ReadBranch(const json& value, const std::string& where) {
    RequireObject(value, where);
    VaultBranch branch;
    branch.id = ReadInt(value, where, "id");
    branch.name = ReadString(value, where, "name");
    branch.creator = ReadString(value, where, "creator");
    branch.created = ReadCreated(value, where);
    const std::string filesWhere = Member(where, "files");
    const json& files = ReadArray(value, where, "files");
    branch.files.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        branch.files.push_back(ReadBranchFile(files[i], Element(filesWhere, i)));
    return branch;
}

// Ids name documents and branches to the procedures; a repeated one would make an answer ambiguous.
void RequireUniqueId(std::unordered_set<int>& seen, int id, const std::string& where) {
    if (!seen.insert(id).second)
        throw VaultFileError(Member(where, "id") + " " + std::to_string(id) + " is used twice");
}

VaultData ReadVault(const json& top, const std::wstring& vaultFolder) {
    if (!top.is_object())
        WrongType("the vault", "a JSON object", top);
    VaultData vault;
    vault.name = ReadString(top, "", "name");
    vault.root = ResolveRoot(ReadString(top, "", "root"), vaultFolder);

    const json& documents = ReadArray(top, "", "documents");
    std::unordered_set<int> documentIds;
    vault.documents.reserve(documents.size());
    for (size_t i = 0; i < documents.size(); ++i) {
        const std::string where = Element("documents", i);
        vault.documents.push_back(ReadDocument(documents[i], where));
        RequireUniqueId(documentIds, vault.documents.back().id, where);
    }

    const json& branches = ReadArray(top, "", "branches");
    std::unordered_set<int> branchIds;
    vault.branches.reserve(branches.size());
    for (size_t i = 0; i < branches.size(); ++i) {
        const std::string where = Element("branches", i);
        vault.branches.push_back(ReadBranch(branches[i], where));
        RequireUniqueId(branchIds, vault.branches.back().id, where);
    }
    return vault;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t fileName = 0;
    const std::wstring full = FullPathName(path, &fileName);
    return full.substr(0, fileName);
}

void SetError(std::wstring& error, const std::wstring& path, const std::string& what) noexcept {
    try {
        error = path + L": " + Utf8ToWide(what);
    } catch (...) {
        error.clear();
    }
}

} // namespace

bool LoadVaultFile(const std::wstring& path, VaultData& vault, std::wstring& error) noexcept {
    try {
        const std::string text = ReadWholeFile(path);
        const json document = ParseJson(text);
        vault = ReadVault(document, FolderOf(path));
        return true;
    } catch (const std::bad_alloc&) {
        SetError(error, path, "not enough memory to read the vault");
    } catch (const std::exception& e) {
        SetError(error, path, e.what());
    }
    return false;
}
