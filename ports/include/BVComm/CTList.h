#pragma once

#include <cassert>
#include <set>

namespace Brevan2011 {
namespace BVComm {

// A doubly linked list with a cursor. Copies share the entries (for pointer entries, the
// pointed-to objects), not the nodes.
template <class T>
class CTList {
public:
    CTList() = default;
    ~CTList() { Clear(); }

    CTList(const CTList& other) { copyFrom(other); }
    CTList& operator=(const CTList& other) {
        if (this != &other) {
            Clear();
            copyFrom(other);
        }
        return *this;
    }

    void AddHead(const T& entry) {
        Node* node = new Node{entry, nullptr, head_};
        if (head_ != nullptr) {
            head_->prev = node;
        } else {
            tail_ = node;
        }
        head_ = node;
        ++count_;
    }

    void AddTail(const T& entry) {
        Node* node = new Node{entry, tail_, nullptr};
        if (tail_ != nullptr) {
            tail_->next = node;
        } else {
            head_ = node;
        }
        tail_ = node;
        ++count_;
    }

    // The first entry, removed; a value-initialised entry when the list is empty.
    T RemoveHead() {
        if (head_ == nullptr) {
            return T{};
        }
        T entry = head_->entry;
        unlink(head_);
        return entry;
    }

    T RemoveTail() {
        if (tail_ == nullptr) {
            return T{};
        }
        T entry = tail_->entry;
        unlink(tail_);
        return entry;
    }

    // Unlinks every node holding entry.
    void Remove(const T& entry) {
        Node* node = head_;
        while (node != nullptr) {
            Node* next = node->next;
            if (node->entry == entry) {
                unlink(node);
            }
            node = next;
        }
    }

    // Remove, then deletes the entry once however often it was held.
    void RemoveData(const T& entry) {
        bool held = false;
        Node* node = head_;
        while (node != nullptr) {
            Node* next = node->next;
            if (node->entry == entry) {
                unlink(node);
                held = true;
            }
            node = next;
        }
        if (held) {
            delete entry;
        }
    }

    void Clear() {
        while (head_ != nullptr) {
            unlink(head_);
        }
    }

    // Clear, deleting each distinct entry once.
    void ClearData() {
        std::set<T> deleted;
        while (head_ != nullptr) {
            T entry = head_->entry;
            unlink(head_);
            if (deleted.insert(entry).second) {
                delete entry;
            }
        }
    }

    bool IsEmpty() const { return count_ == 0; }
    unsigned long GetNumEntries() const { return count_; }

    // Cursor walk. Calling these on an empty list or past an end is a caller's error.
    T& GetHead() {
        assert(head_ != nullptr);
        cursor_ = head_;
        return cursor_->entry;
    }
    T& GetTail() {
        assert(tail_ != nullptr);
        cursor_ = tail_;
        return cursor_->entry;
    }
    T& GetNext() {
        assert(cursor_ != nullptr && cursor_->next != nullptr);
        cursor_ = cursor_->next;
        return cursor_->entry;
    }
    T& GetPrev() {
        assert(cursor_ != nullptr && cursor_->prev != nullptr);
        cursor_ = cursor_->prev;
        return cursor_->entry;
    }
    bool IsFirst() const { return cursor_ != nullptr && cursor_ == head_; }
    bool IsLast() const { return cursor_ != nullptr && cursor_ == tail_; }

private:
    struct Node {
        T entry;
        Node* prev;
        Node* next;
    };

    void unlink(Node* node) {
        if (node->prev != nullptr) {
            node->prev->next = node->next;
        } else {
            head_ = node->next;
        }
        if (node->next != nullptr) {
            node->next->prev = node->prev;
        } else {
            tail_ = node->prev;
        }
        if (cursor_ == node) {
            cursor_ = nullptr;
        }
        delete node;
        --count_;
    }

    void copyFrom(const CTList& other) {
        for (Node* node = other.head_; node != nullptr; node = node->next) {
            AddTail(node->entry);
        }
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    Node* cursor_ = nullptr;
    unsigned long count_ = 0;
};

}  // namespace BVComm
}  // namespace Brevan2011
