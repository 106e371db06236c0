#include "ui/Dialogs.h"

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "ui/Host.h"

namespace kestova {

int ConfirmDlg(const std::string& text) { return Host().ShowMessageBox(text, "Confirm", mbYesNo | mbIconQuestion); }

void ShowException(const std::exception& error) { Host().ShowMessageBox(error.what(), "Error", mbOk | mbIconStop); }

void ShowException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown error"));
    }
}

void RunGuarded(const std::function<void()>& call) {
    try {
        call();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void PostToWindowThread(std::function<void()> call) {
    MainThread()->Post([call = std::move(call)] { RunGuarded(call); });
}

}  // namespace kestova
