#pragma once
// Reference counting, IUnknown and the name lookup of a late-bound automation object; a
// derived object answers Invoke for the members it names.
#include <windows.h>
#include <oleauto.h>
#include <atomic>

// Counts live objects so that DllCanUnloadNow tells the truth.
extern std::atomic<long> g_liveObjects;

class DispatchObject : public IDispatch {
public:
    DispatchObject() noexcept { ++g_liveObjects; }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;
    virtual ~DispatchObject() { --g_liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) noexcept override;

protected:
    struct Member {
        const wchar_t* name;
        DISPID id;
    };
    virtual const Member* Members(size_t& count) const noexcept = 0;
    // The interface this object also answers to besides IUnknown and IDispatch, or IID_NULL.
    virtual REFIID DualInterface() const noexcept { return IID_NULL; }

private:
    std::atomic<ULONG> m_refs{1};
};
