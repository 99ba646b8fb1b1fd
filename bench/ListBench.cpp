// Open, sort and memory cost of the branch dialog's file list for large branches, each next
// to a baseline measured in the same run: the same records copied into a plain vector of
// strings, and a plain std::sort of that vector ignoring letter case.
//   list_bench [rows...]     default: 1000 10000 100000 1000000
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Figures.h"
#include "DialogSession.h"
#include "TestVault.h"
#include "dbcall/VaultData.h"

using namespace lineage_test;

namespace {

constexpr int kBranchId = 7;
constexpr int kCloseButton = 4001;
constexpr int kFileList = 4004;
constexpr DWORD kLongWait = 300000;  // a million rows sort for minutes on a loaded machine
constexpr wchar_t kVaultRoot[] = L"C:\\Vaults\\Engineering\\";
constexpr wchar_t kBranchName[] = L"Release 2";
constexpr wchar_t kWindowStateKey[] =
    L"Software\\Brightfold\\Applications\\Ledgerix Enterprise\\Window State\\BranchDetails";

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// Deterministic, so that every run lists the same files.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<uint32_t>(m_state >> 16);
    }
    size_t Below(size_t n) { return Next() % n; }
    template <size_t N>
    const wchar_t* Pick(const wchar_t* const (&items)[N]) { return items[Below(N)]; }
private:
    uint64_t m_state;
};

// Names as an engineering vault holds them: a few folder levels, a mix of types in the
// letter case their tools write, and the same name met again in another folder.
constexpr const wchar_t* kTopFolders[] = {L"Projects", L"Standard Parts", L"Customers", L"Archive", L"Tooling"};
constexpr const wchar_t* kSubFolders[] = {L"Drawings", L"Models", L"Docs", L"Released", L"WIP", L"Purchased",
                                          L"Assemblies", L"Sheet Metal", L"Castings", L"Standards"};
constexpr const wchar_t* kWords[] = {L"bracket", L"Housing", L"shaft", L"Cover", L"gear", L"FLANGE", L"bolt",
                                     L"spacer", L"Motor Mount", L"plate", L"bearing", L"Lid", L"frame",
                                     L"Hinge", L"clamp", L"pump body", L"Valve", L"manifold"};
constexpr const wchar_t* kExtensions[] = {L"dwg",  L"DWG",  L"pdf",    L"Pdf",  L"docx", L"xlsx", L"txt",
                                          L"step", L"STEP", L"ipt",    L"iam",  L"idw",  L"SLDPRT",
                                          L"SLDASM", L"bfprt", L"bfasm", L"jpg", L"PNG", L"csv", L"xml"};

std::wstring FolderPath(Random& random) {
    std::wstring folder = random.Pick(kTopFolders);
    folder += L"\\P-" + std::to_wstring(1000 + random.Below(400)) + L"\\";
    if (random.Below(3) != 0)
        folder += std::wstring(random.Pick(kSubFolders)) + L"\\";
    if (random.Below(4) == 0)
        folder += L"Rev " + std::wstring(1, static_cast<wchar_t>(L'A' + random.Below(6))) + L"\\";
    return folder;
}

// 10 to 40 characters, extension included.
std::wstring FileName(Random& random) {
    std::wstring name = random.Pick(kWords);
    name += random.Below(2) ? L"-" : L" ";
    name += std::to_wstring(random.Below(100000));
    if (random.Below(3) == 0)
        name += std::wstring(L"_") + random.Pick(kWords);
    while (name.size() < 6)
        name += L'0';
    name = name.substr(0, 33);
    return name + L"." + random.Pick(kExtensions);
}

std::shared_ptr<VaultData> MakeVault(int rows) {
    auto vault = std::make_shared<VaultData>();
    vault->name = L"Engineering";
    vault->root = kVaultRoot;
    VaultBranch branch;
    branch.id = kBranchId;
    branch.name = kBranchName;
    branch.creator = L"anna";
    branch.created = 32104.6152314815;
    branch.files.reserve(static_cast<size_t>(rows));
    Random random(0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(rows));
    const std::wstring branchFolder = std::wstring(L"Branches\\") + kBranchName + L"\\";
    for (int i = 0; i < rows; ++i) {
        VaultBranchFile file;
        file.sourceDocId = i + 1;
        file.branchDocId = rows + i + 1;
        file.sourceFolderId = 1 + static_cast<int>(random.Below(5000));
        file.branchFolderId = 10000 + file.sourceFolderId;
        file.sourceFolder = FolderPath(random);
        file.branchFolder = branchFolder + file.sourceFolder;
        // One name in twenty repeats an earlier one, in another folder.
        file.sourceName = (i > 0 && random.Below(20) == 0) ? branch.files[random.Below(branch.files.size())].sourceName
                                                            : FileName(random);
        file.branchName = file.sourceName;
        file.shared = random.Below(25) == 0;
        branch.files.push_back(std::move(file));
    }
    vault->branches.push_back(std::move(branch));
    return vault;
}

// ---- memory ------------------------------------------------------------------------------

struct Memory {
    // What the system charges the process: PrivateUsage, or where Wine leaves that 0 (it
    // does), PagefileUsage, which Windows reports equal to it and Wine fills from the
    // Linux process's resident anonymous memory.
    SIZE_T privateBytes = 0;
    SIZE_T heapBytes = 0;  // busy heap blocks, their overhead included
};

SIZE_T BusyHeapBytes() {
    std::vector<HANDLE> heaps(64);
    DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = ::GetProcessHeaps(count, heaps.data());
    }
    SIZE_T total = 0;
    for (DWORD h = 0; h < count && h < heaps.size(); ++h) {
        if (!::HeapLock(heaps[h]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[h], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData + entry.cbOverhead;
        ::HeapUnlock(heaps[h]);
    }
    return total;
}

Memory MeasureMemory() {
    Memory memory;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters)))
        memory.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    memory.heapBytes = BusyHeapBytes();
    return memory;
}

double PerRow(SIZE_T after, SIZE_T before, int rows) {
    return (static_cast<double>(after) - static_cast<double>(before)) / rows;
}

// ---- waiting on the dialog's thread ------------------------------------------------------
// The session's own Sync and WaitForPaint give up after 10 s; a million rows sort for longer.
// The same idea with a longer wait: a hook on the dialog's thread sees the marker, or the
// list's WM_PAINT, leave its queue.

constexpr UINT kMarker = WM_APP + 0x2B7;
HANDLE g_markerTaken = nullptr;
HANDLE g_paintTaken = nullptr;
HWND volatile g_paintTarget = nullptr;
// The opening dialog: when its thread first took a message (its initialisation over) and
// when it took the list's first WM_PAINT.
HANDLE g_firstListPaint = nullptr;
HWND volatile g_list = nullptr;
double volatile g_firstMessageAt = 0.0;

LRESULT CALLBACK WatchQueue(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg) {
        if (g_firstMessageAt == 0.0)
            g_firstMessageAt = Now();
        if (msg->message == kMarker)
            ::SetEvent(g_markerTaken);
        else if (msg->message == WM_PAINT && msg->hwnd == g_paintTarget)
            ::SetEvent(g_paintTaken);
        if (msg->message == WM_PAINT && !g_list && ::GetDlgCtrlID(msg->hwnd) == kFileList) {
            g_list = msg->hwnd;
            ::SetEvent(g_firstListPaint);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

class QueueWatch {
public:
    explicit QueueWatch(DWORD threadId)
        : m_hook(::SetWindowsHookExW(WH_GETMESSAGE, &WatchQueue, nullptr, threadId)) {}
    QueueWatch(const QueueWatch&) = delete;
    QueueWatch& operator=(const QueueWatch&) = delete;
    ~QueueWatch() {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
    }
    explicit operator bool() const { return m_hook != nullptr; }
private:
    HHOOK m_hook;
};

// Waits until the handling of every message posted to `dialog` so far has ended.
bool SyncLong(HWND dialog) {
    ::ResetEvent(g_markerTaken);
    if (!::PostMessageW(dialog, kMarker, 0, 0))
        return false;
    if (::WaitForSingleObject(g_markerTaken, kLongWait) != WAIT_OBJECT_0)
        return false;
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kLongWait, &ignored) != 0;
}

// Watches for the next WM_PAINT of `wnd`: called before whatever will invalidate it. Arming
// first and invalidating later loses a race: an invalidation that lands between a WM_PAINT
// leaving the queue and its BeginPaint is validated by that paint, and no other one comes.
void ArmPaintWatch(HWND wnd) {
    g_paintTarget = wnd;
    ::ResetEvent(g_paintTaken);
}

// Waits until `wnd`, invalidated since ArmPaintWatch, has painted. The hook's sighting is
// exact; an update region found empty stands in should the hook miss it.
bool WaitForArmedPaint(HWND wnd) {
    const double giveUp = Now() + kLongWait / 1000.0;
    bool painting = false;
    while (!painting && Now() < giveUp) {
        RECT pending{};
        painting = ::WaitForSingleObject(g_paintTaken, 5) == WAIT_OBJECT_0 || !::GetUpdateRect(wnd, &pending, FALSE);
    }
    // A sent message waits for the paint's dispatch to end.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, kLongWait, &ignored);
    g_paintTarget = nullptr;
    return painting;
}

// A real click on a column header, then the sorted list painted; answers the seconds taken.
// The sort invalidates the list itself.
double ClickHeaderAndPaint(HWND dialog, HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ArmPaintWatch(list);
    const double start = Now();
    ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(header, WM_LBUTTONUP, 0, at);
    if (!SyncLong(dialog) || !WaitForArmedPaint(list))
        return -1.0;
    return Now() - start;
}

// The list of the dialog shown by `threadId`, once it is visible and has nothing left to
// paint; null before.
HWND PaintedList(DWORD threadId) {
    HWND found = nullptr;
    ::EnumThreadWindows(
        threadId,
        [](HWND wnd, LPARAM out) -> BOOL {
            HWND list = ::GetDlgItem(wnd, kFileList);
            RECT pending{};
            if (list && ::IsWindowVisible(list) && !::GetUpdateRect(list, &pending, FALSE)) {
                *reinterpret_cast<HWND*>(out) = list;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// When the opening list's first paint ended. The hook sees it exactly; should it miss it, a
// poll for the painted list stands in (to within its 20 ms interval). Answers 0 on time-out.
double WaitForFirstListPaint(DWORD threadId, bool& seenByHook) {
    const double giveUp = Now() + kLongWait / 1000.0;
    double paintedAt = 0.0;
    while (Now() < giveUp) {
        if (::WaitForSingleObject(g_firstListPaint, 20) == WAIT_OBJECT_0) {
            // A sent message waits for the paint's dispatch to end.
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(g_list, WM_NULL, 0, 0, SMTO_NORMAL, kLongWait, &ignored);
            seenByHook = true;
            return Now();
        }
        if (paintedAt == 0.0 && PaintedList(threadId))
            paintedAt = Now();
        // Painted a while ago and still unseen: the hook missed it.
        if (paintedAt != 0.0 && Now() - paintedAt > 2.0)
            return paintedAt;
    }
    return 0.0;
}

// ---- the dialog ----------------------------------------------------------------------------

struct DialogFigures {
    double initSeconds = -1.0;  // call to the dialog's first message (records read, rows made)
    double openSeconds = -1.0;  // call to the loaded list painted
    bool paintSeenByHook = false;
    double sourceSortSeconds = -1.0;
    double typeSortSeconds = -1.0;
    double closeSeconds = -1.0;
    int shownRows = 0;
    Memory before;
    Memory open;
};

DialogFigures RunDialog(const std::shared_ptr<VaultData>& vault, int focusDocId) {
    DialogFigures figures;
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(vault);
    TestVault vaultObject{L"Engineering", kVaultRoot};
    DialogSession::Args args;
    args.branchId = kBranchId;
    args.focusDocId = focusDocId;
    args.spMgr = spMgr.get();
    args.vault = &vaultObject;

    figures.before = MeasureMemory();
    g_list = nullptr;
    g_firstMessageAt = 0.0;
    ::ResetEvent(g_firstListPaint);
    const double start = Now();
    DialogSession session(args);
    // Set while the new thread is still starting: the dialog's first message comes after its
    // whole initialisation, which takes far longer than this call.
    QueueWatch watch(session.ThreadId());
    if (!watch)
        return figures;
    const double painted = WaitForFirstListPaint(session.ThreadId(), figures.paintSeenByHook);
    if (painted > 0.0)
        figures.openSeconds = painted - start;
    figures.initSeconds = g_firstMessageAt > 0.0 ? g_firstMessageAt - start : -1.0;
    HWND dialog = session.WaitForDialog(kLongWait);
    if (!dialog)
        return figures;
    HWND list = session.Item(kFileList);
    figures.shownRows = ItemCount(list);
    figures.open = MeasureMemory();

    figures.sourceSortSeconds = ClickHeaderAndPaint(dialog, list, 1);
    figures.typeSortSeconds = ClickHeaderAndPaint(dialog, list, 0);

    const double closing = Now();
    ::PostMessageW(session.Item(kCloseButton), BM_CLICK, 0, 0);
    if (session.WaitForReturn(kLongWait))
        figures.closeSeconds = Now() - closing;
    return figures;
}

// ---- the baseline --------------------------------------------------------------------------

struct PlainRow {
    std::wstring source;
    std::wstring branch;
};

std::wstring_view ExtensionOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    const size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)
               ? std::wstring_view()
               : std::wstring_view(path).substr(dot + 1);
}

bool LessIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_LESS_THAN;
}

struct BaselineFigures {
    double hostSeconds = -1.0;    // the stored procedure handing out the records
    double deleteSeconds = -1.0;  // deleting them again
    double copySeconds = -1.0;
    double sourceSortSeconds = -1.0;
    double typeSortSeconds = -1.0;
    double stringBytesPerRow = 0.0;  // both paths as UTF-16, terminators included
};

BaselineFigures RunBaseline(const std::shared_ptr<VaultData>& vault) {
    BaselineFigures figures;
    std::unique_ptr<SpMgr> spMgr = CreateVaultSpMgr(vault);
    auto* procedure = static_cast<SpBranch*>(spMgr->mpoGetProc(SpProcId::Branch));
    SpBranchBasicInfo info;
    std::vector<SpBranchFileInfo*> records;
    double start = Now();
    if (procedure->mhGetBranchDetails(kBranchId, info, records) != 0)
        return figures;
    figures.hostSeconds = Now() - start;

    start = Now();
    std::vector<PlainRow> rows;
    rows.reserve(records.size());
    const std::wstring root = kVaultRoot;
    for (const SpBranchFileInfo* r : records) {
        PlainRow row;
        row.source.append(root).append(r->sourceFolder).append(r->sourceName);
        row.branch.append(root).append(r->branchFolder).append(r->branchName);
        rows.push_back(std::move(row));
    }
    figures.copySeconds = Now() - start;

    start = Now();
    for (SpBranchFileInfo* record : records)
        delete record;
    records.clear();
    figures.deleteSeconds = Now() - start;

    double bytes = 0.0;
    for (const PlainRow& row : rows)
        bytes += static_cast<double>(row.source.size() + 1 + row.branch.size() + 1) * sizeof(wchar_t);
    figures.stringBytesPerRow = rows.empty() ? 0.0 : bytes / static_cast<double>(rows.size());

    start = Now();
    std::sort(rows.begin(), rows.end(),
              [](const PlainRow& a, const PlainRow& b) { return LessIgnoringCase(a.source, b.source); });
    figures.sourceSortSeconds = Now() - start;
    // The dialog sorts its type column, ascending, from the order the path sort left.
    start = Now();
    std::sort(rows.begin(), rows.end(), [](const PlainRow& a, const PlainRow& b) {
        return LessIgnoringCase(ExtensionOf(a.source), ExtensionOf(b.source));
    });
    figures.typeSortSeconds = Now() - start;
    return figures;
}

// ---- pieces --------------------------------------------------------------------------------

// The comparison the list sorts with, alone: bounded, zero-filled copies and StrCmpNIW,
// against CompareStringOrdinal on the same strings. Seconds per million comparisons.
void TimeComparisons() {
    const std::wstring a = L"C:\\Vaults\\Engineering\\Projects\\P-1123\\Drawings\\Motor Mount-48213.SLDPRT";
    const std::wstring b = L"C:\\Vaults\\Engineering\\Projects\\P-1123\\Drawings\\motor mount-48213_gear.dwg";
    constexpr int kCount = 200000;
    using StrCmpNIWFn = int(WINAPI*)(const wchar_t*, const wchar_t*, int);
    HMODULE shlwapi = ::LoadLibraryW(L"shlwapi.dll");
    auto strCmpNIW = shlwapi ? reinterpret_cast<StrCmpNIWFn>(::GetProcAddress(shlwapi, "StrCmpNIW")) : nullptr;
    if (!strCmpNIW)
        return;
    volatile int sink = 0;
    double start = Now();
    for (int i = 0; i < kCount; ++i) {
        wchar_t own[256] = {};
        wchar_t theirs[256] = {};
        std::wmemcpy(own, a.c_str(), a.size());
        std::wmemcpy(theirs, b.c_str(), b.size());
        sink = sink + strCmpNIW(own, theirs, 256);
    }
    const double bounded = (Now() - start) * 1e6 / kCount;
    start = Now();
    for (int i = 0; i < kCount; ++i)
        sink = sink + strCmpNIW(a.c_str(), b.c_str(), static_cast<int>(a.size()));
    const double exact = (Now() - start) * 1e6 / kCount;
    start = Now();
    for (int i = 0; i < kCount; ++i)
        sink = sink + ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                             static_cast<int>(b.size()), TRUE);
    const double ordinal = (Now() - start) * 1e6 / kCount;
    std::printf("\nOne comparison of two %zu-character paths, seconds per million:\n"
                "  StrCmpNIW on zero-filled 256-character copies (as the list sorts) %8.2f\n"
                "  StrCmpNIW limited to the path's length                             %8.2f\n"
                "  CompareStringOrdinal ignoring case                                 %8.2f\n",
                a.size(), bounded, exact, ordinal);
}


}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000, 1000000};
    if (!ShowBranchDetailsEntry()) {
        std::printf("Lineage.dll or gvShowBranchDetails not found beside the executable\n");
        return 1;
    }
    g_markerTaken = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_paintTaken = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_firstListPaint = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Every size opens at the template's size with the default column widths.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);

    struct Result {
        int rows;
        DialogFigures dialog;
        BaselineFigures baseline;
    };
    std::vector<Result> results;
    for (int rows : sizes) {
        const double made = Now();
        std::shared_ptr<VaultData> vault = MakeVault(rows);
        std::fprintf(stderr, "%d rows: vault made in %.2f s\n", rows, Now() - made);
        // The focus document sits halfway down, as when the user comes from one of the files.
        const int focusDocId = rows / 2 + 1;
        Result result{rows, RunDialog(vault, focusDocId), {}};
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);
        result.baseline = RunBaseline(vault);
        std::fprintf(stderr, "%d rows: open %.2f s, sorts %.2f s and %.2f s, close %.2f s\n", rows,
                     result.dialog.openSeconds, result.dialog.sourceSortSeconds, result.dialog.typeSortSeconds,
                     result.dialog.closeSeconds);
        results.push_back(result);
    }

    // Markdown, as the README shows it.
    std::printf("| Files | Open (call to first paint) | Baseline copy | Sort \"Source File\" | Baseline sort "
                "| Memory per row | String bytes per row |\n|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Result& r : results) {
        const DialogFigures& d = r.dialog;
        const BaselineFigures& b = r.baseline;
        const double bytes = PerRow(d.open.privateBytes, d.before.privateBytes, r.rows);
        std::printf("| %s | %.2f s%s | %.3f s | %.2f s | %.3f s | %.0f B (%.1f\u00D7) | %.0f B |\n",
                    Thousands(r.rows).c_str(), d.openSeconds, d.paintSeenByHook ? "" : "*", b.copySeconds,
                    d.sourceSortSeconds, b.sourceSortSeconds, bytes, bytes / b.stringBytesPerRow,
                    b.stringBytesPerRow);
    }
    std::printf("\n| Files | Sort \"Type\" | Baseline sort | Open: stored procedure | Open: dialog start | Close |"
                "\n|---:|---:|---:|---:|---:|---:|\n");
    for (const Result& r : results) {
        const DialogFigures& d = r.dialog;
        const BaselineFigures& b = r.baseline;
        std::printf("| %s | %.2f s | %.3f s | %.2f s | %.2f s | %.2f s |%s\n", Thousands(r.rows).c_str(),
                    d.typeSortSeconds, b.typeSortSeconds, b.hostSeconds, d.initSeconds, d.closeSeconds,
                    d.shownRows == r.rows ? "" : " (not every row shown!)");
    }
    std::printf("\nOpen: the call to the end of the loaded list's first paint (* where the hook missed it and a\n"
                "poll for the painted list stood in). Baseline copy: the records joined into a vector of two\n"
                "std::wstring per row; baseline sort: std::sort of that vector with CompareStringOrdinal ignoring\n"
                "case. Sorts: header click to the list repainted (\"Type\" after the path sort). Memory: private\n"
                "bytes with the dialog open minus before, per row, and its ratio to the row's path strings.\n"
                "Stored procedure: the stand-in alone handing out the records; dialog start: the call to the\n"
                "dialog's thread taking its first message.\n");
    for (const Result& r : results)
        std::fprintf(stderr, "%9d rows: private bytes %.1f -> %.1f MB, busy heap %.1f -> %.1f MB\n", r.rows,
                     r.dialog.before.privateBytes / 1048576.0, r.dialog.open.privateBytes / 1048576.0,
                     r.dialog.before.heapBytes / 1048576.0, r.dialog.open.heapBytes / 1048576.0);

    TimeComparisons();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kWindowStateKey);
    return 0;
}
