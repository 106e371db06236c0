#pragma once
// The headless host: forms without windows, driven by tests. Controls and actions are found by
// name; clicks go through the same rules as a user's (disabled means nothing happens) and the
// same guard (errors land in the default error box, which the host records). Message boxes take
// queued answers. A modal run pumps the window thread's queue until the form is closed.
#include "ui/Host.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kestova {

class TForm;

class THeadlessHost : public THost {
public:
    struct TShownBox {
        std::string Text;
        std::string Caption;
        unsigned Flags;
    };

    int RunModal(TForm& form) override;
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

    // The next message box answers this; without a queued answer a box takes its first button.
    void AnswerNext(int answer) { answers_.push_back(answer); }
    const std::vector<TShownBox>& Boxes() const { return boxes_; }
    // The clipboard: what was copied last.
    bool CopyText(const TForm&, const std::string& text) override {
        clipboard_ = text;
        return true;
    }
    const std::string& Clipboard() const { return clipboard_; }

    // Runs at the start of the next modal run, with the form shown (one script per run).
    void WhenModal(std::function<void(TForm&)> script) { scripts_.push_back(std::move(script)); }
    // A modal form still open after this raises kestova::Exception instead of hanging a test.
    void SetModalTimeout(std::chrono::milliseconds timeout) { modalTimeout_ = timeout; }
    // Forms in modal runs, innermost last.
    const std::vector<TForm*>& ModalForms() const { return modal_; }

    // Pumps the window thread's queue (guarded) until `done` holds or `timeout` passes.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // User input. Each answers whether anything ran (false for a disabled control or action).
    static bool Click(TForm& form, const std::string& controlName);
    static bool Execute(TForm& form, const std::string& actionName);
    static bool ClickMenu(TForm& form, const std::string& itemCaption);
    static void CloseBox(TForm& form);

    // What the user sees.
    static std::string Caption(const TForm& form, const std::string& name);
    static bool Enabled(const TForm& form, const std::string& name);
    static int Position(const TForm& form, const std::string& barName);

private:
    std::deque<int> answers_;
    std::vector<TShownBox> boxes_;
    std::deque<std::function<void(TForm&)>> scripts_;
    std::chrono::milliseconds modalTimeout_{30000};
    std::vector<TForm*> modal_;
    std::string clipboard_;
};

}  // namespace kestova
