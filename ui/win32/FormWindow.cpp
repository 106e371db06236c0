#include "ui/win32/FormWindow.h"

#include "core/Exception.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/Jpeg.h"
#include "ui/StdCtrls.h"
#include "ui/win32/Accessible.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Resources.h"
#include "platform/win32/WideText.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kestova {

namespace {

constexpr wchar_t kFormClass[] = L"KestovaForm";
constexpr int kFirstChildId = 1000;
constexpr int kFirstToolId = 2000;
constexpr COLORREF kGlyphMask = RGB(255, 0, 255);

// The class is registered while any form window exists and removed after the last one, so a
// library unloaded and loaded again never finds a class pointing into its old image.
int liveWindows = 0;

void RegisterFormClass(WNDPROC procedure) {
    if (liveWindows++ > 0) return;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = ResourceModule();
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
}

void UnregisterFormClass() {
    if (--liveWindows == 0) UnregisterClassW(kFormClass, ResourceModule());
}

struct TFrame {
    DWORD Style;
    DWORD ExStyle;
};

// Only the close box: no minimise or maximise box, no sizing border.
TFrame FrameOf(const TForm& form) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD ex = WS_EX_CONTROLPARENT |
                     (form.BorderStyle() == TBorderStyle::bsToolWindow ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME);
    return {style, ex};
}

// The work area of the owner's monitor, or of the primary one without an owner.
RECT WorkAreaFor(HWND owner) {
    const HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Centred on the owner window or on the owner's monitor, and wholly within that monitor's
// work area, so a window started from a mail window on a second screen opens there.
RECT PlaceOf(const TForm& form, const TFrame& frame, HWND owner, int dpi) {
    RECT rect{0, 0, Scaled(form.ClientWidth(), dpi), Scaled(form.ClientHeight(), dpi)};
    AdjustWindowRectEx(&rect, frame.Style, FALSE, frame.ExStyle);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const RECT work = WorkAreaFor(owner);
    RECT around = work;
    if (form.Position() == TPosition::poOwnerFormCenter && owner) GetWindowRect(owner, &around);
    const int left = std::max<int>(work.left, std::min<int>((around.left + around.right - width) / 2, work.right - width));
    const int top = std::max<int>(work.top, std::min<int>((around.top + around.bottom - height) / 2, work.bottom - height));
    if (form.Position() == TPosition::poDesigned) return {CW_USEDEFAULT, top, CW_USEDEFAULT + width, top + height};
    return {left, top, left + width, top + height};
}

struct TChildClass {
    const wchar_t* ClassName;
    DWORD Style;
};

TChildClass ClassOf(const TControl& control) {
    if (auto* button = dynamic_cast<const TFlatButton*>(&control))
        return {L"BUTTON", DWORD(WS_TABSTOP | BS_FLAT | (button->Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    if (auto* bar = dynamic_cast<const TProgressBar*>(&control))
        return {PROGRESS_CLASSW, DWORD(bar->Smooth() ? PBS_SMOOTH : 0)};
    if (dynamic_cast<const TActionToolBar*>(&control))
        return {TOOLBARCLASSNAMEW,
                WS_TABSTOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER};
    if (dynamic_cast<const TComboBox*>(&control)) return {WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST};
    if (dynamic_cast<const TGroupBox*>(&control)) return {L"BUTTON", BS_GROUPBOX};
    if (dynamic_cast<const TImage*>(&control)) return {L"STATIC", SS_BITMAP | SS_NOTIFY};
    return {L"STATIC", SS_LEFT | SS_NOTIFY};  // labels
}

bool ShowsCaption(const TControl& control) {
    return dynamic_cast<const TLabel*>(&control) || dynamic_cast<const TFlatButton*>(&control) ||
           dynamic_cast<const TGroupBox*>(&control);
}

// A drop-down list's window height includes its opened list.
constexpr int kDropDownListHeight = 200;

}  // namespace

TFormWindow::TFormWindow(TForm& form, HWND owner) : form_(form), dpi_(DpiOf(owner)) {
    const TDpiAwareScope aware;
    RegisterFormClass(&WndProc);
    const TFrame frame = FrameOf(form);
    const RECT place = PlaceOf(form, frame, owner, dpi_);
    HWND window = CreateWindowExW(frame.ExStyle, kFormClass, win32::Widen(form.Caption()).c_str(), frame.Style,
                                  place.left, place.top, place.right - place.left, place.bottom - place.top, owner,
                                  nullptr, ResourceModule(), this);
    if (!window) {
        UnregisterFormClass();
        throw Exception("The window of \"" + form.Caption() + "\" cannot be created");
    }
    window_.reset(window);
    dpi_ = DpiOf(window);
    try {
        SetIcon();
        CreateChildren();
    } catch (...) {
        Unhook();
        window_.reset();
        UnregisterFormClass();
        throw;
    }
}

void TFormWindow::SetIcon() {
    HWND window = window_.get();
    if (!form_.IconResource().empty()) {
        const std::wstring name = win32::Widen(form_.IconResource());
        bigIcon_.reset(static_cast<HICON>(LoadImageW(ResourceModule(), name.c_str(), IMAGE_ICON, Scaled(32, dpi_),
                                                          Scaled(32, dpi_), 0)));
        smallIcon_.reset(static_cast<HICON>(LoadImageW(ResourceModule(), name.c_str(), IMAGE_ICON, Scaled(16, dpi_),
                                                            Scaled(16, dpi_), 0)));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }
}

TFormWindow::~TFormWindow() {
    Unhook();
    window_.reset();
    UnregisterFormClass();
}

void TFormWindow::Show() {
    if (const TControl* active = form_.ActiveControl()) focus_ = HandleOf(*active);
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    if (focus_) SetFocus(focus_);
    UpdateWindow(window_.get());
}

HWND TFormWindow::HandleOf(const TControl& control) const {
    for (const TChild& child : children_)
        if (child.Control == &control) return child.Handle;
    return nullptr;
}

int TFormWindow::CommandOf(const TAction& action) const {
    const auto it = std::find(toolbarActions_.begin(), toolbarActions_.end(), &action);
    return it == toolbarActions_.end() ? 0 : kFirstToolId + static_cast<int>(it - toolbarActions_.begin());
}

bool TFormWindow::PreTranslate(const MSG& message) {
    if (message.message == WM_SYSCHAR) return Accelerator(static_cast<wchar_t>(message.wParam));
    if (message.message != WM_KEYDOWN) return false;
    if (message.wParam == VK_F1) {
        Help();
        return true;
    }
    for (const TChild& child : children_)
        if (child.Handle == message.hwnd && dynamic_cast<TActionToolBar*>(child.Control))
            return ToolbarKey(child.Handle, message.wParam);
    return false;
}

bool TFormWindow::ToolbarKey(HWND toolbar, WPARAM key) {
    const int hot = static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0));
    switch (key) {
        case VK_LEFT:
        case VK_UP:
            MoveHotButton(toolbar, hot, -1);
            return true;
        case VK_RIGHT:
        case VK_DOWN:
            MoveHotButton(toolbar, hot, +1);
            return true;
        case VK_SPACE:
        case VK_RETURN:
            if (hot >= 0 && hot < static_cast<int>(toolbarActions_.size()))
                RunGuarded([&] { toolbarActions_[hot]->Execute(); });
            return true;
    }
    return false;
}

void TFormWindow::MoveHotButton(HWND toolbar, int from, int step) {
    const int count = static_cast<int>(toolbarActions_.size());
    if (from < 0) from = step > 0 ? -1 : 0;
    for (int i = 1; i <= count; ++i) {
        const int next = ((from + step * i) % count + count) % count;
        if (!toolbarActions_[next]->Enabled()) continue;
        SendMessageW(toolbar, TB_SETHOTITEM, next, 0);
        NotifyWinEvent(EVENT_OBJECT_FOCUS, toolbar, OBJID_CLIENT, next + 1);
        return;
    }
}

void TFormWindow::Help() {
    RunGuarded([&] {
        if (form_.OnHelp) form_.OnHelp(&form_);
    });
}

// As the dialog manager does: the focus leaves with the activation and comes back with it.
void TFormWindow::Activated(HWND window, bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) focus_ = focus;
        return;
    }
    SetFocus(focus_ && IsWindow(focus_) && IsChild(window, focus_) ? focus_ : window);
}

// Enter presses the default button wherever the focus is (Space presses the focused one).
LRESULT TFormWindow::DefaultButtonId() const {
    for (size_t i = 0; i < children_.size(); ++i) {
        auto* button = dynamic_cast<const TFlatButton*>(children_[i].Control);
        if (button && button->Default()) return MAKELRESULT(kFirstChildId + static_cast<int>(i), DC_HASDEFID);
    }
    return 0;
}

void TFormWindow::ToolTip(NMTTDISPINFOW& request) const {
    const size_t index = request.hdr.idFrom - kFirstToolId;
    if (request.hdr.idFrom < kFirstToolId || index >= toolbarNames_.size()) return;
    request.lpszText = const_cast<wchar_t*>(toolbarNames_[index].c_str());
}

bool TFormWindow::Accelerator(wchar_t letter) {
    const TActionToolBar* bar = nullptr;
    for (TControl* control : form_.Controls())
        if (auto* found = dynamic_cast<TActionToolBar*>(control)) bar = found;
    if (!bar || letter > 0x7F) return false;
    const int wanted = std::tolower(static_cast<int>(letter));
    for (const auto& item : bar->Items()) {
        const size_t mark = item.Caption.find('&');
        if (mark == std::string::npos || mark + 1 >= item.Caption.size()) continue;
        if (std::tolower(static_cast<unsigned char>(item.Caption[mark + 1])) != wanted) continue;
        RunGuarded([&] { item.Action->Execute(); });
        return true;
    }
    return false;
}

void TFormWindow::CreateChildren() {
    int id = kFirstChildId;
    for (TControl* control : form_.Controls()) {
        // Frames are drawn on the form itself, under the controls they surround.
        HWND child = dynamic_cast<TShape*>(control) ? nullptr : CreateChild(*control, id);
        ++id;
        children_.push_back({control, child});
        control->SetViewHook([this, control] { Refresh(*control); });
        Refresh(*control);
    }
    for (TAction* action : form_.Actions()) action->SetViewHook([this, action] { RefreshAction(*action); });
}

HWND TFormWindow::CreateChild(TControl& control, int id) {
    const TChildClass kind = ClassOf(control);
    // A group box paints only its frame; transparent, it is not clipped out of the form's
    // background, which would leave its inside unpainted.
    const DWORD ex = dynamic_cast<TGroupBox*>(&control) ? WS_EX_TRANSPARENT : 0;
    HWND child =
        CreateWindowExW(ex, kind.ClassName, nullptr, WS_CHILD | WS_VISIBLE | kind.Style, 0, 0, 0, 0, window_.get(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ResourceModule(), nullptr);
    if (!child) throw Exception("The window of " + control.Name() + " cannot be created");
    SetWindowSubclass(child, &ChildProc, children_.size(), reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font())), FALSE);
    if (auto* bar = dynamic_cast<TActionToolBar*>(&control)) SetUpToolbar(child, *bar);
    if (auto* picture = dynamic_cast<TImage*>(&control))
        SetUpPicture(child, ArtworkFor(picture->ResourceName(), dpi_).Name);
    return child;
}

void TFormWindow::SetUpToolbar(HWND toolbar, const TActionToolBar& bar) {
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const TImageList& images = bar.Images();
    const TArtwork art = ArtworkFor(images.ResourceName, dpi_);
    glyphs_.reset(ImageList_Create(Scaled(images.Width, art.Dpi), Scaled(images.Height, art.Dpi),
                                   ILC_COLOR24 | ILC_MASK, images.Count, 0));
    TBitmapHandle strip(static_cast<HBITMAP>(LoadImageW(ResourceModule(), win32::Widen(art.Name).c_str(),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (strip) ImageList_AddMasked(glyphs_.get(), strip.get(), kGlyphMask);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_.get()));
    toolbarTexts_.reserve(bar.Items().size());
    std::vector<TBBUTTON> buttons;
    for (const auto& item : bar.Items()) {
        toolbarTexts_.push_back(win32::Widen(item.Caption));
        toolbarNames_.push_back(win32::Widen(item.Name()));
        TBBUTTON button{};
        button.iBitmap = item.Action->ImageIndex();
        button.idCommand = kFirstToolId + static_cast<int>(toolbarActions_.size());
        button.fsState = item.Action->Enabled() ? TBSTATE_ENABLED : 0;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        button.iString = item.Caption.empty() ? -1 : reinterpret_cast<INT_PTR>(toolbarTexts_.back().c_str());
        buttons.push_back(button);
        toolbarActions_.push_back(item.Action);
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

void TFormWindow::SetUpPicture(HWND picture, const std::string& resourceName) {
    const std::vector<uint8_t> bytes = ResourceBytes(resourceName);
    if (bytes.empty()) return;
    const TBitmap24 image = DecodeJpeg(bytes.data(), bytes.size());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height;  // top-down, as decoded
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return;
    std::memcpy(bits, image.Pixels.data(), image.Pixels.size());
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    bitmaps_.push_back(std::move(bitmap));
}

void TFormWindow::Refresh(TControl& control) {
    HWND child = HandleOf(control);
    if (!child) {
        InvalidateRect(window_.get(), nullptr, TRUE);
        return;
    }
    refreshing_ = true;
    const RECT r = BoundsOf(control);
    const bool list = dynamic_cast<TComboBox*>(&control) != nullptr;
    MoveWindow(child, r.left, r.top, r.right - r.left, list ? Scaled(kDropDownListHeight, dpi_) : r.bottom - r.top,
               TRUE);
    if (ShowsCaption(control)) SetWindowTextW(child, win32::Widen(control.Caption()).c_str());
    EnableWindow(child, control.Enabled());
    ShowWindow(child, control.Visible() ? SW_SHOWNA : SW_HIDE);
    RefreshHint(control);
    if (auto* bar = dynamic_cast<TProgressBar*>(&control)) {
        SendMessageW(child, PBM_SETRANGE32, 0, bar->Max());
        SendMessageW(child, PBM_SETPOS, bar->Position(), 0);
    }
    if (auto* box = dynamic_cast<TComboBox*>(&control)) {
        if (SendMessageW(child, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(box->Items().size())) {
            SendMessageW(child, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : box->Items())
                SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(item).c_str()));
        }
        SendMessageW(child, CB_SETCURSEL, box->ItemIndex(), 0);
    }
    refreshing_ = false;
}

// A disabled control gets no mouse input, so its tip is a tool of the form over its bounds:
// it still shows, and may say why the control is disabled.
void TFormWindow::RefreshHint(const TControl& control) {
    if (control.Hint().empty() && !tips_) return;
    if (!tips_)
        tips_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_.get(), nullptr,
                                    ResourceModule(), nullptr));
    if (!tips_) return;
    const auto child = std::find_if(children_.begin(), children_.end(),
                                    [&](const TChild& entry) { return entry.Control == &control; });
    std::wstring text = win32::Widen(control.Hint());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window_.get();
    tool.uId = static_cast<UINT_PTR>(kFirstChildId + (child - children_.begin()));
    tool.rect = BoundsOf(control);
    tool.lpszText = text.data();
    SendMessageW(tips_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty()) SendMessageW(tips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TFormWindow::RefreshAction(TAction& action) {
    const int command = CommandOf(action);
    for (const TChild& child : children_) {
        if (child.Control->Action() == &action) Refresh(*child.Control);
        if (dynamic_cast<TActionToolBar*>(child.Control) && command != 0)
            SendMessageW(child.Handle, TB_ENABLEBUTTON, command, MAKELPARAM(action.Enabled(), 0));
    }
}

void TFormWindow::Command(int id, int code) {
    if (id >= kFirstToolId && id < kFirstToolId + static_cast<int>(toolbarActions_.size())) {
        toolbarActions_[id - kFirstToolId]->Execute();
        return;
    }
    // Enter and Esc, as the dialog keyboard interface reports them.
    if (id == IDOK || id == IDCANCEL) {
        for (TControl* control : form_.Controls()) {
            auto* button = dynamic_cast<TFlatButton*>(control);
            if (button && (id == IDOK ? button->Default() : button->Cancel())) {
                button->Click();
                return;
            }
        }
        return;
    }
    const size_t index = static_cast<size_t>(id - kFirstChildId);
    if (id < kFirstChildId || index >= children_.size()) return;
    TControl& control = *children_[index].Control;
    if (auto* box = dynamic_cast<TComboBox*>(&control)) {
        if (code != CBN_SELCHANGE || refreshing_) return;
        box->SetItemIndex(static_cast<int>(SendMessageW(children_[index].Handle, CB_GETCURSEL, 0, 0)));
        if (box->OnChange) box->OnChange(box);
        return;
    }
    if (code == BN_CLICKED || code == STN_CLICKED) control.Click();
}

void TFormWindow::ShowPopup(LPARAM at) {
    TPopupMenu* popup = form_.PopupMenu();
    if (!popup) return;
    TMenu menu(CreatePopupMenu());
    UINT id = 1;
    for (TAction* item : popup->Items()) {
        if (!item)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(), MF_STRING | (item->Enabled() ? 0 : MF_GRAYED), id,
                        win32::Widen(item->Caption()).c_str());
        ++id;
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {  // from the keyboard: at the window's top left corner
        point = {0, 0};
        ClientToScreen(window_.get(), &point);
    }
    const UINT chosen =
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, window_.get(), nullptr);
    if (chosen > 0 && chosen <= popup->Items().size() && popup->Items()[chosen - 1])
        popup->Items()[chosen - 1]->Execute();
}

void TFormWindow::PaintFrames(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    for (TControl* control : form_.Controls()) {
        if (!dynamic_cast<TShape*>(control) || !control->Visible()) continue;
        const RECT frame = BoundsOf(*control);
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    EndPaint(window, &paint);
}

bool TFormWindow::SetCursorOver(HWND child) {
    for (const TChild& entry : children_) {
        if (entry.Handle != child || entry.Control->Cursor() != crHandPoint) continue;
        const std::string resource = Screen().CursorResource(crHandPoint);
        HCURSOR cursor = resource.empty() ? nullptr : LoadCursorW(ResourceModule(), win32::Widen(resource).c_str());
        SetCursor(cursor ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */));
        return true;
    }
    return false;
}

RECT TFormWindow::BoundsOf(const TControl& control) const {
    const TForm::TRect r = form_.ClientBounds(control);
    return {Scaled(r.Left, dpi_), Scaled(r.Top, dpi_), Scaled(r.Left + r.Width, dpi_), Scaled(r.Top + r.Height, dpi_)};
}

// Moved to a monitor of another DPI: the suggested place, then fonts and bounds for the new DPI.
void TFormWindow::DpiChanged(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const TChild& child : children_) {
        if (child.Handle)
            SendMessageW(child.Handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(child.Control->Font())), FALSE);
        Refresh(*child.Control);
    }
}

HFONT TFormWindow::FontFor(const TFont& font) {
    const int height = Scaled(font.Height, dpi_);
    const std::string key = font.Name + "/" + std::to_string(height) + (font.Bold ? "b" : "");
    for (const auto& entry : fonts_)
        if (entry.first == key) return entry.second.get();
    TFontHandle handle(CreateFontW(-height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, win32::Widen(font.Name).c_str()));
    fonts_.emplace_back(key, std::move(handle));
    return fonts_.back().second.get();
}

void TFormWindow::Unhook() {
    for (const TChild& child : children_) child.Control->SetViewHook(nullptr);
    for (TAction* action : form_.Actions()) action->SetViewHook(nullptr);
}

LRESULT TFormWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            RunGuarded([&] { Command(LOWORD(wParam), HIWORD(wParam)); });
            return 0;
        case WM_CONTEXTMENU:
            RunGuarded([&] { ShowPopup(lParam); });
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetCursorOver(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_PAINT:
            PaintFrames(window);
            return 0;
        case WM_CLOSE:  // the close box: the form decides, the modal loop ends on its result
            RunGuarded([&] { form_.Close(); });
            return 0;
        case WM_ACTIVATE:
            Activated(window, LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case DM_GETDEFID:
            return DefaultButtonId();
        case WM_HELP:
            Help();
            return TRUE;
        case WM_DPICHANGED:
            DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code == TTN_GETDISPINFOW)
                ToolTip(*reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Child windows: their accessible objects, and the toolbar's hot button while it has the focus.
LRESULT TFormWindow::HandleChild(HWND child, size_t index, UINT message, WPARAM wParam, LPARAM lParam) {
    const TControl& control = *children_[index].Control;
    const bool toolbar = dynamic_cast<const TActionToolBar*>(&control) != nullptr;
    switch (message) {
        case WM_GETOBJECT: {
            if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) break;
            TAccessibleDescription description;
            description.Name = win32::Widen(control.AccessibleName());
            auto* label = dynamic_cast<const TLabel*>(&control);
            if (label && label->IsStatus()) description.Role = ROLE_SYSTEM_STATUSBAR;
            if (toolbar) description.Buttons = toolbarNames_;
            if (description.Name.empty() && description.Role == 0 && description.Buttons.empty()) break;
            if (const LRESULT object = AccessibleObjectFor(child, wParam, description)) return object;
            break;
        }
        case WM_SETFOCUS:
            if (toolbar && SendMessageW(child, TB_GETHOTITEM, 0, 0) < 0) MoveHotButton(child, -1, +1);
            break;
        case WM_KILLFOCUS:
            if (toolbar) SendMessageW(child, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
            break;
    }
    return DefSubclassProc(child, message, wParam, lParam);
}

LRESULT CALLBACK TFormWindow::ChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                        DWORD_PTR self) {
    auto& window = *reinterpret_cast<TFormWindow*>(self);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(child, &ChildProc, index);
    // Messages sent while the child is being set up come before its entry.
    if (message == WM_NCDESTROY || index >= window.children_.size())
        return DefSubclassProc(child, message, wParam, lParam);
    return window.HandleChild(child, index, message, wParam, lParam);
}

LRESULT CALLBACK TFormWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TFormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self ? self->Handle(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kestova
