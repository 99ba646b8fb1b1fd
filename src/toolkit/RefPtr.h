#pragma once
#include "toolkit/RefObj.h"
#include <utility>

namespace BFC {

// Owning pointer to a RefObj: construction and copies add a reference, destruction releases it.
template <class T>
class RefPtr {
public:
    RefPtr() noexcept = default;
    RefPtr(T* p) noexcept : m_p(p) { if (m_p) m_p->AddRef(); }
    RefPtr(const RefPtr& other) noexcept : RefPtr(other.m_p) {}
    RefPtr(RefPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    template <class U>
    RefPtr(const RefPtr<U>& other) noexcept : RefPtr(other.get()) {}
    ~RefPtr() { if (m_p) m_p->Release(); }

    RefPtr& operator=(T* p) noexcept {
        if (p == m_p)
            return *this;  // re-assigning the held object must not touch its count
        T* old = std::exchange(m_p, p);
        if (old) old->Release();
        if (m_p) m_p->AddRef();
        return *this;
    }
    RefPtr& operator=(const RefPtr& other) noexcept { return *this = other.m_p; }
    RefPtr& operator=(RefPtr&& other) noexcept {
        if (this != &other) {
            T* old = std::exchange(m_p, std::exchange(other.m_p, nullptr));
            if (old) old->Release();
        }
        return *this;
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    T& operator*() const noexcept { return *m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

} // namespace BFC

using BFC::RefPtr;
