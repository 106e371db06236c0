#pragma once
// The real window of one form while it is shown: a top-level window with one child window per
// control. Each model change (through the view hooks) updates its window; each user input on a
// window runs the model's handler, guarded, so no exception leaves the window procedure.
// Models are changed on the window's thread only: workers post their updates there.
#include "ui/win32/Handles.h"

#include <string>
#include <vector>

namespace kestova {

class TAction;
class TActionToolBar;
class TControl;
class TForm;
struct TFont;

class TFormWindow {
public:
    TFormWindow(TForm& form, HWND owner);
    ~TFormWindow();
    TFormWindow(const TFormWindow&) = delete;
    TFormWindow& operator=(const TFormWindow&) = delete;

    void Show();
    HWND Handle() const { return window_.get(); }
    // The child window of `control`, or null.
    HWND HandleOf(const TControl& control) const;
    // The command id a toolbar button for `action` sends, or 0.
    int CommandOf(const TAction& action) const;
    // Alt with a letter: runs the toolbar item whose caption marks that letter ("&Record");
    // false when none does.
    bool Accelerator(wchar_t letter);

private:
    struct TChild {
        TControl* Control;
        HWND Handle;
    };

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void SetIcon();
    void CreateChildren();
    HWND CreateChild(TControl& control, int id);
    void SetUpToolbar(HWND toolbar, const TActionToolBar& bar);
    void SetUpPicture(HWND picture, const std::string& resourceName);
    void Refresh(TControl& control);
    void RefreshAction(TAction& action);
    void Command(int id, int code);
    void ShowPopup(LPARAM at);
    void PaintFrames(HWND window);
    bool SetCursorOver(HWND child);
    HFONT FontFor(const TFont& font);
    void Unhook();

    TForm& form_;
    std::vector<TChild> children_;
    std::vector<TAction*> toolbarActions_;
    std::vector<std::wstring> toolbarTexts_;  // the toolbar keeps pointers to these
    std::vector<std::pair<std::string, TFontHandle>> fonts_;
    std::vector<TBitmapHandle> bitmaps_;
    TImageListHandle glyphs_;
    TIcon bigIcon_, smallIcon_;
    bool refreshing_ = false;
    // Last: the windows go before the fonts, bitmaps and images they use.
    TWindow window_;
};

}  // namespace kestova
