#pragma once
// The ID3v1 tag block of an MP3 file: its last 128 bytes when they begin with "TAG".
#include <array>
#include <cstdint>
#include <string>

namespace kestova {

using TTagBlock = std::array<uint8_t, 128>;

// Fills `block` from the end of `fileName`, or with the empty block when the file holds no
// tag. Raises EFOpenError when the file cannot be opened.
void ReadTag(const std::string& fileName, TTagBlock& block);

}  // namespace kestova
