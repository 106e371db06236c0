#pragma once
// The common controls: progress bar, image list, action toolbar.
#include "ui/Control.h"

#include <string>
#include <vector>

namespace kestova {

class TProgressBar : public TControl {
public:
    using TControl::TControl;

    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    // Clamped to 0 ... Max, as the common control does.
    void SetPosition(int position);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth) { smooth_ = smooth; }

private:
    int max_ = 100;
    int position_ = 0;
    bool smooth_ = false;
};

// Same-sized images cut from one bitmap strip resource, left to right.
struct TImageList {
    std::string ResourceName;
    int Width = 32;
    int Height = 32;
    int Count = 0;
};

// A toolbar of actions: each button shows the action's glyph and, under it, the item's own
// caption (which may carry an accelerator the action's caption lacks); empty means glyph only.
class TActionToolBar : public TControl {
public:
    struct Item {
        TAction* Action;
        std::string Caption;
        // Its tooltip and accessible name: the caption without its accelerator mark, or for a
        // glyph-only item the action's caption without a trailing "...".
        std::string Name() const;
    };

    TActionToolBar(TForm* form, const std::string& name);

    TImageList& Images() { return images_; }
    const TImageList& Images() const { return images_; }
    const std::vector<Item>& Items() const { return items_; }
    void AddItem(TAction* action, const std::string& caption = {}) { items_.push_back({action, caption}); }

private:
    TImageList images_;
    std::vector<Item> items_;
};

}  // namespace kestova
