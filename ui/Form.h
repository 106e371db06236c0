#pragma once
// A form: a window model that owns its controls and actions (as members of the derived class),
// shown modally by the current host. Modal results follow the common convention.
#include "ui/Control.h"
#include "ui/Menus.h"

#include <string>
#include <vector>

namespace kestova {

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

enum class TBorderStyle { bsSingle, bsToolWindow };
enum class TPosition { poDesigned, poScreenCenter, poOwnerFormCenter };

class TForm : public TComponent {
public:
    explicit TForm(TForm* owner = nullptr);
    ~TForm() override;

    TForm* OwnerForm() const { return ownerForm_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);
    const std::string& IconResource() const { return iconResource_; }
    void SetIconResource(const std::string& name) { iconResource_ = name; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
    // The control that has the keyboard focus when the form is shown; none: the form itself.
    TControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TControl* control) { activeControl_ = control; }

    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    // Runs the form until its modal result is set; answers that result.
    int ShowModal();
    // The close box: OnClose runs first (it may stop what is going on), then the result is Cancel.
    void Close();
    TNotifyEvent OnClose;
    // F1 anywhere in the form.
    TNotifyEvent OnHelp;

    const std::vector<TControl*>& Controls() const { return controls_; }
    const std::vector<TAction*>& Actions() const { return actions_; }
    TControl* FindControl(const std::string& name) const;
    TAction* FindAction(const std::string& name) const;

    // Bounds of a control in client coordinates, docking applied.
    struct TRect { int Left, Top, Width, Height; };
    TRect ClientBounds(const TControl& control) const;

private:
    friend class TControl;
    friend class TAction;
    void Register(TControl* control) { controls_.push_back(control); }
    void Register(TAction* action) { actions_.push_back(action); }
    void Unregister(TControl* control);
    void Unregister(TAction* action);

    TForm* ownerForm_;
    std::string caption_;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TPosition position_ = TPosition::poDesigned;
    int clientWidth_ = 0, clientHeight_ = 0;
    std::string iconResource_;
    TPopupMenu* popupMenu_ = nullptr;
    TControl* activeControl_ = nullptr;
    int modalResult_ = mrNone;
    std::vector<TControl*> controls_;
    std::vector<TAction*> actions_;
};

}  // namespace kestova
