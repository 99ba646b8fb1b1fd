#pragma once
#include <objbase.h>
#include <new>
#include <utility>

namespace BFC {

// Doubly linked list whose nodes live on the COM task allocator, so that a list filled
// in one module can be emptied in another. Emptying destroys the values only: a list of
// raw pointers never deletes what they point to.
template <class T>
class Lst {
public:
    struct Node {
        T value;
        Node* next;
        Node* prev;
    };

    Lst() noexcept = default;
    Lst(const Lst&) = delete;
    Lst& operator=(const Lst&) = delete;
    ~Lst() { RemoveAll(); }

    // Throws std::bad_alloc when the task allocator is exhausted; the list is unchanged then.
    void AddTail(T value) {
        void* mem = ::CoTaskMemAlloc(sizeof(Node));
        if (!mem)
            throw std::bad_alloc();
        Node* node = new (mem) Node{std::move(value), nullptr, m_tail};
        ++m_count;
        if (m_tail)
            m_tail->next = node;
        m_tail = node;
        if (!m_head)
            m_head = node;
    }

    void RemoveAll() noexcept {
        while (m_head) {
            Node* next = m_head->next;
            --m_count;
            m_head->~Node();
            ::CoTaskMemFree(m_head);
            m_head = next;
        }
        m_tail = nullptr;
    }

    Node* Head() const noexcept { return m_head; }
    Node* Tail() const noexcept { return m_tail; }
    int GetCount() const noexcept { return m_count; }
    bool IsEmpty() const noexcept { return m_count == 0; }

    template <class F>
    void ForEach(F&& f) const {
        for (Node* n = m_head; n; n = n->next)
            f(n->value);
    }

private:
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};

} // namespace BFC

using BFC::Lst;
