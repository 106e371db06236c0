#include "addin/com/OleError.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>

#include "platform/win32/WideText.h"

namespace kestova::com {

namespace {

std::string Describe(HRESULT code, const std::string& what) { return what + " failed (" + HresultText(code) + ")"; }

void SetErrorText(REFIID iid, const wchar_t* source, const std::wstring& text) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return;
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace

std::string HresultText(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

EOleError::EOleError(HRESULT code, const std::string& what) : Exception(Describe(code, what)), code_(code) {}

void Check(HRESULT code, const char* what) {
    if (FAILED(code)) throw EOleError(code, what);
}

HRESULT ErrorToResult(REFIID iid, const wchar_t* source) {
    try {
        throw;
    } catch (const EOleError& error) {
        SetErrorText(iid, source, win32::Widen(error.Message()));
        return error.Code();
    } catch (const std::exception& error) {
        SetErrorText(iid, source, win32::Widen(error.what()));
        return E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace kestova::com
