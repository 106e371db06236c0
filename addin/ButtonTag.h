#pragma once
// Tags of the add-in's command-bar buttons: the caption, "_" and the next number of one
// generator shared by the whole library (state 0 at load, never reseeded), so every button
// Office keeps for us carries a tag of its own.
#include <cstdint>
#include <string>

namespace kestova {

// The generator's next number, 0 to 2147483646; the first three in a process are 0, 67387906
// and 1849087502.
std::int32_t NextButtonNumber();

std::wstring ButtonTag(const std::wstring& caption);

}  // namespace kestova
