#pragma once
// Message boxes and the default error box: what the user sees of an error nobody caught.
#include <exception>
#include <functional>
#include <string>

namespace kestova {

// The system's MB_ flags and ID answers, so the Win32 host passes them through unchanged.
enum TMsgFlags : unsigned { mbOk = 0x0, mbYesNo = 0x4, mbIconStop = 0x10, mbIconQuestion = 0x20 };
enum TMsgAnswer { idOk = 1, idCancel = 2, idYes = 6, idNo = 7 };

// "Confirm" box with the question icon and Yes/No; answers idYes or idNo.
int ConfirmDlg(const std::string& text);

// The default error box: the exception's message with the stop icon.
void ShowException(const std::exception& error);
void ShowException(std::exception_ptr error);

// Runs `call`; whatever it raises goes to the default error box. Every user event and every
// call posted to the window's thread runs this way.
void RunGuarded(const std::function<void()>& call);

// Posts `call` to the window's thread, guarded; never waits.
void PostToWindowThread(std::function<void()> call);

}  // namespace kestova
