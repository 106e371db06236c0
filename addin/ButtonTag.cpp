#include "addin/ButtonTag.h"

#include <atomic>

namespace kestova {

namespace {
std::atomic<std::uint32_t> generatorState{0};
}  // namespace

std::int32_t NextButtonNumber() {
    std::uint32_t state = generatorState.load();
    std::uint32_t next;
    do {
        next = state * 134775813u + 1u;  // modulo 2^32 by unsigned wrap-around
    } while (!generatorState.compare_exchange_weak(state, next));
    return static_cast<std::int32_t>((std::uint64_t(next) * 2147483647u) >> 32);
}

std::wstring ButtonTag(const std::wstring& caption) {
    return caption + L"_" + std::to_wstring(NextButtonNumber());
}

}  // namespace kestova
