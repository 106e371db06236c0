#include "ui/Control.h"

#include "ui/ChangedField.h"
#include "ui/Form.h"

namespace kestova {

TControl::TControl(TForm* form, const std::string& name, TControl* parent)
    : TComponent(form), form_(*form), parent_(parent) {
    SetName(name);
    form_.Register(this);
}

TControl::~TControl() { form_.Unregister(this); }

void TControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

std::string TControl::Caption() const { return action_ ? action_->Caption() : caption_; }

void TControl::SetCaption(const std::string& caption) {
    if (action_) {
        action_->SetCaption(caption);
        return;
    }
    if (StoreChanged(caption_, caption)) Changed();
}

bool TControl::Enabled() const { return action_ ? action_->Enabled() : enabled_; }

void TControl::SetEnabled(bool enabled) {
    if (action_) {
        action_->SetEnabled(enabled);
        return;
    }
    if (StoreChanged(enabled_, enabled)) Changed();
}

void TControl::SetVisible(bool visible) {
    if (StoreChanged(visible_, visible)) Changed();
}

bool TControl::Click() {
    if (!Enabled() || !visible_) return false;
    if (action_) return action_->Execute();
    if (OnClick) OnClick(this);
    return true;
}

void TControl::SetHint(const std::string& hint) {
    if (StoreChanged(hint_, hint)) Changed();
}

void TControl::Changed() {
    if (viewHook_) viewHook_();
}

}  // namespace kestova
