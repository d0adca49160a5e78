#include <gtest/gtest.h>

#include <vector>

#include "game/object_list.h"

namespace {

int a = 1, b = 2, c = 3, d = 4;

// The items from head to tail, checking every back link on the way.
std::vector<void*> walk(const ObjectList& list) {
    std::vector<void*> items;
    ObjectNode* previous = nullptr;
    for (ObjectNode* node = list.head; node; node = node->next) {
        EXPECT_EQ(node->prev, previous);
        items.push_back(node->item);
        previous = node;
    }
    EXPECT_EQ(static_cast<int>(items.size()), list.count);
    return items;
}

void empty(ObjectList& list) {
    while (list.take(0)) {
    }
}

TEST(ObjectList, InsertAtFrontReversesTheOrder) {
    ObjectList list;
    list.insert(&a, 0);
    list.insert(&b, 0);
    list.insert(&c, 0);
    EXPECT_EQ(walk(list), (std::vector<void*>{&c, &b, &a}));
    EXPECT_EQ(list.take(0), &c);
    EXPECT_EQ(walk(list), (std::vector<void*>{&b, &a}));
    empty(list);
}

TEST(ObjectList, InsertPositions) {
    ObjectList list;
    list.insert(&a, 1);  // beyond count of an empty list
    EXPECT_TRUE(list.isEmpty());
    list.insert(&a, 0);
    list.insert(&c, 1);  // at count: appends
    list.insert(&b, 1);  // between
    list.insert(&d, 4);  // beyond count
    EXPECT_EQ(walk(list), (std::vector<void*>{&a, &b, &c}));
    empty(list);
}

TEST(ObjectList, OutOfRangePositions) {
    ObjectList list;
    EXPECT_EQ(list.take(0), nullptr);
    list.remove(0);
    list.insert(&a, 0);
    list.insert(&b, 1);
    for (int position : {-1, 2}) {
        EXPECT_EQ(list.take(position), nullptr) << position;
        EXPECT_EQ(list.nodeAt(position), nullptr) << position;
        list.remove(position);
    }
    EXPECT_EQ(walk(list), (std::vector<void*>{&a, &b}));
    EXPECT_EQ(list.nodeAt(1)->item, &b);
    empty(list);
}

TEST(ObjectList, RemovingKeepsTheLinksStraight) {
    ObjectList list;
    for (int* item : {&d, &c, &b, &a}) list.insert(item, 0);
    list.remove(list.count - 1);
    EXPECT_EQ(list.nodeAt(2)->next, nullptr);
    list.remove(0);
    EXPECT_EQ(list.head->prev, nullptr);
    EXPECT_EQ(walk(list), (std::vector<void*>{&b, &c}));
    list.remove(1);
    list.remove(0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.head, nullptr);
}

TEST(ObjectList, IterationWithTheCursor) {
    ObjectList list;
    list.rewind();
    EXPECT_EQ(list.next(), nullptr);
    list.insert(&b, 0);
    list.insert(&a, 0);
    list.rewind();
    EXPECT_EQ(list.next(), &a);
    EXPECT_EQ(list.next(), &b);
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(list.next(), nullptr);
    empty(list);
}

TEST(ObjectList, RemovingTheCursorsNodeMovesTheCursorOn) {
    ObjectList list;
    for (int* item : {&c, &b, &a}) list.insert(item, 0);
    list.rewind();
    list.next();         // cursor now at b
    list.remove(1);      // b
    EXPECT_EQ(list.next(), &c);
    empty(list);
}

}  // namespace
