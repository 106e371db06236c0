#pragma once
// Late-bound automation calls: members are found by name through IDispatch, the way a script
// or a Delphi OleVariant would call them. Failures raise EOleError naming the member.
#include <oaidl.h>

#include <string>
#include <vector>

#include "addin/com/Variant.h"

namespace kestova::com {

struct TNamedArg {
    std::wstring name;
    TVariant value;
};

TVariant GetProperty(IDispatch* object, const std::wstring& name, std::vector<TVariant> args = {});
void PutProperty(IDispatch* object, const std::wstring& name, TVariant value);
TVariant CallMethod(IDispatch* object, const std::wstring& name, std::vector<TVariant> args = {},
                    std::vector<TNamedArg> named = {});

}  // namespace kestova::com
