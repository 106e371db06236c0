#include "ui/ComCtrls.h"

#include "ui/ChangedField.h"
#include "ui/Menus.h"

#include <algorithm>

namespace kestova {

void TProgressBar::SetMax(int max) {
    max_ = std::max(0, max);
    SetPosition(position_);
    Changed();
}

void TProgressBar::SetPosition(int position) {
    const int clamped = std::clamp(position, 0, max_);
    if (StoreChanged(position_, clamped)) Changed();
}

TActionToolBar::TActionToolBar(TForm* form, const std::string& name) : TControl(form, name) {
    // Large glyphs with the caption under them need this height.
    SetAlign(TAlign::alBottom);
    SetBounds(0, 0, 0, 59);
}

std::string TActionToolBar::Item::Name() const {
    std::string name = StripHotkey(Caption.empty() ? Action->Caption() : Caption);
    const std::string ellipsis = "...";
    if (name.size() > ellipsis.size() && name.compare(name.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0)
        name.resize(name.size() - ellipsis.size());
    return name;
}

}  // namespace kestova
