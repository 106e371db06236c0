#include "addin/com/OleError.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>

namespace kestova::com {

namespace {

std::string Describe(HRESULT code, const std::string& what) {
    char number[16];
    std::snprintf(number, sizeof number, "%08lX", static_cast<unsigned long>(code));
    return what + " failed (0x" + number + ")";
}

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

EOleError::EOleError(HRESULT code, const std::string& what) : Exception(Describe(code, what)), code_(code) {}

void Check(HRESULT code, const char* what) {
    if (FAILED(code)) throw EOleError(code, what);
}

HRESULT ErrorToResult(REFIID iid, const wchar_t* source) {
    try {
        throw;
    } catch (const EOleError& error) {
        SetErrorText(iid, source, Widen(error.Message()));
        return error.Code();
    } catch (const std::exception& error) {
        SetErrorText(iid, source, Widen(error.what()));
        return E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size);
    return result;
}

}  // namespace kestova::com
