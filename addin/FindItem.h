#pragma once
// Office collections answer a missing member with an error; the add-in asks for members that
// may or may not be there (its own toolbar and buttons, an earlier recording).
#include <oaidl.h>

#include <string>

#include "addin/com/Variant.h"

namespace kestova {

// The member `name` (a toolbar by name, a control by caption, an attachment by display name)
// of a collection; an empty value when it is missing or not an object.
com::TVariant FindItem(IDispatch* collection, const std::wstring& name);

}  // namespace kestova
