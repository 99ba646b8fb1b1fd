#pragma once
// Writes delimited UTF-16 text: a byte order mark, then fields separated by the separator,
// lines ended by CR LF. A value never carries the separator: it is quoted (comma separator)
// or the separator inside it is replaced.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

class CsvFileWriter {
public:
    // Why the file could not be written. Thrown by value by every operation below.
    struct Exception : std::runtime_error {
        enum Cause { kOpen = 0, kWrite = 1, kClose = 2 };
        Exception(int errorNumber, int cause, std::wstring fileName)
            : std::runtime_error("the exported list could not be written"),
              errorNumber(errorNumber), cause(cause), fileName(std::move(fileName)) {}
        int errorNumber;        // the C runtime's errno at the failure
        int cause;              // a Cause
        std::wstring fileName;
    };

    CsvFileWriter(wchar_t separator, wchar_t replacement) noexcept;
    CsvFileWriter(const CsvFileWriter&) = delete;
    CsvFileWriter& operator=(const CsvFileWriter&) = delete;
    // A file that was opened but not closed without error is incomplete: it is closed and deleted.
    ~CsvFileWriter();

    // Creates or truncates `path` (others may read it meanwhile, not write) and writes the
    // byte order mark.
    void Open(const std::wstring& path);
    // Appends one value to the current line, after a separator unless it is the line's first.
    void WriteField(const std::wstring& text);
    void EndLine();
    void Close();

    const std::wstring& Path() const noexcept { return m_path; }

private:
    [[noreturn]] void Throw(int cause) const;

    wchar_t m_separator;
    wchar_t m_replacement;
    FILE* m_stream = nullptr;
    std::wstring m_path;
    bool m_fieldWritten = false;
    bool m_crlf = false;
    // Set from a successful open until a successful close.
    bool m_incomplete = false;
    // Reused for every field: one value in memory at a time, without an allocation per field.
    std::wstring m_field;
};
