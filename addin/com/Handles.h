#pragma once
// Move-only owners of the OLE and registry handles we use: BSTR, VARIANT, HKEY, SAFEARRAY and
// the apartment of a thread. None of them is ever freed by hand.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace kestova::com {

// A BSTR's text, which may hold NULs; a null BSTR is empty.
inline std::wstring BstrText(BSTR value) { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }

class TBstr {
public:
    TBstr() = default;
    explicit TBstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    TBstr(TBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    TBstr& operator=(TBstr other) noexcept { std::swap(value_, other.value_); return *this; }
    ~TBstr() { SysFreeString(value_); }

    BSTR Get() const { return value_; }
    BSTR* Put() { SysFreeString(std::exchange(value_, nullptr)); return &value_; }
    BSTR Detach() { return std::exchange(value_, nullptr); }
    std::wstring Text() const { return BstrText(value_); }

private:
    BSTR value_ = nullptr;
};

class TRegKey {
public:
    TRegKey() = default;
    TRegKey(TRegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    TRegKey& operator=(TRegKey other) noexcept { std::swap(key_, other.key_); return *this; }
    ~TRegKey() { if (key_) RegCloseKey(key_); }

    HKEY Get() const { return key_; }
    HKEY* Put() { this->~TRegKey(); key_ = nullptr; return &key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

class TSafeArray {
public:
    TSafeArray() = default;
    explicit TSafeArray(SAFEARRAY* array) : array_(array) {}
    TSafeArray(TSafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    TSafeArray& operator=(TSafeArray other) noexcept { std::swap(array_, other.array_); return *this; }
    ~TSafeArray() { if (array_) SafeArrayDestroy(array_); }

    SAFEARRAY* Get() const { return array_; }
    SAFEARRAY** Put() { this->~TSafeArray(); array_ = nullptr; return &array_; }

private:
    SAFEARRAY* array_ = nullptr;
};

// Joins the calling thread to a single-threaded apartment for the owner's lifetime.
class TApartment {
public:
    TApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    TApartment(const TApartment&) = delete;
    TApartment& operator=(const TApartment&) = delete;
    ~TApartment() { if (SUCCEEDED(result_)) CoUninitialize(); }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace kestova::com
