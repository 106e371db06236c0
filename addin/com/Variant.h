#pragma once
// An owning automation value. It has exactly the layout of a VARIANT, so an array of them can
// be handed to IDispatch::Invoke as its argument list.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace kestova::com {

class TVariant {
public:
    TVariant() { VariantInit(&value_); }
    TVariant(const TVariant& other);
    TVariant(TVariant&& other) noexcept;
    TVariant& operator=(TVariant other) noexcept;
    ~TVariant() { VariantClear(&value_); }

    explicit TVariant(long number);
    explicit TVariant(bool flag);
    explicit TVariant(const wchar_t* text);
    explicit TVariant(const std::wstring& text);
    explicit TVariant(IDispatch* object);  // takes a reference of its own
    static TVariant FromVariant(const VARIANT& value);   // follows a by-reference value
    static TVariant ByRef(VARIANT_BOOL* flag);           // a by-reference boolean
    static TVariant Missing();                           // an omitted optional argument

    const VARIANT& Get() const { return value_; }
    VARIANT* Put() { VariantClear(&value_); return &value_; }
    // Hands the value over to a caller-owned VARIANT.
    VARIANT Detach() { const VARIANT out = value_; VariantInit(&value_); return out; }
    VARTYPE Type() const { return value_.vt; }
    bool IsEmpty() const { return value_.vt == VT_EMPTY; }
    bool IsMissing() const { return IsMissing(value_); }
    // An omitted optional argument, as COM passes one.
    static bool IsMissing(const VARIANT& value) { return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND; }

    // Conversions raise EOleError when the value cannot be converted.
    long AsLong() const;
    bool AsBool() const;
    std::wstring AsText() const;
    IDispatch* AsDispatch() const;  // borrowed; null for a null object reference

private:
    VARIANT value_;
};

static_assert(sizeof(TVariant) == sizeof(VARIANT), "TVariant must stay layout-compatible");

}  // namespace kestova::com
