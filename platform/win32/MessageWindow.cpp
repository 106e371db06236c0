#include "platform/win32/MessageWindow.h"

#include <string>

#include "core/Exception.h"
#include "platform/win32/ModuleWin32.h"

namespace kestova {

TMessageWindow::TMessageWindow(const char* className, WNDPROC proc, void* owner) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    // The class belongs to the module that holds its procedure: the add-in and its host may both
    // register one of this name, and each must get its own procedure.
    wc.hInstance = win32::ModuleOf(reinterpret_cast<const void*>(proc));
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(std::string("The window class ") + className + " cannot be registered");
    window_ = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    if (!window_) throw Exception(std::string("The ") + className + " window cannot be created");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
}

TMessageWindow::~TMessageWindow() {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void* TMessageWindow::Owner(HWND window) {
    return reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace kestova
