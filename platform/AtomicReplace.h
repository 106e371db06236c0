#pragma once
// Puts a finished file in the place of another in one step: a reader of the destination finds
// the old file or the new one whole, never a missing or half-written one.
#include <string>

namespace kestova {

// Moves `from` over `to` (which may exist) in the same folder. False on failure, with the
// system's text in `error`; both files are then as they were.
bool ReplaceAtomically(const std::string& from, const std::string& to, std::string& error);

}  // namespace kestova
