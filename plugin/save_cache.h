// plugin/save_cache.h: the navigator's list of property items waiting to be written back.
// Nothing in the plug-in writes to an image, so the list stays empty; it is kept, and
// emptied when the navigator goes, so that a write path has its place.
#pragma once

#include <cstdint>

#include "platform/property_item.h"

namespace pixelfold {

// One waiting item, as a row's variant-to-item converter makes it.
struct SaveCacheValue {
    PropertyItem* item = nullptr;
};

// A doubly linked list whose nodes come from COM task memory.
template <class T>
class Lst {
  public:
    struct Node {
        T entry;
        Node* next;
        Node* previous;
    };

    Lst() = default;
    Lst(const Lst&) = delete;
    Lst& operator=(const Lst&) = delete;
    ~Lst() {
        while (head_ != nullptr)
            TakeFirst();
    }

    // Appends `entry`; false when no node can be had.
    bool Append(T entry) noexcept;
    // Unlinks the first node and returns its entry; the list must not be empty.
    T TakeFirst() noexcept;
    bool empty() const noexcept { return head_ == nullptr; }
    std::uint32_t size() const noexcept { return count_; }

  private:
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    std::uint32_t count_ = 0;
};

class SaveCache {
  public:
    SaveCache() = default;
    SaveCache(const SaveCache&) = delete;
    SaveCache& operator=(const SaveCache&) = delete;
    ~SaveCache() { Clear(); }

    // Takes ownership of `value` (and its item) when it returns true.
    bool Add(SaveCacheValue* value) noexcept { return values_.Append(value); }
    // Frees every entry with its item (ClearSaveCache).
    void Clear() noexcept;
    std::uint32_t size() const noexcept { return values_.size(); }

  private:
    Lst<SaveCacheValue*> values_;
};

}  // namespace pixelfold
