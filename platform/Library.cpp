#include "platform/Library.h"

#include <utility>

namespace kestova {

TLibrary::~TLibrary() { Reset(); }

TLibrary::TLibrary(TLibrary&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

TLibrary& TLibrary::operator=(TLibrary&& other) noexcept {
    if (this != &other) {
        Reset();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

}  // namespace kestova
