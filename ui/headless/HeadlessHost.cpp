#include "ui/headless/HeadlessHost.h"

#include <algorithm>

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace kestova {

namespace {

TControl& ControlOf(const TForm& form, const std::string& name) {
    if (TControl* control = form.FindControl(name)) return *control;
    throw Exception("No control named " + name);
}

TAction& ActionOf(const TForm& form, const std::string& name) {
    if (TAction* action = form.FindAction(name)) return *action;
    throw Exception("No action named " + name);
}

// A handler that raised has still run.
bool Guarded(const std::function<bool()>& input) {
    bool ran = true;
    RunGuarded([&] { ran = input(); });
    return ran;
}

class TModalEntry {
public:
    TModalEntry(std::vector<TForm*>& stack, TForm& form) : stack_(stack) { stack_.push_back(&form); }
    ~TModalEntry() { stack_.pop_back(); }

private:
    std::vector<TForm*>& stack_;
};

}  // namespace

int THeadlessHost::RunModal(TForm& form) {
    TModalEntry entry(modal_, form);
    if (!scripts_.empty()) {
        auto script = std::move(scripts_.front());
        scripts_.pop_front();
        RunGuarded([&] { script(form); });
    }
    const auto closed = [&] { return form.ModalResult() != mrNone; };
    if (!closed() && !PumpUntil(closed, modalTimeout_))
        throw Exception("The form \"" + form.Caption() + "\" was not closed in time");
    return form.ModalResult();
}

int THeadlessHost::ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    boxes_.push_back({text, caption, flags});
    if (answers_.empty()) return (flags & mbYesNo) == mbYesNo ? idYes : idOk;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool THeadlessHost::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        try {
            return MainThread()->ProcessUntil(done, std::max(left, std::chrono::milliseconds(0)));
        } catch (...) {
            // A posted call that was not guarded: shown like any other uncaught error.
            ShowException(std::current_exception());
        }
    }
}

bool THeadlessHost::Click(TForm& form, const std::string& controlName) {
    TControl& control = ControlOf(form, controlName);
    return Guarded([&] { return control.Click(); });
}

bool THeadlessHost::Execute(TForm& form, const std::string& actionName) {
    TAction& action = ActionOf(form, actionName);
    return Guarded([&] { return action.Execute(); });
}

bool THeadlessHost::ClickMenu(TForm& form, const std::string& itemCaption) {
    TAction* item = form.PopupMenu() ? form.PopupMenu()->Find(itemCaption) : nullptr;
    if (!item) throw Exception("No menu item " + itemCaption);
    return Guarded([&] { return item->Execute(); });
}

void THeadlessHost::CloseBox(TForm& form) {
    RunGuarded([&] { form.Close(); });
}

std::string THeadlessHost::Caption(const TForm& form, const std::string& name) {
    if (TAction* action = form.FindAction(name)) return action->Caption();
    return ControlOf(form, name).Caption();
}

bool THeadlessHost::Enabled(const TForm& form, const std::string& name) {
    if (TAction* action = form.FindAction(name)) return action->Enabled();
    return ControlOf(form, name).Enabled();
}

int THeadlessHost::Position(const TForm& form, const std::string& barName) {
    if (auto* bar = dynamic_cast<TProgressBar*>(&ControlOf(form, barName))) return bar->Position();
    throw Exception(barName + " is not a progress bar");
}

}  // namespace kestova
