#include "ui/Form.h"

#include "ui/Host.h"

#include <algorithm>

namespace kestova {

TForm::TForm(TForm* owner) : TComponent(owner), ownerForm_(owner) {}

TForm::~TForm() = default;

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
}

int TForm::ShowModal() {
    modalResult_ = mrNone;
    return Host().RunModal(*this);
}

void TForm::Close() {
    if (OnClose) OnClose(this);
    modalResult_ = mrCancel;
}

TControl* TForm::FindControl(const std::string& name) const {
    const auto it = std::find_if(controls_.begin(), controls_.end(), [&](TControl* c) { return c->Name() == name; });
    return it == controls_.end() ? nullptr : *it;
}

TAction* TForm::FindAction(const std::string& name) const {
    const auto it = std::find_if(actions_.begin(), actions_.end(), [&](TAction* a) { return a->Name() == name; });
    return it == actions_.end() ? nullptr : *it;
}

TForm::TRect TForm::ClientBounds(const TControl& control) const {
    switch (control.Align()) {
    case TAlign::alTop: return {0, 0, clientWidth_, control.Height()};
    case TAlign::alBottom: return {0, clientHeight_ - control.Height(), clientWidth_, control.Height()};
    case TAlign::alNone: break;
    }
    TRect rect{control.Left(), control.Top(), control.Width(), control.Height()};
    for (const TControl* p = control.Parent(); p; p = p->Parent()) {
        rect.Left += p->Left();
        rect.Top += p->Top();
    }
    return rect;
}

void TForm::Unregister(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TForm::Unregister(TAction* action) {
    actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
}

}  // namespace kestova
