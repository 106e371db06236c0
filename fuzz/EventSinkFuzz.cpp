// The event sink's conversion of what a source passes to Invoke, with the DISPPARAMS built
// from the input: argument and name counts, named DISPIDs, value types with and without
// VT_BYREF, null argument and name arrays and null by-reference pointers. Objects are a real
// simulated mail item or null, never made-up pointers: no sink can survive those.
#include <deque>
#include <memory>
#include <vector>

#include "addin/com/Variant.h"
#include "addin/uOutlookEvents.h"
#include "tools/outlook_sim/Items.h"

namespace kestova::fuzz {
namespace {

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | uint32_t(Byte()) << 24; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// What a by-reference argument points at; the caller owns it across the call.
struct TTarget {
    ~TTarget() { SysFreeString(text); }
    VARIANT_BOOL flag = VARIANT_FALSE;
    SHORT small = 0;
    LONG number = 0;
    DOUBLE real = 0;
    CY currency{};
    BSTR text = nullptr;
    IDispatch* object = nullptr;
    com::TVariant variant;
};

constexpr VARTYPE kTypes[] = {VT_EMPTY, VT_NULL, VT_I2,   VT_I4,   VT_R8,       VT_BOOL, VT_BSTR, VT_DISPATCH,
                              VT_UNKNOWN, VT_ERROR, VT_I1, VT_UI1, VT_UI4,      VT_DATE, VT_CY,   VT_VARIANT};

constexpr DISPID kDispids[] = {0xF001, 0xF002, 0xF003, 0xF004, 0xF005, 0xF006, 0xF007, 0xF008, 1, 0, DISPID_UNKNOWN};

class TCall {
public:
    explicit TCall(TReader& in) : in_(in) {}

    DISPPARAMS Build() {
        const UINT count = in_.Byte() % 9;
        const UINT named = count == 0 ? 0 : in_.Byte() % (count + 1);
        args_.resize(count);
        for (com::TVariant& arg : args_) Fill(arg);
        for (UINT i = 0; i < named; ++i) names_.push_back(DISPID(int8_t(in_.Byte())));
        const uint8_t nulls = in_.Byte();
        // The layout of TVariant is that of VARIANT, so the owning array is the argument list.
        VARIANTARG* const list = (nulls & 0x0F) == 1 ? nullptr : reinterpret_cast<VARIANTARG*>(args_.data());
        DISPID* const names = (nulls & 0xF0) == 0x10 ? nullptr : names_.data();
        return DISPPARAMS{list, names, count, named};
    }

private:
    void Fill(com::TVariant& arg) {
        const uint8_t choice = in_.Byte();
        const VARTYPE type = kTypes[choice % std::size(kTypes)];
        if (choice & 0x80) {
            VARIANT& v = *arg.Put();
            v.vt = type | VT_BYREF;
            v.byref = (choice & 0x40) ? nullptr : Target(type);
        } else if (type != VT_VARIANT) {
            Value(*arg.Put(), type);
        }
    }

    void* Target(VARTYPE type) {
        TTarget& target = targets_.emplace_back();
        switch (type) {
            case VT_BOOL: target.flag = in_.Byte() & 1 ? VARIANT_TRUE : VARIANT_FALSE; return &target.flag;
            case VT_I2: target.small = SHORT(in_.Word()); return &target.small;
            case VT_BSTR: target.text = Text(); return &target.text;
            case VT_DISPATCH: case VT_UNKNOWN: target.object = Object(); return &target.object;
            case VT_CY: target.currency.int64 = int32_t(in_.Word()); return &target.currency;
            case VT_VARIANT:  // one level deep: a variant of any type but VT_VARIANT
                Value(*target.variant.Put(), kTypes[in_.Byte() % (std::size(kTypes) - 1)]);
                return &target.variant;
            case VT_R8: case VT_DATE: target.real = double(int32_t(in_.Word())) / 16; return &target.real;
            default: target.number = LONG(in_.Word()); return &target.number;
        }
    }

    void Value(VARIANT& v, VARTYPE type) {
        v.vt = type;
        switch (type) {
            case VT_BSTR: v.bstrVal = Text(); break;
            case VT_DISPATCH: v.pdispVal = Object(); if (v.pdispVal) v.pdispVal->AddRef(); break;
            case VT_UNKNOWN: v.punkVal = Object(); if (v.punkVal) v.punkVal->AddRef(); break;
            case VT_R8: case VT_DATE: v.dblVal = double(int32_t(in_.Word())) / 16; break;
            case VT_CY: v.cyVal.int64 = int32_t(in_.Word()); break;
            default: v.lVal = LONG(in_.Word()); break;
        }
    }

    BSTR Text() {
        std::wstring text(in_.Byte() % 12, L'\0');
        for (wchar_t& c : text) c = wchar_t(in_.Byte() | (in_.Byte() & 0x3) << 8);
        return SysAllocStringLen(text.data(), UINT(text.size()));
    }

    IDispatch* Object() { return in_.Byte() & 1 ? item_->AsDispatch() : nullptr; }

    TReader& in_;
    com::ComPtr<sim::TSimItem> item_ = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    std::deque<TTarget> targets_;  // stable addresses; outlives args_, which may point here
    std::vector<com::TVariant> args_;
    std::vector<DISPID> names_;
};

template <class TWrapper, class TSetup>
std::unique_ptr<TOutlookServer> Wrapped(const TSetup& setup) {
    auto wrapper = std::make_unique<TWrapper>(nullptr);
    setup(*wrapper);
    return wrapper;
}

// Every kind of wrapper, with handlers on the events that take arguments: the cancel ones
// flip the flag so that a value is written back.
std::unique_ptr<TOutlookServer> Wrapper(uint8_t kind) {
    const TCancelEvent flip = [](TOutlookServer*, IDispatch*, bool& cancel) { cancel = !cancel; };
    const TObjectEvent take = [](TOutlookServer*, IDispatch*) {};
    switch (kind % 6) {
        case 0:
            return Wrapped<TOutlookApplication>([&](auto& w) {
                w.OnItemSend = flip;
                w.OnReminder = w.OnOptionsPagesAdd = take;
            });
        case 1: return Wrapped<TOutlookExplorers>([&](auto& w) { w.OnNewExplorer = take; });
        case 2:
            return Wrapped<TOutlookExplorer>([&](auto& w) { w.OnBeforeFolderSwitch = w.OnBeforeViewSwitch = flip; });
        case 3: return Wrapped<TOutlookInspectors>([&](auto& w) { w.OnNewInspector = take; });
        case 4: return std::make_unique<TOutlookInspector>(nullptr);
        default: return Wrapped<TOutlookCommandBarButton>([&](auto& w) { w.OnClick = flip; });
    }
}

}  // namespace
}  // namespace kestova::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestova::fuzz;
    TReader in(data, size);
    const auto wrapper = Wrapper(in.Byte());
    const uint8_t pick = in.Byte();
    const DISPID dispid = pick < 0xF0 ? kDispids[pick % std::size(kDispids)] : DISPID(in.Word());
    TCall call(in);
    DISPPARAMS params = call.Build();
    const bool noParams = (pick & 0x0F) == 0x0F;
    wrapper->EventSink()->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, noParams ? nullptr : &params,
                                 nullptr, nullptr, nullptr);
    return 0;
}
