#pragma once
// The plain controls: label, flat button, group box, drop-down list, frame shape.
#include "ui/Control.h"

#include <string>
#include <vector>

namespace kestova {

class TLabel : public TControl {
public:
    using TControl::TControl;

    // The label's text is what a screen reader reads as the window's status line.
    bool IsStatus() const { return isStatus_; }
    void SetIsStatus(bool value) { isStatus_ = value; }

private:
    bool isStatus_ = false;
};

class TFlatButton : public TControl {
public:
    using TControl::TControl;

    // Enter presses the default button, Esc the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Non-zero: a click sets the form's modal result to it before the handler runs.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    bool Click() override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
};

// A thin frame drawn around other controls.
class TShape : public TControl {
public:
    using TControl::TControl;
};

// A drop-down list: the user picks an item and cannot type.
class TComboBox : public TControl {
public:
    using TControl::TControl;

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // The selected item's text; empty when nothing is selected.
    std::string Text() const;
    // Letter case ignored; -1 when no item equals `text`.
    int IndexOf(const std::string& text) const;

    TNotifyEvent OnChange;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

}  // namespace kestova
