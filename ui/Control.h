#pragma once
// The base of every control model: bounds within its parent, caption, enabled and visible
// state, cursor, click handler or linked action. A host renders the model and hears each change.
#include "ui/Action.h"
#include "ui/Cursors.h"

#include <functional>
#include <string>

namespace kestova {

class TForm;

enum class TAlign { alNone, alTop, alBottom };

struct TFont {
    std::string Name = "Tahoma";
    int Height = 11;  // pixels
    bool Bold = false;
};

class TControl : public TComponent {
public:
    // `parent` is the container the bounds are relative to: the form or a group box.
    TControl(TForm* form, const std::string& name, TControl* parent = nullptr);
    ~TControl() override;

    TForm& Form() const { return form_; }
    TControl* Parent() const { return parent_; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align) { align_ = align; }

    // With an action linked, caption and enabled state are the action's.
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) { font_ = font; }
    TAction* Action() const { return action_; }
    void SetAction(TAction* action) { action_ = action; }
    // What a screen reader calls a control that shows no text of its own; empty: its caption.
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const std::string& name) { accessibleName_ = name; }
    // The tooltip, also shown while the control is disabled (it may say why); empty: none.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    TNotifyEvent OnClick;

    // What a user's click does: the linked action, or OnClick. Disabled controls ignore it.
    virtual bool Click();

    void SetViewHook(std::function<void()> hook) { viewHook_ = std::move(hook); }

protected:
    void Changed();

private:
    TForm& form_;
    TControl* parent_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    TCursor cursor_ = crDefault;
    TFont font_;
    TAction* action_ = nullptr;
    std::string accessibleName_;
    std::string hint_;
    std::function<void()> viewHook_;
};

}  // namespace kestova
