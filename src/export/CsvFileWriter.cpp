#include "export/CsvFileWriter.h"

#include <windows.h>

#include <cerrno>
#include <share.h>

CsvFileWriter::CsvFileWriter(wchar_t separator, wchar_t replacement) noexcept
    : m_separator(separator), m_replacement(replacement) {}

CsvFileWriter::~CsvFileWriter() {
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    // Some runtimes report a full disk only when the buffer is flushed at close, so a failed
    // close leaves a partial file as surely as a failed write.
    if (m_incomplete) ::DeleteFileW(m_path.c_str());
}

void CsvFileWriter::Throw(int cause) const {
    throw Exception{errno, cause, m_path};
}

void CsvFileWriter::Open(const std::wstring& path) {
    m_path = path;
    m_crlf = true;
    m_fieldWritten = false;
    // Binary: the text is UTF-16 and line ends are written as they are meant.
    errno = 0;
    m_stream = ::_wfsopen(path.c_str(), L"wb", _SH_DENYWR);
    if (!m_stream) Throw(Exception::kOpen);
    m_incomplete = true;
    std::fputwc(0xFEFF, m_stream);
}

void CsvFileWriter::WriteField(const std::wstring& text) {
    m_field.clear();
    if (m_fieldWritten) m_field += m_separator;
    m_fieldWritten = true;

    const size_t start = m_field.size();
    if (m_separator == L',' && text.find(L',') != std::wstring::npos) {
        // Quotation marks inside stay single: the readers this file is meant for take the
        // enclosing pair as the only quoting.
        m_field += L'"';
        m_field += text;
        m_field += L'"';
    } else {
        m_field += text;
        for (size_t i = start; i < m_field.size(); ++i)
            if (m_field[i] == m_separator) m_field[i] = m_replacement;
    }
    if (std::fputws(m_field.c_str(), m_stream) == WEOF) Throw(Exception::kWrite);
}

void CsvFileWriter::EndLine() {
    m_fieldWritten = false;
    if (m_crlf && std::fputwc(L'\r', m_stream) == WEOF) Throw(Exception::kWrite);
    if (std::fputwc(L'\n', m_stream) == WEOF) Throw(Exception::kWrite);
}

void CsvFileWriter::Close() {
    FILE* stream = m_stream;
    if (!stream) return;
    m_stream = nullptr;
    // A runtime that did not report a failed buffer flush on the write still marks the stream:
    // the file may lack data even if the final flush at close succeeds.
    const bool writeFailed = std::ferror(stream) != 0;
    const int writeErrno = errno;
    if (std::fclose(stream) != 0) Throw(Exception::kClose);
    if (writeFailed) {
        errno = writeErrno;
        Throw(Exception::kWrite);
    }
    m_incomplete = false;
}
