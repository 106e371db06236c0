#include "addin/AddinLog.h"

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "platform/win32/WideText.h"
#include "recorder/DiagnosticLog.h"
#include "recorder/Diagnostics.h"

#include <string>

namespace kestova {

namespace {

// The library's load, as near as static initialisation gets to it.
const std::chrono::steady_clock::time_point loadedAt = std::chrono::steady_clock::now();

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::wstring ReadOutlookVersion(IDispatch* application) {
    try {
        std::wstring version = com::GetProperty(application, L"Version").AsText();
        SetOutlookVersion(win32::Narrow(version));
        return version;
    } catch (const std::exception& error) {
        LogFailure("reading Outlook's version", error);
        return {};
    }
}

void LogConnected(std::chrono::steady_clock::time_point connectStarted) {
    const long long connect = MillisecondsSince(connectStarted);
    LogEvent("Start: " + StartVersionsText() + "; " + std::to_string(MillisecondsSince(loadedAt)) + " ms after load");
    LogEvent("Connected to Outlook in " + std::to_string(connect) + " ms");
}

void LogFailure(const char* where, const std::exception& error) {
    if (const auto* ole = dynamic_cast<const com::EOleError*>(&error)) return LogFailure(where, ole->Code());
    LogEvent(std::string("Error in ") + where + ": HRESULT " + com::HresultText(E_FAIL) + ", " + error.what());
}

void LogFailure(const char* where, HRESULT code) {
    LogEvent(std::string("Error in ") + where + ": HRESULT " + com::HresultText(code));
}

}  // namespace kestova
