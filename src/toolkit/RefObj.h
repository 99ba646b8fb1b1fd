#pragma once
#include <atomic>
#include <cstdint>

namespace BFC {

// Intrusive, thread-safe reference count. A new object has no owner (count 0) until
// the first RefPtr or AddRef takes it; the release that brings the count to 0 deletes it
// through the virtual destructor. Nobody else deletes a RefObj.
class RefObj {
public:
    RefObj() noexcept = default;
    RefObj(const RefObj&) = delete;
    RefObj& operator=(const RefObj&) = delete;
    virtual ~RefObj() = default;

    void AddRef() const noexcept { m_refs.fetch_add(1, std::memory_order_relaxed); }

    void Release() const noexcept {
        if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

    uint32_t RefCount() const noexcept { return m_refs.load(std::memory_order_relaxed); }

private:
    mutable std::atomic<uint32_t> m_refs{0};
};

} // namespace BFC

using BFC::RefObj;
