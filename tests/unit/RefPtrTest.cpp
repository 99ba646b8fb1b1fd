#include <gtest/gtest.h>
#include "toolkit/RefPtr.h"
#include "toolkit/Lst.h"

namespace {

struct Counted : BFC::RefObj {
    explicit Counted(int* alive) : alive(alive) { ++*alive; }
    ~Counted() override { --*alive; }
    int* alive;
};

TEST(RefPtr, NewObjectHasNoOwnerUntilTheFirstPointerTakesIt) {
    int alive = 0;
    auto* obj = new Counted(&alive);
    EXPECT_EQ(obj->RefCount(), 0u);
    {
        RefPtr<Counted> p(obj);
        EXPECT_EQ(obj->RefCount(), 1u);
    }
    EXPECT_EQ(alive, 0);
}

TEST(RefPtr, AssigningTheHeldObjectLeavesTheCountAlone) {
    int alive = 0;
    RefPtr<Counted> a(new Counted(&alive));
    RefPtr<Counted> b(a);
    ASSERT_EQ(a->RefCount(), 2u);
    a = a;
    a = b;
    a = b.get();
    EXPECT_EQ(a->RefCount(), 2u);
    b = nullptr;
    EXPECT_EQ(a->RefCount(), 1u);
    a = nullptr;
    EXPECT_EQ(alive, 0);
}

TEST(Lst, RemoveAllOnAnEmptyListLeavesItEmpty) {
    Lst<int> list;
    list.RemoveAll();
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(Lst, KeepsInsertionOrderAndReleasesItsReferences) {
    int alive = 0;
    {
        Lst<RefPtr<Counted>> list;
        for (int i = 0; i < 3; ++i)
            list.AddTail(RefPtr<Counted>(new Counted(&alive)));
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(alive, 3);
        EXPECT_EQ(list.Head()->value->RefCount(), 1u);
        EXPECT_EQ(list.Head()->next->prev, list.Head());
        EXPECT_EQ(list.Tail()->next, nullptr);
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
