#include "ui/Menus.h"

namespace kestova {

TAction* TPopupMenu::Find(const std::string& caption) const {
    for (TAction* item : items_)
        if (item && StripHotkey(item->Caption()) == StripHotkey(caption)) return item;
    return nullptr;
}

std::string StripHotkey(const std::string& caption) {
    std::string plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

}  // namespace kestova
