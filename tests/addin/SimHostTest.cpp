// The simulated Outlook as the add-in sees it through late binding: named arguments, items by
// caption, attachments, and the saved message.
#include "ComTestSupport.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "tools/outlook_sim/ComAddIn.h"
#include "tools/outlook_sim/Eml.h"

namespace kestova::test {
namespace {

using com::CallMethod;
using com::GetProperty;
using com::PutProperty;
using com::TVariant;

class SimHostTest : public ComTest {};

TEST_F(SimHostTest, ControlsAddWithNamedArgumentsAndItemByCaption) {
    auto explorer = outlook_->Explorers().Open(true);
    IDispatch* bars = GetProperty(explorer->AsDispatch(), L"CommandBars").AsDispatch();
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
    auto inspector = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail));
    IDispatch* bars = GetProperty(inspector->AsDispatch(), L"CommandBars").AsDispatch();
    EXPECT_THROW(GetProperty(bars, L"Item", {TVariant(L"Kestova")}), com::EOleError);
    const TVariant bar = CallMethod(bars, L"Add", {TVariant(L"Kestova"), TVariant(1L), TVariant(false), TVariant(true)});
    PutProperty(bar.AsDispatch(), L"Visible", TVariant(true));
    ASSERT_NE(inspector->CommandBars().Find(L"Kestova"), nullptr);
    EXPECT_TRUE(inspector->CommandBars().Find(L"Kestova")->Visible());
}

TEST_F(SimHostTest, AttachmentsByNameAddAtPositionAndDelete) {
    const std::wstring path = L"sim_host_attachment.bin";
    {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fputs("Man", file);
        fclose(file);
    }
    auto mail = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    IDispatch* attachments = GetProperty(mail->AsDispatch(), L"Attachments").AsDispatch();
    CallMethod(attachments, L"Add", {TVariant(path), TVariant(1L), TVariant(1L), TVariant(L"first.bin")});
    CallMethod(attachments, L"Add", {TVariant(path), TVariant(1L), TVariant(1L), TVariant(L"second.bin")});
    EXPECT_EQ(GetProperty(attachments, L"Count").AsLong(), 2);
    const TVariant first = GetProperty(attachments, L"Item", {TVariant(1L)});
    EXPECT_EQ(GetProperty(first.AsDispatch(), L"DisplayName").AsText(), L"second.bin");
    CallMethod(GetProperty(attachments, L"Item", {TVariant(L"SECOND.BIN")}).AsDispatch(), L"Delete");
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

TEST(Base64Test, PadsTheLastGroup) {
    EXPECT_EQ(sim::Base64(""), "");
    EXPECT_EQ(sim::Base64("M"), "TQ==");
    EXPECT_EQ(sim::Base64("Ma"), "TWE=");
    EXPECT_EQ(sim::Base64(std::string("\xff\x00\x80", 3)), "/wCA");
}

}  // namespace
}  // namespace kestova::test
