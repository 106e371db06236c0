#pragma once
// The add-in's lines in the helpdesk's log: its start in Outlook, and the failures that reach
// Outlook or the user, each with its HRESULT and where it happened.
#include <windows.h>
#include <oaidl.h>

#include <chrono>
#include <exception>
#include <string>

namespace kestova {

// Outlook's Application.Version, kept for the log's versions; "" when it cannot be read, which
// is logged.
std::wstring ReadOutlookVersion(IDispatch* application);

// The versions, the time since the library was loaded and the time OnConnection took.
void LogConnected(std::chrono::steady_clock::time_point connectStarted);

// `error`'s HRESULT (E_FAIL when it carries none); its text only when it is the add-in's own,
// since Outlook's may quote the item.
void LogFailure(const char* where, const std::exception& error);
void LogFailure(const char* where, HRESULT code);

}  // namespace kestova
