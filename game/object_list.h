#pragma once
// ObjectList: a doubly linked list of item pointers that it does not own,
// addressed by position, with a built-in iteration cursor.

struct ObjectNode {
    ObjectNode* prev = nullptr;
    ObjectNode* next = nullptr;
    void* item = nullptr;
};

class ObjectList {
public:
    ObjectList() = default;
    // Frees nothing: the owner takes every item out first.
    virtual ~ObjectList() = default;

    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    // Links `item` in so that it ends up at `position` (0 .. count); beyond count, nothing.
    void insert(void* item, int position);
    // Unlinks and frees the node at `position`; the item is not deleted.
    void remove(int position);
    // Like remove, but hands back the item; nullptr when out of range.
    void* take(int position);
    bool isEmpty() const { return count == 0; }
    ObjectNode* nodeAt(int position) const;

    void rewind() { cursor = head; }
    // The cursor's item, moving on; nullptr once iteration has ended.
    void* next();

    ObjectNode* cursor = nullptr;
    ObjectNode* head = nullptr;
    int count = 0;

private:
    ObjectNode* unlink(int position);
};
