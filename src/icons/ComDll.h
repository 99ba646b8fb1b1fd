#pragma once
// An in-process COM server loaded by hand, for classes that CoCreateInstance cannot create.
#include <windows.h>
#include <objbase.h>
#include "base/ScopedHandle.h"

class ComDll {
public:
    ComDll() noexcept = default;
    ComDll(const ComDll&) = delete;
    ComDll& operator=(const ComDll&) = delete;
    // Frees the server when one is loaded.
    ~ComDll();

    // Loads the server at `path` with its own folder as the current directory, so that it finds
    // what it loads by bare name beside itself; the process's current directory is restored.
    // False when the server does not load or exports no DllGetClassObject (then nothing is held).
    [[nodiscard]] bool Load(const wchar_t* path);

    // Creates an instance of `clsid` through the server's class factory, asking for `iid`.
    // E_UNEXPECTED when no server is loaded; otherwise the factory's answer.
    [[nodiscard]] HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** object) const;

    bool IsLoaded() const noexcept { return static_cast<bool>(m_module); }

private:
    ScopedHMODULE m_module;
    LPFNGETCLASSOBJECT m_getClassObject = nullptr;
};
