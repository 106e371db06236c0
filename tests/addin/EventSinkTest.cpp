// Event delivery through the sinks: argument order, by-reference copy-back, conversions,
// handlers that destroy their own wrapper, and errors that must never reach the source.
#include <memory>

#include "ComTestSupport.h"
#include "addin/ComServer.h"
#include "addin/com/OutlookIds.h"
#include "addin/uOutlookEvents.h"
#include "core/Exception.h"

namespace kestova::test {
namespace {

using namespace outlook;

class EventSinkTest : public ComTest {};

TEST_F(EventSinkTest, AdvisesOnAttachAndUnadvisesOnDestruction) {
    auto wrapper = std::make_unique<TOutlookApplication>(outlook_->AsDispatch());
    EXPECT_NE(wrapper->Cookie(), 0u);
    EXPECT_EQ(outlook_->Sinks().size(), 1u);
    wrapper.reset();
    EXPECT_TRUE(outlook_->Sinks().empty());
}

// As a source whose Unadvise failed would: it still holds the sink, whose code is ours.
TEST_F(EventSinkTest, ASinkTheSourceStillHoldsKeepsTheLibraryLoaded) {
    const long before = TComServer::Instance().ObjectCount();
    com::ComPtr<TEventSink> kept = std::make_unique<TOutlookApplication>(outlook_->AsDispatch())->EventSink();
    EXPECT_EQ(TComServer::Instance().ObjectCount(), before + 1);
    EXPECT_FALSE(TComServer::Instance().CanUnloadNow());
    kept.Reset();
    EXPECT_EQ(TComServer::Instance().ObjectCount(), before);
}

TEST_F(EventSinkTest, ObjectWithoutConnectionPointGivesSilentWrapper) {
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    TOutlookInspector wrapper(mail->AsDispatch());
    EXPECT_EQ(wrapper.Cookie(), 0u);
    EXPECT_EQ(wrapper.Intf(), static_cast<IUnknown*>(mail->AsDispatch()));
}

TEST_F(EventSinkTest, SinkAnswersOnlyItsOwnInterfaces) {
    TOutlookInspectors wrapper(outlook_->Inspectors().AsDispatch());
    com::ComPtr<IUnknown> answer;
    TEventSink* sink = wrapper.EventSink();
    EXPECT_EQ(sink->QueryInterface(DIID_InspectorsEvents, reinterpret_cast<void**>(answer.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(answer.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(sink->QueryInterface(DIID_InspectorEvents, reinterpret_cast<void**>(answer.ReleaseAndGetAddressOf())),
              E_NOINTERFACE);
    UINT count = 7;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(EventSinkTest, CancelSetByHandlerReachesTheCaller) {
    TOutlookApplication wrapper(outlook_->AsDispatch());
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    IDispatch* received = nullptr;
    wrapper.OnItemSend = [&](TOutlookServer* sender, IDispatch* item, bool& cancel) {
        EXPECT_EQ(sender, &wrapper);
        received = item;
        EXPECT_FALSE(cancel);
        cancel = true;
    };
    EXPECT_TRUE(outlook_->ItemSend(mail->AsDispatch()));
    EXPECT_EQ(received, mail->AsDispatch());
}

TEST_F(EventSinkTest, NamedArgumentsLandOnTheirParameters) {
    TOutlookApplication wrapper(outlook_->AsDispatch());
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    IDispatch* received = nullptr;
    wrapper.OnItemSend = [&](TOutlookServer*, IDispatch* item, bool& cancel) {
        received = item;
        cancel = true;
    };
    VARIANT_BOOL cancel = VARIANT_FALSE;
    // Cancel first, Item second, each named by its position in the event's parameter list.
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispApplicationItemSend,
                         {ByRefArg(VT_BOOL, &cancel), DispatchArg(mail->AsDispatch())}, {1, 0}),
              S_OK);
    EXPECT_EQ(received, mail->AsDispatch());
    EXPECT_EQ(cancel, VARIANT_TRUE);
}

TEST_F(EventSinkTest, NamedArgumentBeyondTheParameterListIsIgnored) {
    TOutlookApplication wrapper(outlook_->AsDispatch());
    int calls = 0;
    wrapper.OnReminder = [&](TOutlookServer*, IDispatch*) { ++calls; };
    const VARIANT item = DispatchArg(outlook_->AsDispatch());
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispApplicationReminder, {item}, {5}), S_OK);
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispApplicationReminder, {item}, {DISPID_PROPERTYPUT}), S_OK);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispApplicationReminder, {item}, {0}), S_OK);
    EXPECT_EQ(calls, 1);
}

// Found by fuzz/EventSinkFuzz.cpp (inputs in fuzz/corpus/event_sink/crash-*): arrays missing
// for their counts and a by-reference argument pointing nowhere crashed the sink.
TEST_F(EventSinkTest, MalformedArgumentListsAreRefusedUntouched) {
    TOutlookApplication wrapper(outlook_->AsDispatch());
    int calls = 0;
    wrapper.OnItemSend = [&](TOutlookServer*, IDispatch*, bool&) { ++calls; };
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    VARIANT args[2] = {ByRefArg(VT_BOOL, nullptr), DispatchArg(mail->AsDispatch())};
    DISPID names[2] = {1, 0};
    const auto invoke = [&](DISPPARAMS params) {
        return wrapper.EventSink()->Invoke(dispApplicationItemSend, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                           &params, nullptr, nullptr, nullptr);
    };
    EXPECT_EQ(invoke({args, nullptr, 2, 0}), E_INVALIDARG);  // Cancel's pointer is null
    VARIANT_BOOL cancel = VARIANT_FALSE;
    args[0] = ByRefArg(VT_BOOL, &cancel);
    EXPECT_EQ(invoke({nullptr, nullptr, 2, 0}), E_INVALIDARG);
    EXPECT_EQ(invoke({args, nullptr, 2, 2}), E_INVALIDARG);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(invoke({args, names, 2, 2}), S_OK);
    EXPECT_EQ(calls, 1);
}

TEST_F(EventSinkTest, CancelIsCopiedBackIntoAByRefVariant) {
    TOutlookExplorer wrapper(outlook_->Explorers().Open(true).window->AsDispatch());
    wrapper.OnBeforeViewSwitch = [](TOutlookServer*, IDispatch*, bool& cancel) { cancel = true; };
    VARIANT inner;
    inner.vt = VT_I4;  // a caller may hand Cancel as a variant of any convertible type
    inner.lVal = 0;
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispExplorerBeforeViewSwitch,
                         {ByRefArg(VT_VARIANT, &inner), DispatchArg(outlook_->AsDispatch())}),
              S_OK);
    EXPECT_EQ(inner.vt, VT_BOOL);
    EXPECT_EQ(inner.boolVal, VARIANT_TRUE);
}

// The string handed back must be a live one: a freed one is reused by later allocations of its
// size.
TEST_F(EventSinkTest, StringByRefIsHandedBackAlive) {
    TOutlookExplorer wrapper(outlook_->Explorers().Open(true).window->AsDispatch());
    BSTR text = SysAllocString(L"Kestova");
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), 0x1234, {ByRefArg(VT_BSTR, &text)}), S_OK);
    com::TBstr handedBack;
    *handedBack.Put() = text;
    std::vector<com::TBstr> sameSize;  // more than the system keeps for reuse
    for (int i = 0; i < 64; ++i) sameSize.emplace_back(L"XXXXXXX");
    EXPECT_EQ(handedBack.Text(), L"Kestova");
}

TEST_F(EventSinkTest, UnknownDispidAndEmptySlotCallNothing) {
    TOutlookExplorer wrapper(outlook_->Explorers().Open(true).window->AsDispatch());
    int calls = 0;
    wrapper.OnActivate = [&](TOutlookServer*) { ++calls; };
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), 0x1234, {}), S_OK);
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispExplorerClose, {}), S_OK);  // Close slot empty
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispExplorerActivate, {}), S_OK);
    EXPECT_EQ(calls, 1);
}

TEST_F(EventSinkTest, ArgumentThatIsNotAnInspectorCallsNoHandler) {
    TOutlookInspectors wrapper(outlook_->Inspectors().AsDispatch());
    int calls = 0;
    wrapper.OnNewInspector = [&](TOutlookServer*, IDispatch*) { ++calls; };
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispNewInspector, {DispatchArg(mail->AsDispatch())}), S_OK);
    outlook_->Inspectors().FireNewInspector(mail->AsDispatch());
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispNewInspector, {}), S_OK);  // no argument at all
    EXPECT_EQ(calls, 0);
    outlook_->Inspectors().Open(mail);
    EXPECT_EQ(calls, 1);
}

TEST_F(EventSinkTest, HandlerErrorsStayInsideInvoke) {
    const auto inspector = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail)).window;
    TOutlookInspector wrapper(inspector->AsDispatch());
    wrapper.OnActivate = [](TOutlookServer*) { throw Exception("handler failed"); };
    EXPECT_EQ(InvokeSink(wrapper.EventSink(), dispInspectorActivate, {}), S_OK);
}

TEST_F(EventSinkTest, CloseHandlerMayDestroyItsWrapperAndTheOrphanedSinkDropsEvents) {
    auto inspector = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail)).window;
    auto wrapper = std::make_unique<TOutlookInspector>(inspector->AsDispatch());
    int activations = 0;
    wrapper->OnActivate = [&](TOutlookServer*) { ++activations; };
    wrapper->OnClose = [&](TOutlookServer* sender) {
        EXPECT_EQ(sender, wrapper.get());
        wrapper.reset();
    };
    const com::ComPtr<IDispatch> sink = inspector->Sinks().at(0);
    inspector->Close();
    EXPECT_EQ(wrapper, nullptr);
    EXPECT_TRUE(inspector->Sinks().empty());
    EXPECT_EQ(InvokeSink(sink.Get(), dispInspectorActivate, {}), S_OK);
    EXPECT_EQ(activations, 0);
}

TEST_F(EventSinkTest, ButtonClickPassesTheButtonAndReturnsCancelDefault) {
    auto explorer = outlook_->Explorers().Open(true).window;
    auto button = explorer->CommandBars().Find(L"Standard")->Controls().Items().at(0);
    TOutlookCommandBarButton wrapper(button->AsDispatch());
    IDispatch* ctrl = nullptr;
    wrapper.OnClick = [&](TOutlookServer*, IDispatch* control, bool& cancelDefault) {
        ctrl = control;
        cancelDefault = true;
    };
    EXPECT_TRUE(button->Click());
    EXPECT_EQ(ctrl, button->AsDispatch());
}

}  // namespace
}  // namespace kestova::test
