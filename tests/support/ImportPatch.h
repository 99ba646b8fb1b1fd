#pragma once
// Points the program's import of dll!function at a replacement while the object lives: calls from the
// program's own code (the module's static libraries linked into it) go to the replacement.
#include <windows.h>
#include <cstring>

namespace lineage_test {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
        : m_dll(dll), m_function(function), m_original(Patch(dll, function, replacement)) {}
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch() {
        if (m_original)
            Patch(m_dll, m_function, m_original);
    }
    void* Original() const { return m_original; }
    bool Installed() const { return m_original != nullptr; }

private:
    // Answers the previous target.
    static void* Patch(const char* dll, const char* name, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
            if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slot) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                    std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name))
                    continue;
                DWORD protection = 0;
                ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
                void* previous = reinterpret_cast<void*>(slot->u1.Function);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
                ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
                return previous;
            }
        }
        return nullptr;
    }

    const char* m_dll;
    const char* m_function;
    void* m_original = nullptr;
};

} // namespace lineage_test
