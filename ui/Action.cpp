#include "ui/Action.h"

#include "ui/ChangedField.h"
#include "ui/Form.h"

namespace kestova {

TAction::TAction(TComponent* owner, const std::string& name, const std::string& caption, int imageIndex)
    : TComponent(owner), caption_(caption), imageIndex_(imageIndex) {
    SetName(name);
    if (auto* form = dynamic_cast<TForm*>(owner)) form->Register(this);
}

TAction::~TAction() {
    if (auto* form = dynamic_cast<TForm*>(Owner())) form->Unregister(this);
}

void TAction::SetCaption(const std::string& caption) {
    if (StoreChanged(caption_, caption)) Changed();
}

void TAction::SetEnabled(bool enabled) {
    if (StoreChanged(enabled_, enabled)) Changed();
}

bool TAction::Execute() {
    if (!enabled_) return false;
    if (OnExecute) OnExecute(this);
    return true;
}

void TAction::Changed() {
    if (viewHook_) viewHook_();
}

}  // namespace kestova
