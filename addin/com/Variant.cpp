#include "addin/com/Variant.h"

#include <utility>

#include "addin/com/Handles.h"
#include "addin/com/OleError.h"

namespace kestova::com {

TVariant::TVariant(const TVariant& other) {
    VariantInit(&value_);
    Check(VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)), "VariantCopy");
}

TVariant::TVariant(TVariant&& other) noexcept : value_(other.value_) {
    VariantInit(&other.value_);
}

TVariant& TVariant::operator=(TVariant other) noexcept {
    std::swap(value_, other.value_);
    return *this;
}

TVariant::TVariant(long number) {
    VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

TVariant::TVariant(bool flag) {
    VariantInit(&value_);
    value_.vt = VT_BOOL;
    value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

TVariant::TVariant(const wchar_t* text) : TVariant(std::wstring(text)) {}

TVariant::TVariant(const std::wstring& text) {
    VariantInit(&value_);
    value_.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    if (!value_.bstrVal) throw EOleError(E_OUTOFMEMORY, "SysAllocString");
    value_.vt = VT_BSTR;
}

TVariant::TVariant(IDispatch* object) {
    VariantInit(&value_);
    value_.vt = VT_DISPATCH;
    value_.pdispVal = object;
    if (object) object->AddRef();
}

TVariant TVariant::FromVariant(const VARIANT& value) {
    TVariant copy;
    Check(VariantCopyInd(&copy.value_, const_cast<VARIANT*>(&value)), "VariantCopyInd");
    return copy;
}

TVariant TVariant::ByRef(VARIANT_BOOL* flag) {
    TVariant ref;
    ref.value_.vt = VT_BOOL | VT_BYREF;
    ref.value_.pboolVal = flag;
    return ref;
}

TVariant TVariant::Missing() {
    TVariant missing;
    missing.value_.vt = VT_ERROR;
    missing.value_.scode = DISP_E_PARAMNOTFOUND;
    return missing;
}

namespace {

TVariant Converted(const VARIANT& value, VARTYPE type) {
    TVariant result;
    Check(VariantChangeType(result.Put(), const_cast<VARIANT*>(&value), 0, type), "VariantChangeType");
    return result;
}

}  // namespace

long TVariant::AsLong() const { return Converted(value_, VT_I4).Get().lVal; }

bool TVariant::AsBool() const { return Converted(value_, VT_BOOL).Get().boolVal != VARIANT_FALSE; }

std::wstring TVariant::AsText() const {
    return BstrText(Converted(value_, VT_BSTR).Get().bstrVal);
}

IDispatch* TVariant::AsDispatch() const {
    if (value_.vt == VT_DISPATCH) return value_.pdispVal;
    throw EOleError(DISP_E_TYPEMISMATCH, "not an object reference");
}

}  // namespace kestova::com
