#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/number_text.hpp"
#include "platform/base/object_list.hpp"

namespace flopkin {

TEST(NumberText, TruncatesTowardZero) {
    EXPECT_EQ(float_to_int(2.9), 2);
    EXPECT_EQ(float_to_int(-2.9), -2);
    EXPECT_EQ(float_to_int(0.99999), 0);
    EXPECT_EQ(float_to_int(-0.5), 0);
    EXPECT_EQ(float_to_int(-0.0), 0);
    EXPECT_EQ(float_to_int(2147483520.0f), 2147483520);
}

TEST(NumberText, WildFloatsStayDefined) {
    EXPECT_EQ(float_to_int(1e20), 2147483647);
    EXPECT_EQ(float_to_int(-1e20), -2147483647 - 1);
    EXPECT_EQ(float_to_int(0.0 / 0.0), 0);
    EXPECT_EQ(float_to_int(1.0 / 0.0), 2147483647);
}

TEST(NumberText, Digits) {
    EXPECT_EQ(int_to_text(0), "0");
    EXPECT_EQ(int_to_text(-7), "-7");
    EXPECT_EQ(int_to_text(10), "10");
    EXPECT_EQ(int_to_text(100200), "100200");
    EXPECT_EQ(int_to_text(2147483647), "2147483647");
    EXPECT_EQ(int_to_text(-2147483647 - 1), "-2147483648");
    // a menu value: a setting times 100, truncated
    EXPECT_EQ(int_to_text(float_to_int(0.1f * 1000)), "100");
}

struct item {
    int id;
};

class ObjectList : public ::testing::Test {
protected:
    object_list<item> list;
    std::vector<std::shared_ptr<item>> items;

    void SetUp() override {
        for (int i = 1; i <= 5; ++i) {
            items.push_back(std::make_shared<item>(item{i}));
            list.add_last(items.back());
        }
    }

    std::vector<int> ids() {
        std::vector<int> seen;
        for (const auto& it : list.all()) seen.push_back(it->id);
        return seen;
    }
};

TEST_F(ObjectList, WalksInInsertionOrder) {
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(list.count(), 5u);
    EXPECT_FALSE(list.is_empty());
}

TEST_F(ObjectList, StampChangesWithTheElementsOnly) {
    object_list<item> other;
    EXPECT_NE(other.stamp(), list.stamp());  // no two lists share one
    auto seen = list.stamp();
    ids();  // a walk changes nothing
    list.remove(nullptr);  // nor does removing what is not there
    EXPECT_EQ(list.stamp(), seen);
    std::vector<std::uint64_t> stamps{seen};
    list.remove(items[2].get());
    stamps.push_back(list.stamp());
    list.add_last(items[2]);
    stamps.push_back(list.stamp());
    list.clear();
    stamps.push_back(list.stamp());
    std::sort(stamps.begin(), stamps.end());
    EXPECT_EQ(std::adjacent_find(stamps.begin(), stamps.end()), stamps.end());  // all different
}

TEST_F(ObjectList, RemovingTheCurrentElementKeepsTheWalkGoing) {
    std::vector<int> seen;
    for (auto it : list.all()) {
        seen.push_back(it->id);
        if (it->id % 2 == 0) list.remove(it.get());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(list.count(), 3u);
}

TEST_F(ObjectList, RemovingEveryElementDuringAWalkVisitsEachOnce) {
    int visits = 0;
    for (auto it : list.all()) {
        ++visits;
        list.remove(it.get());
    }
    EXPECT_EQ(visits, 5);
    EXPECT_TRUE(list.is_empty());
    EXPECT_EQ(list.slot_count(), 0u);  // compacted once the walk ended
}

TEST_F(ObjectList, ALaterElementRemovedDuringTheWalkIsSkipped) {
    std::vector<int> seen;
    for (auto it : list.all()) {
        seen.push_back(it->id);
        if (it->id == 2) list.remove(items[3].get());  // id 4, not reached yet
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 5}));
}

TEST_F(ObjectList, ElementsAppendedDuringTheWalkAreVisited) {
    std::vector<int> seen;
    for (auto it : list.all()) {
        seen.push_back(it->id);
        if (it->id <= 2) list.add_last(std::make_shared<item>(item{10 + it->id}));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 11, 12}));
    EXPECT_EQ(list.count(), 7u);
}

TEST_F(ObjectList, ClearDuringAWalkEndsItAndEmptiesTheList) {
    std::vector<int> seen;
    for (auto it : list.all()) {
        seen.push_back(it->id);
        if (it->id == 2) list.clear();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    EXPECT_TRUE(list.is_empty());
    list.add_last(items[0]);
    EXPECT_EQ(ids(), (std::vector<int>{1}));
}

TEST_F(ObjectList, NestedWalksSeeTheSameChanges) {
    std::vector<int> inner_seen;
    for (auto outer : list.all()) {
        if (outer->id != 1) continue;
        for (auto inner : list.all()) {
            inner_seen.push_back(inner->id);
            if (inner->id == 3) list.remove(inner.get());
        }
    }
    EXPECT_EQ(inner_seen, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 4, 5}));
}

TEST_F(ObjectList, RemoveTakesTheFirstOccurrenceOnlyAndIgnoresStrangers) {
    list.add_last(items[0]);  // id 1 again, at the end
    list.remove(items[0].get());
    EXPECT_EQ(ids(), (std::vector<int>{2, 3, 4, 5, 1}));
    item stranger{99};
    list.remove(&stranger);
    EXPECT_EQ(list.count(), 5u);
}

TEST_F(ObjectList, ARemovedElementLivesWhileSomethingHoldsIt) {
    std::weak_ptr<item> watch = items[2];
    std::shared_ptr<item> held = items[2];
    items.clear();
    list.remove(held.get());
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(held->id, 3);
    held.reset();
    EXPECT_TRUE(watch.expired());
}

}  // namespace flopkin
