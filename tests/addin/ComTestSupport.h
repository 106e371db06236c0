#pragma once
// What the add-in tests share: a COM apartment per test and a simulated Outlook.
#include <gtest/gtest.h>

#include "addin/com/Handles.h"
#include "tools/outlook_sim/Application.h"

namespace kestova::test {

class ComTest : public ::testing::Test {
protected:
    // Outlook 2003 unless a test says otherwise: the command-bar tests predate the ribbon.
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.Result()));
        outlook_->SetVersion(L"11.0");
    }

    com::TApartment apartment_;
    com::ComPtr<sim::TSimApplication> outlook_ = com::Make<sim::TSimApplication>();
};

// Arguments as a source hands them over: borrowed, so never cleared.
inline VARIANT DispatchArg(IDispatch* value) {
    VARIANT arg;
    arg.vt = VT_DISPATCH;
    arg.pdispVal = value;
    return arg;
}
inline VARIANT ByRefArg(VARTYPE type, void* target) {
    VARIANT arg;
    arg.vt = type | VT_BYREF;
    arg.byref = target;
    return arg;
}

// Calls the sink's Invoke as a source would, with the arguments already in COM's order.
inline HRESULT InvokeSink(IDispatch* sink, DISPID dispid, std::vector<VARIANT> args, std::vector<DISPID> named = {}) {
    DISPPARAMS params{args.data(), named.data(), UINT(args.size()), UINT(named.size())};
    return sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

}  // namespace kestova::test
