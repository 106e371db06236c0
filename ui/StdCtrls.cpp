#include "ui/StdCtrls.h"

#include "ui/ChangedField.h"
#include "ui/Form.h"

#include <algorithm>
#include <cctype>

namespace kestova {

bool TFlatButton::Click() {
    if (!Enabled() || !Visible()) return false;
    if (modalResult_ != 0) Form().SetModalResult(modalResult_);
    return TControl::Click();
}

void TComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Changed();
}

void TComboBox::SetItemIndex(int index) {
    const int valid = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    if (StoreChanged(itemIndex_, valid)) Changed();
}

std::string TComboBox::Text() const { return itemIndex_ < 0 ? std::string() : items_[itemIndex_]; }

int TComboBox::IndexOf(const std::string& text) const {
    const auto same = [&](const std::string& item) {
        return std::equal(item.begin(), item.end(), text.begin(), text.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
    };
    const auto it = std::find_if(items_.begin(), items_.end(), same);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

}  // namespace kestova
