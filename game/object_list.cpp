#include "game/object_list.h"

void ObjectList::insert(void* item, int position) {
    if (position < 0 || position > count) return;
    auto* node = new ObjectNode{};
    node->item = item;
    if (!head) {
        head = node;
        cursor = node;
    } else if (position == 0) {
        node->next = head;
        head->prev = node;
        head = node;
    } else {
        ObjectNode* before = nodeAt(position - 1);
        node->prev = before;
        node->next = before->next;
        if (before->next) before->next->prev = node;
        before->next = node;
    }
    ++count;
}

ObjectNode* ObjectList::nodeAt(int position) const {
    if (position < 0 || position >= count) return nullptr;
    ObjectNode* node = head;
    for (int i = 0; i < position; ++i) node = node->next;
    return node;
}

ObjectNode* ObjectList::unlink(int position) {
    ObjectNode* node = nodeAt(position);
    if (!node) return nullptr;
    if (node->prev) {
        node->prev->next = node->next;
    } else {
        head = node->next;
    }
    if (node->next) node->next->prev = node->prev;
    // The cursor never points at a freed node: an iteration that goes on
    // after a removal continues with the removed node's successor.
    if (cursor == node) cursor = node->next;
    --count;
    return node;
}

void ObjectList::remove(int position) { delete unlink(position); }

void* ObjectList::take(int position) {
    ObjectNode* node = unlink(position);
    if (!node) return nullptr;
    void* item = node->item;
    delete node;
    return item;
}

void* ObjectList::next() {
    if (!cursor) return nullptr;
    void* item = cursor->item;
    cursor = cursor->next;
    return item;
}
