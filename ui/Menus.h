#pragma once
// A pop-up menu of actions; a null action is a separator.
#include "ui/Action.h"

#include <string>
#include <vector>

namespace kestova {

class TPopupMenu : public TComponent {
public:
    TPopupMenu(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }

    const std::vector<TAction*>& Items() const { return items_; }
    void AddItem(TAction* action) { items_.push_back(action); }
    void AddSeparator() { items_.push_back(nullptr); }
    // The item showing `caption` (accelerator ampersands ignored), or null.
    TAction* Find(const std::string& caption) const;

private:
    std::vector<TAction*> items_;
};

// "&Record" -> "Record"; "&&" stays one ampersand.
std::string StripHotkey(const std::string& caption);

}  // namespace kestova
