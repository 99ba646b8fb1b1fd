#pragma once
#include <string>
#include <vector>

class VListCtrlItem;

// The rows' comparison texts as locale sort keys, made once per row for one sort.
//
// Rows compare case-insensitively by the thread's locale (StrCmpNIW). A sort makes n log n such
// comparisons, each a full locale comparison; comparing sort keys orders the same and costs
// a byte comparison, so each row's text goes through the locale once per sort instead.
class SortKeys {
public:
    // Fills `buffer` (kTextSize characters, zeroed) with the row's text that takes part.
    using TextOf = void (*)(VListCtrlItem& row, int column, wchar_t* buffer);
    static constexpr int kTextSize = 256;

    // Keys for `rows`, in the order they stand before the sort; active until destroyed.
    // Only one sort runs at a time: the caller holds the process-wide sort lock.
    explicit SortKeys(const std::vector<VListCtrlItem*>& rows);
    SortKeys(const SortKeys&) = delete;
    SortKeys& operator=(const SortKeys&) = delete;
    ~SortKeys();

    // Orders `a` and `b` as StrCmpNIW of their texts over kTextSize characters would. Uses the
    // keys of the sort under way, or compares the texts directly when no sort is under way or
    // a row is not part of it.
    static int Compare(VListCtrlItem& a, VListCtrlItem& b, int column, TextOf text);

private:
    const std::string* KeyOf(VListCtrlItem& row, int column, TextOf text);

    struct Entry {
        const VListCtrlItem* row;
        std::string key;  // empty until first needed
    };
    std::vector<Entry> m_entries;
};
