#pragma once
// A list that owns its entries: removing an entry destroys it, and so does destroying the
// list. Entries are found by object identity.
#include <algorithm>
#include <memory>
#include <vector>

namespace kestova {

template <class T>
class TOwningList {
public:
    T& Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return *items_.back();
    }

    // Removes and destroys `item`; false when it is not in the list. The entry is taken out
    // of the list before it is destroyed, so its destructor sees a consistent list.
    template <class U>
    bool Remove(const U* item) {
        const auto found = std::find_if(items_.begin(), items_.end(),
                                        [item](const std::unique_ptr<T>& entry) { return Same(entry.get(), item); });
        if (found == items_.end()) return false;
        const std::unique_ptr<T> doomed = std::move(*found);
        items_.erase(found);
        return true;
    }

    template <class U>
    bool Contains(const U* item) const {
        return std::any_of(items_.begin(), items_.end(),
                           [item](const std::unique_ptr<T>& entry) { return Same(entry.get(), item); });
    }

    size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    T& operator[](size_t index) const { return *items_.at(index); }

private:
    template <class U>
    static bool Same(const T* entry, const U* item) {
        return static_cast<const void*>(entry) == static_cast<const void*>(dynamic_cast<const T*>(item));
    }

    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace kestova
