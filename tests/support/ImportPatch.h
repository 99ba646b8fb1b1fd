#pragma once
// Points the program's import of dll!function at a replacement while the object lives: calls that
// the program's own code (the module's static libraries linked into it) makes go to the replacement.

namespace lineage_test {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch();
    void* Original() const { return m_original; }
    bool Installed() const { return m_original != nullptr; }

private:
    const char* m_dll;
    const char* m_function;
    void* m_original = nullptr;
};

} // namespace lineage_test
