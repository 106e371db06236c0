#pragma once
// An action: one user command with its caption, enabled state, hint and glyph, reached from
// toolbar buttons, menu items and buttons alike. The host that renders it hears each change.
#include "core/Component.h"
#include "core/Event.h"

#include <functional>
#include <string>

namespace kestova {

using TNotifyEvent = TEvent<TComponent*>;

class TAction : public TComponent {
public:
    TAction(TComponent* owner, const std::string& name, const std::string& caption, int imageIndex = -1);
    ~TAction() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int ImageIndex() const { return imageIndex_; }

    TNotifyEvent OnExecute;

    // Runs the handler; a disabled action does nothing, as a disabled button cannot be pressed.
    bool Execute();

    // One view per action: the host that currently renders it.
    void SetViewHook(std::function<void()> hook) { viewHook_ = std::move(hook); }

private:
    void Changed();

    std::string caption_;
    bool enabled_ = true;
    int imageIndex_;
    std::function<void()> viewHook_;
};

}  // namespace kestova
