// Time and throughput of the file list export for large lists, next to a baseline written in
// the same run: the same bytes through one buffered stream, a whole line at a time.
//   export_bench [rows...]     default: 100000 1000000
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "Figures.h"
#include "export/CsvSeparators.h"
#include "export/FileListExport.h"
#include "base/ScopedHandle.h"

namespace {

// Paths of the length a vault typically has.
std::wstring CellText(int row, int column) {
    return (column == 1 ? L"C:\\Vaults\\Engineering\\Projects\\P-" : L"C:\\Vaults\\Engineering\\Branches\\Rel-2\\P-") +
           std::to_wstring(row / 100) + L"\\Drawing " + std::to_wstring(row) + L".dwg";
}

ExportSource MakeSource(int rows) {
    ExportSource source;
    source.branchName = L"Release 2";
    source.creator = L"anna";
    source.createdOn = L"23/11/1987 14:45:56";
    source.headings = {L"", L"Source File", L"Branch File"};
    source.rowCount = rows;
    source.cellText = CellText;
    return source;
}

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The export's bytes, built a line at a time and written through one stream with a large buffer.
bool WriteBaseline(const ExportSource& source, const std::wstring& path) {
    FILE* stream = ::_wfopen(path.c_str(), L"wb");
    if (!stream) return false;
    std::vector<char> buffer(1 << 20);
    std::setvbuf(stream, buffer.data(), _IOFBF, buffer.size());
    const CsvSeparators separators = GetCsvSeparators();
    const wchar_t sep = separators.separator;
    std::wstring line = L"\uFEFF";
    auto field = [&](std::wstring text, bool first) {
        for (wchar_t& c : text)
            if (c == sep) c = separators.replacement;
        if (!first) line += sep;
        line += text;
    };
    auto endLine = [&]() {
        line += L"\r\n";
        std::fwrite(line.data(), sizeof(wchar_t), line.size(), stream);
        line.clear();
    };
    field(L"Branch Name: " + source.branchName, true);
    endLine();
    field(L"Created By: " + source.creator, true);
    endLine();
    field(L"Created On: " + source.createdOn, true);
    endLine();
    field(L"Index", true);
    for (size_t c = 1; c < source.headings.size(); ++c) field(source.headings[c], false);
    endLine();
    for (int r = 0; r < source.rowCount; ++r) {
        field(std::to_wstring(r + 1), true);
        for (size_t c = 1; c < source.headings.size(); ++c) field(source.cellText(r, static_cast<int>(c)), false);
        endLine();
    }
    const bool ok = !std::ferror(stream);
    return std::fclose(stream) == 0 && ok;
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    FILE* stream = ::_wfopen(path.c_str(), L"rb");
    if (!stream) return bytes;
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), stream)) > 0) bytes.append(chunk, n);
    std::fclose(stream);
    return bytes;
}


}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};

    wchar_t folder[MAX_PATH + 2] = {};
    ::GetTempPathW(MAX_PATH + 2, folder);
    const std::wstring exportPath = std::wstring(folder) + L"export-bench-list.txt";
    const std::wstring baselinePath = std::wstring(folder) + L"export-bench-baseline.txt";

    // Markdown, as the README shows it.
    std::printf("| Rows | File | Export | Baseline | Ratio |\n|---:|---:|---:|---:|---:|\n");
    int status = 0;
    for (int rows : sizes) {
        const ExportSource source = MakeSource(rows);
        LARGE_INTEGER t0, t1, t2;
        ::QueryPerformanceCounter(&t0);
        try {
            WriteFileList(source, exportPath);
        } catch (...) {
            std::printf("| %d | export failed |\n", rows);
            return 1;
        }
        ::QueryPerformanceCounter(&t1);
        if (!WriteBaseline(source, baselinePath)) {
            std::printf("| %d | baseline failed |\n", rows);
            return 1;
        }
        ::QueryPerformanceCounter(&t2);

        const std::string written = ReadAll(exportPath);
        const bool same = written == ReadAll(baselinePath);
        const double bytes = static_cast<double>(written.size());
        const double exportSeconds = Seconds(t0, t1);
        const double baselineSeconds = Seconds(t1, t2);
        std::printf("| %s | %.0f MB | %.2f s | %.2f s | %.1f\u00D7 |%s\n", Thousands(rows).c_str(), bytes / 1e6,
                    exportSeconds, baselineSeconds, exportSeconds / baselineSeconds, same ? "" : " (files differ!)");
        if (!same) status = 1;
        ::DeleteFileW(exportPath.c_str());
        ::DeleteFileW(baselinePath.c_str());
    }
    return status;
}
