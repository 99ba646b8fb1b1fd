#pragma once
// File-type icons by file name, kept in one image list per pixel size under one logical index, so
// that a list control can show a file's icon at whatever size it draws. Icons the same for every
// file of a type are kept per extension; icons that differ per file are kept per full name.
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <string>
#include <vector>
#include <boost/shared_ptr.hpp>
#include "base/Lock.h"
#include "base/ScopedHandle.h"
#include "icons/IconImageList.h"

// A built-in picture of the workflow icon library.
using WfIconID = int;

enum IconVariant : int { Plain = 0, Shared = 1, Link = 2, IgnorePrevState = 3 };

class IconCache {
public:
    // A window of the host that shows files; only view 0 is used here, and it shares what other
    // views already found.
    enum ViewID : int { DefaultView = 0 };

    // One cached icon, shared by reference between the maps that hold it.
    struct IconData {
        int index[4] = {-1, -1, -1, -1};  // logical index per IconVariant; -1 until made
        std::wstring typeName;
        int typeNameFromRegistry = 0;
        volatile LONG refCount = 1;  // maps holding the entry
        bool builtin = false;        // never gives its indices back
    };
    // One view's per-file entries, by lower-case full file name.
    struct ViewData {
        std::map<std::wstring, IconData*> files;
    };

    IconCache();
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;
    virtual ~IconCache();

    // The logical index of the plain icon for the file's type, or -1.
    int GetFileIconIndex(const wchar_t* fileName);
    // The logical index of a built-in picture in `variant`, loaded on first use; -1 on failure.
    int GetWfIconIndex(WfIconID id, int variant, const wchar_t* pngName, int useType);
    // A copy of the picture under `index` at `size` pixels, for the caller to destroy; null when
    // no list of that size exists or the index is -1.
    HICON CopyIcon(int index, int size);
    // Stores a copy of `icon` under `index` at `size` pixels; indices the list had not seen yet
    // up to `index` get the same picture. False when the list cannot be made or a slot refused.
    [[nodiscard]] bool SetIcon(int index, HICON icon, int size);

private:
    using ImageListPtr = boost::shared_ptr<IconImageList>;

    int NewIndex(DWORD flags);
    ImageListPtr GetImageList(int size);
    int FindInOtherViews(const std::wstring& fileName, ViewData* defaultView);
    int AddFileIcon(const std::wstring& extension, const std::wstring& fileName, ViewData* defaultView);
    int AddWfIcon(WfIconID id, int variant, IconData* existing, const wchar_t* pngName, int useType);
    [[nodiscard]] bool LoadWfResourceIcon(WfIconID id, int size, int index);
    int GetOverlayIndex(int variant, IconData* entry, DWORD flags);
    void LoadBuiltinSet();
    ViewData* DefaultViewData(bool create);
    static int PlainIndexOf(const IconData* entry) noexcept;
    static void Release(IconData* entry, std::vector<int>& freed);

    std::vector<DWORD> m_indexFlags;                   // GIL_* flags per logical index
    std::map<std::wstring, IconData*> m_extensions;    // per type: lower-case extension
    std::map<std::wstring, IconData*> m_types;         // first entry made per extension
    std::map<ViewID, ViewData*> m_views;
    std::map<int, ImageListPtr> m_imageLists;          // by pixel edge
    CCriticalSection m_lock;
    std::map<WfIconID, IconData*> m_builtins;
    std::map<std::wstring, std::wstring> m_statusIconNames;
    ScopedHMODULE m_workflowLibrary;
    int m_colourDepth = 0;
    int m_nextIndex = 0;
    int m_workflowUseType = 3;
    bool m_builtinsLoaded = false;
};
