// The simulated Outlook as the add-in sees it through late binding: named arguments, items by
// caption, attachments, the saved message, and Invoke as strict as Outlook's type library.
#include <algorithm>
#include <thread>

#include "ComTestSupport.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OutlookIds.h"
#include "addin/com/OleError.h"
#include "tools/outlook_sim/ComAddIn.h"
#include "tools/outlook_sim/Eml.h"
#include "tools/outlook_sim/Ribbon.h"
#include "tools/outlook_sim/RibbonXml.h"
#include "platform/win32/WideText.h"

namespace kestova::test {
namespace {

using com::CallMethod;
using com::GetProperty;
using com::PutProperty;
using com::TVariant;

class SimHostTest : public ComTest {};

// One raw Invoke, the arguments given in declared order.
struct TRawCall {
    HRESULT result;
    UINT argError;
    HRESULT scode;  // of the exception, for DISP_E_EXCEPTION
};
TRawCall Invoke(IDispatch* object, DISPID dispid, WORD flags, std::vector<TVariant> args = {},
                std::vector<DISPID> named = {}, REFIID riid = IID_NULL) {
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{reinterpret_cast<VARIANTARG*>(args.data()), named.data(), UINT(args.size()), UINT(named.size())};
    TVariant result;
    EXCEPINFO info{};
    UINT argError = 99;
    const HRESULT hr = object->Invoke(dispid, riid, LOCALE_USER_DEFAULT, flags, &params, result.Put(), &info, &argError);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return {hr, argError, info.scode};
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    return id;
}

TEST_F(SimHostTest, ControlsAddWithNamedArgumentsAndItemByCaption) {
    auto explorer = outlook_->Explorers().Open(true).window;
    const auto barsObject = com::ObjectOf(GetProperty(explorer->AsDispatch(), L"CommandBars"), L"CommandBars");
    IDispatch* bars = barsObject.Get();
    IDispatch* standard = GetProperty(bars, L"Item", {TVariant(L"standard")}).AsDispatch();
    IDispatch* controls = GetProperty(standard, L"Controls").AsDispatch();
    const TVariant added = CallMethod(controls, L"Add", {}, {{L"Type", TVariant(1L)}, {L"Temporary", TVariant(true)}});
    PutProperty(added.AsDispatch(), L"Caption", TVariant(L"About Kestova"));
    PutProperty(added.AsDispatch(), L"BeginGroup", TVariant(true));
    const TVariant found = GetProperty(controls, L"Item", {TVariant(L"About Kestova")});
    EXPECT_EQ(found.AsDispatch(), added.AsDispatch());
    auto button = explorer->CommandBars().Find(L"Standard")->Controls().Items().back();
    EXPECT_TRUE(button->Temporary());
    EXPECT_TRUE(button->BeginGroup());
    EXPECT_THROW(GetProperty(controls, L"Item", {TVariant(L"Kestova")}), com::EOleError);
    EXPECT_THROW(CallMethod(controls, L"Add", {}, {{L"Colour", TVariant(1L)}}), com::EOleError);
}

TEST_F(SimHostTest, ToolbarAddAndVisible) {
    auto inspector = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail)).window;
    const auto barsObject = com::ObjectOf(GetProperty(inspector->AsDispatch(), L"CommandBars"), L"CommandBars");
    IDispatch* bars = barsObject.Get();
    EXPECT_THROW(GetProperty(bars, L"Item", {TVariant(L"Kestova")}), com::EOleError);
    const TVariant bar = CallMethod(bars, L"Add", {TVariant(L"Kestova"), TVariant(1L), TVariant(false), TVariant(true)});
    PutProperty(bar.AsDispatch(), L"Visible", TVariant(true));
    ASSERT_NE(inspector->CommandBars().Find(L"Kestova"), nullptr);
    EXPECT_TRUE(inspector->CommandBars().Find(L"Kestova")->Visible());
}

TEST_F(SimHostTest, AttachmentsByNumberNamedAndPlacedInRichTextOnly) {
    const std::wstring path = L"sim_host_attachment.bin";
    {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fputs("Man", file);
        fclose(file);
    }
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    IDispatch* attachments = GetProperty(mail->AsDispatch(), L"Attachments").AsDispatch();
    EXPECT_EQ(GetProperty(mail->AsDispatch(), L"BodyFormat").AsLong(), sim::olFormatHTML);
    CallMethod(attachments, L"Add", {TVariant(path), TVariant(1L), TVariant(1L), TVariant(L"ignored.bin")});
    PutProperty(mail->AsDispatch(), L"BodyFormat", TVariant(long(sim::olFormatRichText)));
    CallMethod(attachments, L"Add", {TVariant(path), TVariant(1L), TVariant(1L), TVariant(L"first.bin")});
    EXPECT_EQ(GetProperty(attachments, L"Count").AsLong(), 2);
    const TVariant first = GetProperty(attachments, L"Item", {TVariant(1L)});
    EXPECT_EQ(GetProperty(first.AsDispatch(), L"DisplayName").AsText(), L"first.bin");
    const TVariant second = GetProperty(attachments, L"Item", {TVariant(2L)});
    EXPECT_EQ(GetProperty(second.AsDispatch(), L"DisplayName").AsText(), path);  // HTML: the file's own name
    EXPECT_EQ(Invoke(attachments, IdOf(attachments, L"Item"), DISPATCH_METHOD, {TVariant(L"first.bin")}).scode,
              DISP_E_BADINDEX);
    CallMethod(second.AsDispatch(), L"Delete");
    EXPECT_EQ(GetProperty(attachments, L"Count").AsLong(), 1);
    EXPECT_THROW(CallMethod(attachments, L"Add", {TVariant(L"no such file")}), com::EOleError);

    const std::string eml = sim::EmlText(*mail.Get());
    EXPECT_NE(eml.find("filename=\"first.bin\""), std::string::npos);
    EXPECT_NE(eml.find("\r\nTWFu\r\n"), std::string::npos);  // "Man" in base64
    _wremove(path.c_str());
}

TEST_F(SimHostTest, ComAddInTellsItsProgIdConnectionAndObject) {
    const auto instance = com::Make<sim::TSimComAddIn>(L"No.SuchAddin");
    EXPECT_EQ(GetProperty(instance->AsDispatch(), L"ProgId").AsText(), L"No.SuchAddin");
    EXPECT_EQ(GetProperty(instance->AsDispatch(), L"Description").AsText(), L"No.SuchAddin");  // unregistered
    EXPECT_FALSE(GetProperty(instance->AsDispatch(), L"Connect").AsBool());
    instance->SetConnected(true);
    EXPECT_TRUE(GetProperty(instance->AsDispatch(), L"Connect").AsBool());
    PutProperty(instance->AsDispatch(), L"Object", TVariant(outlook_->AsDispatch()));
    EXPECT_EQ(GetProperty(instance->AsDispatch(), L"Object").AsDispatch(), outlook_->AsDispatch());
}

// Each refusal of a type library's Invoke, on the attachments collection and one attachment.
TEST_F(SimHostTest, StrictInvokeRefusesWhatOutlookRefuses) {
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    IDispatch* attachments = GetProperty(mail->AsDispatch(), L"Attachments").AsDispatch();
    const DISPID count = IdOf(attachments, L"Count");
    const DISPID item = IdOf(attachments, L"Item");
    const DISPID remove = IdOf(attachments, L"Remove");
    EXPECT_EQ(item, 81);  // Outlook's own numbering
    const WORD get = DISPATCH_PROPERTYGET;
    const WORD call = DISPATCH_METHOD;
    EXPECT_EQ(Invoke(attachments, count, get, {}, {}, IID_IDispatch).result, DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(Invoke(attachments, count, call).result, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Invoke(attachments, item, get, {TVariant(1L)}).result, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Invoke(attachments, item, call, {TVariant(1L), TVariant(2L)}).result, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Invoke(attachments, item, call).result, DISP_E_PARAMNOTOPTIONAL);
    const TRawCall mismatch = Invoke(attachments, remove, call, {TVariant(L"one")});
    EXPECT_EQ(mismatch.result, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argError, 0u);
    const DISPID putId = DISPID_PROPERTYPUT;
    EXPECT_EQ(Invoke(attachments, count, DISPATCH_PROPERTYPUT, {TVariant(1L)}, {putId}).result, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Invoke(mail->AsDispatch(), IdOf(mail->AsDispatch(), L"Subject"), DISPATCH_PROPERTYPUT, {TVariant(L"x")}).result,
              DISP_E_PARAMNOTOPTIONAL);
    // Item is also the collection's default member; an out-of-range index fails inside the call.
    EXPECT_EQ(Invoke(attachments, DISPID_VALUE, call, {TVariant(1L)}).scode, DISP_E_BADINDEX);
    HRESULT elsewhere = S_OK;
    std::thread([&] { elsewhere = Invoke(attachments, count, get).result; }).join();
    EXPECT_EQ(elsewhere, RPC_E_WRONG_THREAD);
}

TEST_F(SimHostTest, ButtonsAnswerAsControlsAndWindowsHandCommandBarsAsUnknown) {
    auto explorer = outlook_->Explorers().Open(true).window;
    const TVariant bars = GetProperty(explorer->AsDispatch(), L"CommandBars");
    EXPECT_EQ(bars.Type(), VT_UNKNOWN);
    auto button = explorer->CommandBars().Find(L"Standard")->Controls().Items().front();
    com::ComPtr<IDispatch> control;
    EXPECT_EQ(com::QueryDispatch(button->AsDispatch(), outlook::IID_CommandBarControl, control), S_OK);
}

TEST(Base64Test, PadsTheLastGroup) {
    EXPECT_EQ(sim::Base64(""), "");
    EXPECT_EQ(sim::Base64("M"), "TQ==");
    EXPECT_EQ(sim::Base64("Ma"), "TWE=");
    EXPECT_EQ(sim::Base64(std::string("\xff\x00\x80", 3)), "/wCA");
}

// Each document differs from an accepted one by one fault Outlook reports as a custom UI error.
TEST_F(SimHostTest, RibbonXmlThatOutlookRefusesIsRefused) {
    const auto document = [](const std::wstring& ns, const std::wstring& tab, const std::wstring& buttons) {
        return L"<?xml version=\"1.0\"?>\n<customUI xmlns=\"http://schemas.microsoft.com/office/" + ns +
               L"/customui\"><ribbon><tabs><tab idMso=\"" + tab + L"\"><group id=\"g\" label=\"G\">" + buttons +
               L"</group></tab></tabs></ribbon></customUI>";
    };
    const std::wstring button = L"<button id=\"b\" label=\"B\" getEnabled=\"E\" onAction=\"A\"/>";
    const std::wstring compose = L"Microsoft.Outlook.Mail.Compose";
    EXPECT_EQ(sim::ParseCustomUI(document(L"2009/07", L"TabNewMailMessage", button), compose, 16).buttons.size(), 1u);
    EXPECT_EQ(sim::ParseCustomUI(document(L"2006/01", L"TabNewMailMessage", button), compose, 12).buttons.size(), 1u);
    const struct {
        std::wstring xml;
        int major;
    } refused[] = {
        {document(L"2009/07", L"TabNewMailMessage", button), 12},
        {document(L"2009/07", L"TabReadMessage", button), 16},
        {document(L"2009/07", L"TabNewMailMessage", L"<toggle id=\"t\"/>"), 16},
        {document(L"2009/07", L"TabNewMailMessage", L"<button id=\"b\" colour=\"red\"/>"), 16},
        {document(L"2009/07", L"TabNewMailMessage", button + button), 16},
        {document(L"2009/07", L"TabNewMailMessage", L"<button id=\"b\" label=\"B\" getLabel=\"L\"/>"), 16},
        {document(L"2009/07", L"TabNewMailMessage", L"<button id=\"b\">"), 16},
    };
    for (const auto& r : refused)
        EXPECT_THROW(sim::ParseCustomUI(r.xml, compose, r.major), Exception) << win32::Narrow(r.xml);
}

// Office answers IRibbonUI with its own vtable; a plain IDispatch there has no Invalidate slot.
TEST_F(SimHostTest, RibbonUIAnswersItsVtable) {
    int redrawn = 0;
    const auto ui = com::Make<sim::TSimRibbonUI>([&] { ++redrawn; });
    com::ComPtr<IRibbonUI> typed;
    ASSERT_EQ(ui->AsDispatch()->QueryInterface(__uuidof(IRibbonUI), reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
    EXPECT_EQ(typed->Invalidate(), S_OK);
    EXPECT_EQ(typed->InvalidateControl(nullptr), S_OK);
    EXPECT_EQ(redrawn, 2);
}

}  // namespace
}  // namespace kestova::test
