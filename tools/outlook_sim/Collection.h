#pragma once
// Item lookup shared by the simulated collections: a number is a 1-based index, anything else
// a name compared without regard to case. A miss fails as Outlook's collections do.
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/OleError.h"
#include "addin/com/Variant.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/AutoObject.h"

namespace kestova::sim {

inline bool IsNumber(const com::TVariant& key) {
    switch (key.Type()) {
        case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8:
        case VT_INT: case VT_UINT: case VT_R4: case VT_R8: return true;
        default: return false;
    }
}

// The item of that name, or null.
template <class T, class NameOf>
com::ComPtr<T> FindNamed(const std::vector<com::ComPtr<T>>& items, const std::wstring& name, NameOf nameOf) {
    for (const com::ComPtr<T>& item : items)
        if (SameName(nameOf(*item.Get()).c_str(), name.c_str())) return item;
    return nullptr;
}

// The item a number from 1 to Count names, or null for any other key.
template <class T>
com::ComPtr<T> AtNumber(const std::vector<com::ComPtr<T>>& items, const com::TVariant& key) {
    if (!IsNumber(key)) return nullptr;
    const long index = key.AsLong();
    return index >= 1 && size_t(index) <= items.size() ? items[index - 1] : nullptr;
}

template <class T, class NameOf>
com::ComPtr<T> FindItem(const std::vector<com::ComPtr<T>>& items, const com::TVariant& key, NameOf nameOf) {
    if (com::ComPtr<T> item = IsNumber(key) ? AtNumber(items, key) : FindNamed(items, key.AsText(), nameOf)) return item;
    throw com::EOleError(DISP_E_BADINDEX, "The item \"" + win32::Narrow(key.AsText()) + "\" does not exist");
}

// Outlook's own collections whose entries have no default member (Attachments, the window
// collections) take a number from 1 to Count; anything else fails as Outlook fails, with
// "Array index out of bounds." (DISP_E_BADINDEX).
template <class T>
com::ComPtr<T> ItemAt(const std::vector<com::ComPtr<T>>& items, const com::TVariant& key) {
    if (com::ComPtr<T> item = AtNumber(items, key)) return item;
    throw com::EOleError(DISP_E_BADINDEX, "Array index out of bounds.");
}

// Entries point back at their collection; a removed entry, or every entry of a collection
// that goes away, forgets it, since clients may hold entries longer.
template <class T, class U>
void RemoveItem(std::vector<com::ComPtr<T>>& items, const U* item) {
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->Get() == item) {
            (*it)->Orphan();
            items.erase(it);
            return;
        }
    }
}

template <class T>
void AppendAll(const std::vector<com::ComPtr<T>>& items, std::vector<const TAutoObject*>& out) {
    for (const com::ComPtr<T>& item : items) out.push_back(item.Get());
}

template <class T>
void OrphanAll(const std::vector<com::ComPtr<T>>& items) {
    for (const com::ComPtr<T>& item : items) item->Orphan();
}

}  // namespace kestova::sim
