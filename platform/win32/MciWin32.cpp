// The media control interface on Windows: mciSendCommandW with the parameter blocks of the
// commands the player sends, and a message-only window for the notifications.
#include <windows.h>
#include <mmsystem.h>

#include <exception>

#include "platform/MainThread.h"
#include "platform/Mci.h"
#include "platform/win32/MessageWindow.h"
#include "platform/win32/WideText.h"

namespace kestova {

namespace {

DWORD_PTR SendOpen(DWORD flags, TMciParams& params, MCIERROR& result) {
    // Wide, so a recording in a folder named in any language opens.
    const std::wstring deviceType = win32::Widen(params.deviceType);
    const std::wstring elementName = win32::Widen(params.elementName);
    MCI_OPEN_PARMSW open{};
    open.dwCallback = params.callback;
    open.lpstrDeviceType = deviceType.c_str();
    open.lpstrElementName = elementName.c_str();
    result = mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
    return open.wDeviceID;
}

MCIERROR SendWithBlock(MCIDEVICEID device, UINT command, DWORD flags, TMciParams& params) {
    switch (command) {
    case MCI_PLAY: {
        MCI_PLAY_PARMS play{};
        play.dwCallback = params.callback;
        return mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(&play));
    }
    case MCI_SET: {
        MCI_SET_PARMS set{};
        set.dwCallback = params.callback;
        set.dwTimeFormat = params.timeFormat;
        return mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(&set));
    }
    case MCI_STATUS: {
        MCI_STATUS_PARMS status{};
        status.dwCallback = params.callback;
        status.dwItem = params.item;
        MCIERROR result = mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(&status));
        params.returnValue = static_cast<uint32_t>(status.dwReturn);
        return result;
    }
    default: {
        MCI_GENERIC_PARMS generic{};
        generic.dwCallback = params.callback;
        return mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(&generic));
    }
    }
}

class TWin32NotifyWindow : public INotifyWindow {
public:
    explicit TWin32NotifyWindow(TNotifyProc proc);
    ~TWin32NotifyWindow() override;
    TNotifyHandle Handle() const override { return reinterpret_cast<TNotifyHandle>(window_.Handle()); }

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TNotifyProc proc_;
    TMessageWindow window_;
};

TWin32NotifyWindow::TWin32NotifyWindow(TNotifyProc proc)
    : proc_(std::move(proc)), window_("KestovaMciNotify", &WndProc, this) {}

TWin32NotifyWindow::~TWin32NotifyWindow() = default;

// No exception may cross the window procedure: it goes on to the main thread's loop.
LRESULT CALLBACK TWin32NotifyWindow::WndProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = static_cast<TWin32NotifyWindow*>(TMessageWindow::Owner(window));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // A copy: the owner may destroy the window inside the call.
    const TNotifyProc proc = self->proc_;
    try {
        if (proc(message, wParam, lParam)) return 0;
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        try {
            MainThread()->Post([error] { std::rethrow_exception(error); });
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class TWin32Mci : public IMci {
public:
    TMciError SendCommand(TMciDeviceId device, uint32_t command, uint32_t flags,
                          TMciParams* params) override {
        TMciParams none;
        TMciParams& block = params ? *params : none;
        if (command != MCI_OPEN) return SendWithBlock(device, command, flags, block);
        MCIERROR result = 0;
        block.deviceId = static_cast<TMciDeviceId>(SendOpen(flags, block, result));
        return result;
    }

    bool ErrorString(TMciError error, std::string& text) override {
        // 4096 characters: far more than any MCI error text.
        wchar_t buffer[4096] = {};
        if (!mciGetErrorStringW(error, buffer, sizeof(buffer) / sizeof(buffer[0]))) return false;
        text = win32::Narrow(buffer);
        return true;
    }

    std::unique_ptr<INotifyWindow> CreateNotifyWindow(TNotifyProc proc) override {
        return std::make_unique<TWin32NotifyWindow>(std::move(proc));
    }
};

}  // namespace

std::shared_ptr<IMci> CreateOsMci() { return std::make_shared<TWin32Mci>(); }

}  // namespace kestova
