// plugin/save_cache.cpp: the save cache list and its clearing.
#include "plugin/save_cache.h"

#include "metadata/value_converters.h"
#include "platform/allocation.h"

namespace pixelfold {

template <class T>
bool Lst<T>::Append(T entry) noexcept {
    auto* node = static_cast<Node*>(NewTaskMemory(sizeof(Node)));
    if (node == nullptr) return false;
    *node = Node{entry, nullptr, tail_};
    if (tail_ != nullptr) {
        tail_->next = node;
    } else {
        head_ = node;
    }
    tail_ = node;
    ++count_;
    return true;
}

template <class T>
T Lst<T>::TakeFirst() noexcept {
    Node* node = head_;
    if (node->next != nullptr) {
        node->next->previous = nullptr;
    } else {
        tail_ = nullptr;
    }
    head_ = node->next;
    --count_;
    T entry = node->entry;
    CoTaskMemFree(node);
    return entry;
}

template class Lst<SaveCacheValue*>;

void SaveCache::Clear() noexcept {
    while (!values_.empty()) {
        SaveCacheValue* value = values_.TakeFirst();
        if (value == nullptr) continue;
        FreeItemFromVariant(value->item);
        delete value;
    }
}

}  // namespace pixelfold
