#pragma once
// A failed COM call as an exception: the HRESULT and the text of the call that failed.
#include <windows.h>

#include <string>

#include "core/Exception.h"

namespace kestova::com {

class EOleError : public Exception {
public:
    EOleError(HRESULT code, const std::string& what);
    HRESULT Code() const { return code_; }

private:
    HRESULT code_;
};

// "0x" and the code's eight upper-case hex digits, as Windows prints an HRESULT.
std::string HresultText(HRESULT code);

// Raises EOleError for a failed HRESULT.
void Check(HRESULT code, const char* what);

// Turns the exception being handled into an HRESULT and COM error information for `iid`.
HRESULT ErrorToResult(REFIID iid, const wchar_t* source);

}  // namespace kestova::com
