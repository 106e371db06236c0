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
    // The tooltip window of the controls' hints; null while no control has one.
    HWND ToolTips() const { return tips_.get(); }
    // The command id a toolbar button for `action` sends, or 0.
    int CommandOf(const TAction& action) const;
    // Keys the form takes before the dialog keyboard interface sees them: Alt with a letter
    // (the toolbar item whose caption marks it, "&Record"), F1 (the form's help), and the
    // arrows, Space and Enter on the toolbar. False when the message is not one of them.
    bool PreTranslate(const MSG& message);

private:
    struct TChild {
        TControl* Control;
        HWND Handle;
    };

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                      DWORD_PTR self);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleChild(HWND child, size_t index, UINT message, WPARAM wParam, LPARAM lParam);
    bool Accelerator(wchar_t letter);
    bool ToolbarKey(HWND toolbar, WPARAM key);
    // Makes the next enabled button after `from` in direction `step` (+1 or -1) the hot one.
    void MoveHotButton(HWND toolbar, int from, int step);
    void Help();
    void Activated(HWND window, bool active);
    LRESULT DefaultButtonId() const;
    void ToolTip(NMTTDISPINFOW& request) const;
    // A control's bounds in the client area at the window's DPI.
    RECT BoundsOf(const TControl& control) const;
    void DpiChanged(int dpi, const RECT& suggested);
    void SetIcon();
    void CreateChildren();
    HWND CreateChild(TControl& control, int id);
    void SetUpToolbar(HWND toolbar, const TActionToolBar& bar);
    void SetUpPicture(HWND picture, const std::string& resourceName);
    void Refresh(TControl& control);
    void RefreshHint(const TControl& control);
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
    std::vector<std::wstring> toolbarNames_;  // tooltips and accessible names, by button
    std::vector<std::pair<std::string, TFontHandle>> fonts_;
    std::vector<TBitmapHandle> bitmaps_;
    TImageListHandle glyphs_;
    TIcon bigIcon_, smallIcon_;
    bool refreshing_ = false;
    HWND focus_ = nullptr;  // the child that had the focus when the window was last active
    int dpi_ = 96;          // the 96-DPI layout is scaled to this
    // Last: the windows go before the fonts, bitmaps and images they use; the tooltips, which
    // the form owns, before the form.
    TWindow window_;
    TWindow tips_;  // made for the first control with a hint
};

}  // namespace kestova
