// The records and base classes of the stored-procedure contract. Their members run in this
// library so that the strings are made and freed by one module, whoever holds the record.
#include "contracts/Dbcall.h"
#include "dbcall/VaultData.h"
#include <atomic>
#include <cwchar>
#include <new>
#include <utility>

namespace {

std::atomic<long> g_liveFileRecords{0};

// An allocation failure leaves the string empty: the constructors are called from other
// modules, and no exception may cross into them.
wchar_t* CopyText(const wchar_t* text) noexcept {
    if (!text || !*text)
        return nullptr;
    const size_t length = std::wcslen(text);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy)
        std::wmemcpy(copy, text, length + 1);
    return copy;
}

} // namespace

SpStr::SpStr() noexcept : m_text(nullptr) {}

SpStr::SpStr(const wchar_t* text) : m_text(CopyText(text)) {}

SpStr::SpStr(const SpStr& other) : m_text(CopyText(other.m_text)) {}

SpStr& SpStr::operator=(const SpStr& other) {
    if (this != &other) {
        wchar_t* copy = CopyText(other.m_text);
        delete[] m_text;
        m_text = copy;
    }
    return *this;
}

SpStr::SpStr(SpStr&& other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}

SpStr& SpStr::operator=(SpStr&& other) noexcept {
    if (this != &other) {
        delete[] m_text;
        m_text = std::exchange(other.m_text, nullptr);
    }
    return *this;
}

SpStr::~SpStr() { delete[] m_text; }

SpStr::operator const wchar_t*() const noexcept { return m_text ? m_text : L""; }

SpBranchBasicInfo::SpBranchBasicInfo() : created(0.0) {}

SpBranchBasicInfo::~SpBranchBasicInfo() = default;

SpBranchFileInfo::SpBranchFileInfo()
    : sourceDocId(0), sourceFolderId(0), thirdId(0), branchDocId(0), value(0.0),
      branchFolderId(0), shared(false) {
    ++g_liveFileRecords;
}

SpBranchFileInfo::~SpBranchFileInfo() { --g_liveFileRecords; }

long LiveBranchFileRecords() noexcept { return g_liveFileRecords.load(); }

SpProc::~SpProc() = default;

SpMgr::~SpMgr() = default;
