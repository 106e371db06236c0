#pragma once
// A property setter's common step: store the value and tell whether that changed anything, so
// views repaint only on a real change.
#include <utility>

namespace kestova {

template <class T>
bool StoreChanged(T& field, T value) {
    if (field == value) return false;
    field = std::move(value);
    return true;
}

}  // namespace kestova
