#pragma once
// A method callback: a procedure bound to the object it is called on. Empty means unassigned.
#include <functional>

namespace kestova {

template <class... Args>
using TEvent = std::function<void(Args...)>;

}  // namespace kestova
