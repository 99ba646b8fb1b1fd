#pragma once
// What the module uses of the host's stored-procedure client, Dbcall.dll.
#include <windows.h>
#include <string>
#include <vector>
#include "toolkit/Lst.h"

#ifdef DBCALL_BUILD
#define DBCALL_API __declspec(dllexport)
#else
#define DBCALL_API __declspec(dllimport)
#endif

using SPID = int;

// Wide string field of a record. Owned by Dbcall.dll: made and freed there.
class DBCALL_API SpStr {
public:
    SpStr() noexcept;
    SpStr(const wchar_t* text);
    SpStr(const SpStr& other);
    SpStr& operator=(const SpStr& other);
    SpStr(SpStr&& other) noexcept;             // takes the text over; `other` is left empty
    SpStr& operator=(SpStr&& other) noexcept;
    ~SpStr();
    operator const wchar_t*() const noexcept;  // never null
private:
    wchar_t* m_text;
};

// Branch header. The caller allocates it and destroys it after use.
class DBCALL_API SpBranchBasicInfo {
public:
    SpBranchBasicInfo();
    ~SpBranchBasicInfo();
    SpStr name;
    SpStr creator;
    double created;  // automation date; 0.0 means none
};

// One branched file; handed out on the heap, owned by the caller once returned.
class DBCALL_API SpBranchFileInfo {
public:
    SpBranchFileInfo();
    ~SpBranchFileInfo();
    int sourceDocId;
    int sourceFolderId;
    int thirdId;
    int branchDocId;
    double value;
    int branchFolderId;
    SpStr sourceName;
    SpStr branchName;
    SpStr sourceFolder;
    SpStr branchFolder;
    bool shared;
};

// Query and answer record of a vault file lookup.
struct DocFolderIDInfo {
    int folderId = 0;
    std::wstring fileName;
    std::wstring localPath;
};

class DBCALL_API SpProc {
public:
    virtual ~SpProc();
};

class DBCALL_API SpBranch : public SpProc {
public:
    // 0 on success: the header is filled and one heap record per branched file appended.
    virtual long mhGetBranchDetails(long branchId, SpBranchBasicInfo& info,
                                    std::vector<SpBranchFileInfo*>& files) = 0;
};

class DBCALL_API SpDocument : public SpProc {
public:
    // 0 on success; the file is in the vault when `found` then holds an element.
    // Records put into `found` are the caller's to delete.
    virtual long mhGetFileExist(Lst<DocFolderIDInfo*>& query, Lst<DocFolderIDInfo*>& found) = 0;
};

namespace SpProcId {
constexpr SPID Document = 12;
constexpr SPID Branch = 68;
}

class DBCALL_API SpMgr {
public:
    virtual ~SpMgr();
    // The procedure object for an id, or null; never released by the caller.
    virtual SpProc* mpoGetProc(SPID id) const = 0;
};
