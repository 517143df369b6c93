#include <gtest/gtest.h>

#include <vector>

#include "BVComm/CTList.h"

using Brevan2011::BVComm::CTList;

namespace {

std::vector<int> walk(CTList<int>& list) {
    std::vector<int> out;
    if (list.IsEmpty()) {
        return out;
    }
    out.push_back(list.GetHead());
    while (!list.IsLast()) {
        out.push_back(list.GetNext());
    }
    return out;
}

std::vector<int> walkBack(CTList<int>& list) {
    std::vector<int> out;
    if (list.IsEmpty()) {
        return out;
    }
    out.push_back(list.GetTail());
    while (!list.IsFirst()) {
        out.push_back(list.GetPrev());
    }
    return out;
}

// Counts its destructions, to see each entry deleted exactly once.
struct Tracked {
    explicit Tracked(int* deaths) : deaths(deaths) {}
    ~Tracked() { ++*deaths; }
    int* deaths;
};

TEST(CTList, OrderRemovalAndCursorWalk) {
    struct Case {
        const char* what;
        void (*build)(CTList<int>&);
        std::vector<int> expected;
    } cases[] = {
        {"tail adds keep order",
         [](CTList<int>& l) {
             l.AddTail(1);
             l.AddTail(2);
             l.AddTail(3);
         },
         {1, 2, 3}},
        {"head adds reverse",
         [](CTList<int>& l) {
             l.AddHead(1);
             l.AddHead(2);
             l.AddHead(3);
         },
         {3, 2, 1}},
        {"remove head and tail",
         [](CTList<int>& l) {
             for (int i = 1; i <= 5; ++i) {
                 l.AddTail(i);
             }
             EXPECT_EQ(l.RemoveHead(), 1);
             EXPECT_EQ(l.RemoveTail(), 5);
         },
         {2, 3, 4}},
        {"remove an entry held twice",
         [](CTList<int>& l) {
             l.AddTail(7);
             l.AddTail(8);
             l.AddTail(7);
             l.AddTail(9);
             l.Remove(7);
         },
         {8, 9}},
        {"remove the middle under the cursor",
         [](CTList<int>& l) {
             l.AddTail(1);
             l.AddTail(2);
             l.AddTail(3);
             l.GetHead();
             l.GetNext();
             l.Remove(2);
             EXPECT_FALSE(l.IsFirst());
             EXPECT_FALSE(l.IsLast());
         },
         {1, 3}},
        {"empty list removals give a value-initialised entry",
         [](CTList<int>& l) {
             EXPECT_EQ(l.RemoveHead(), 0);
             EXPECT_EQ(l.RemoveTail(), 0);
         },
         {}},
        {"clear",
         [](CTList<int>& l) {
             l.AddTail(1);
             l.AddTail(2);
             l.Clear();
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTList<int> list;
        c.build(list);
        EXPECT_EQ(list.GetNumEntries(), c.expected.size());
        EXPECT_EQ(list.IsEmpty(), c.expected.empty());
        EXPECT_EQ(walk(list), c.expected);
        std::vector<int> reversed(c.expected.rbegin(), c.expected.rend());
        EXPECT_EQ(walkBack(list), reversed);
    }
}

TEST(CTList, ReferencesFromTheCursorWriteThrough) {
    CTList<int> list;
    list.AddTail(1);
    list.AddTail(2);
    list.GetHead() = 10;
    list.GetNext() += 5;
    EXPECT_EQ(walk(list), (std::vector<int>{10, 7}));
}

TEST(CTList, CopiesShareEntriesNotNodes) {
    int deaths = 0;
    auto* a = new Tracked(&deaths);
    auto* b = new Tracked(&deaths);
    CTList<Tracked*> list;
    list.AddTail(a);
    list.AddTail(b);
    CTList<Tracked*> copy(list);
    CTList<Tracked*> assigned;
    assigned.AddTail(b);
    assigned = list;
    EXPECT_EQ(copy.GetNumEntries(), 2u);
    EXPECT_EQ(copy.GetHead(), a);
    EXPECT_EQ(assigned.GetTail(), b);

    copy.Remove(a);  // the copy's own nodes only
    EXPECT_EQ(copy.GetNumEntries(), 1u);
    EXPECT_EQ(list.GetNumEntries(), 2u);
    EXPECT_EQ(list.GetHead(), a);

    copy.Clear();
    assigned.Clear();
    list.ClearData();
    EXPECT_EQ(deaths, 2);
}

TEST(CTList, EntriesHeldTwiceAreDeletedOnce) {
    int deaths = 0;
    auto* a = new Tracked(&deaths);
    auto* b = new Tracked(&deaths);
    CTList<Tracked*> list;
    list.AddTail(a);
    list.AddTail(b);
    list.AddTail(a);
    list.RemoveData(a);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(list.GetNumEntries(), 1u);

    list.AddTail(b);
    list.ClearData();
    EXPECT_EQ(deaths, 2);
    EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
