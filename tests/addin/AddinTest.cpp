// The add-in object against the simulated Outlook: which windows it adopts and when, what
// disconnection and destruction leave, its automation identity, and its ribbon.
#include "ComTestSupport.h"
#include "addin/ComServer.h"
#include "addin/com/OutlookIds.h"
#include "addin/uAddin.h"
#include "addin/RibbonImage.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/AddinHost.h"
#include "tools/outlook_sim/Png.h"
#include "tools/outlook_sim/RibbonXml.h"

namespace kestova::test {
namespace {

class AddinTest : public ComTest {
protected:
    com::ComPtr<TzelAddin> addin_ = com::Make<TzelAddin>();

    HRESULT Connect() {
        SAFEARRAY* custom = nullptr;
        return addin_->OnConnection(outlook_->AsDispatch(), com::ext_cm_Startup, nullptr, &custom);
    }
    HRESULT Disconnect() {
        SAFEARRAY* custom = nullptr;
        return addin_->OnDisconnection(com::ext_dm_HostShutdown, &custom);
    }
    com::ComPtr<sim::TSimInspector> OpenMail() {
        return outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail)).window;
    }
};

TEST_F(AddinTest, NoWindowAtConnectionThenFirstNewWindowsAreAdopted) {
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(addin_->InspectorList().Count(), 0u);
    EXPECT_EQ(addin_->ExplorerList().Count(), 0u);
    OpenMail();
    EXPECT_EQ(addin_->InspectorList().Count(), 1u);
    outlook_->Explorers().Open(true);
    EXPECT_EQ(addin_->ExplorerList().Count(), 1u);
}

TEST_F(AddinTest, WindowsOpenAtConnectionAreAdoptedWithTheCollectionAsSender) {
    auto first = OpenMail();
    auto second = OpenMail();
    auto explorer = outlook_->Explorers().Open(false).window;
    ASSERT_EQ(Connect(), S_OK);
    ASSERT_EQ(addin_->InspectorList().Count(), 2u);
    EXPECT_EQ(addin_->InspectorList()[0].Intf(), static_cast<IUnknown*>(first->AsDispatch()));
    EXPECT_EQ(addin_->InspectorList()[1].Intf(), static_cast<IUnknown*>(second->AsDispatch()));
    ASSERT_EQ(addin_->ExplorerList().Count(), 1u);
    EXPECT_EQ(explorer->Sinks().size(), 1u);
}

TEST_F(AddinTest, ContactInspectorIsAdoptedLikeAMail) {
    ASSERT_EQ(Connect(), S_OK);
    auto contact = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Contact)).window;
    ASSERT_EQ(addin_->InspectorList().Count(), 1u);
    EXPECT_EQ(contact->Sinks().size(), 1u);
}

TEST_F(AddinTest, ClosingAWindowRemovesExactlyItsWrapper) {
    ASSERT_EQ(Connect(), S_OK);
    auto first = OpenMail();
    auto second = OpenMail();
    auto third = OpenMail();
    auto explorer = outlook_->Explorers().Open(true).window;
    second->Close();
    ASSERT_EQ(addin_->InspectorList().Count(), 2u);
    EXPECT_EQ(addin_->InspectorList()[0].Intf(), static_cast<IUnknown*>(first->AsDispatch()));
    EXPECT_EQ(addin_->InspectorList()[1].Intf(), static_cast<IUnknown*>(third->AsDispatch()));
    EXPECT_TRUE(second->Sinks().empty());
    EXPECT_EQ(third->Sinks().size(), 1u);
    explorer->Close();
    EXPECT_EQ(addin_->ExplorerList().Count(), 0u);
    EXPECT_EQ(addin_->InspectorList().Count(), 2u);
}

TEST_F(AddinTest, CloseOfAnUnlistedWrapperChangesNothing) {
    ASSERT_EQ(Connect(), S_OK);
    OpenMail();
    TOutlookInspector stranger(OpenMail()->AsDispatch());
    addin_->ReleaseInspector(&stranger);
    addin_->ReleaseExplorer(&stranger);
    EXPECT_EQ(addin_->InspectorList().Count(), 2u);
}

TEST_F(AddinTest, DisconnectionDropsCollectionWrappersButKeepsWindowWrappers) {
    ASSERT_EQ(Connect(), S_OK);
    auto mail = OpenMail();
    auto kept = OpenMail();
    auto explorer = outlook_->Explorers().Open(true).window;
    ASSERT_EQ(Disconnect(), S_OK);
    EXPECT_EQ(addin_->InspectorsWrapper(), nullptr);
    EXPECT_EQ(addin_->ExplorersWrapper(), nullptr);
    EXPECT_EQ(addin_->ApplicationWrapper(), nullptr);
    EXPECT_TRUE(addin_->OutlookApp().IsEmpty());
    EXPECT_EQ(addin_->InspectorList().Count(), 2u);
    EXPECT_EQ(addin_->ExplorerList().Count(), 1u);
    EXPECT_TRUE(outlook_->Sinks().empty());
    EXPECT_TRUE(outlook_->Inspectors().Sinks().empty());

    OpenMail();  // NewInspector no longer arrives
    EXPECT_EQ(addin_->InspectorList().Count(), 2u);
    mail->Close();  // but Close of a remaining window does
    EXPECT_EQ(addin_->InspectorList().Count(), 1u);

    addin_.Reset();
    EXPECT_TRUE(kept->Sinks().empty());
    EXPECT_TRUE(explorer->Sinks().empty());
}

TEST_F(AddinTest, FailedConnectionReportsErrorAndIsFreedAtDestruction) {
    auto notOutlook = com::Make<sim::TSimItem>(sim::TItemKind::Mail);
    SAFEARRAY* custom = nullptr;
    EXPECT_TRUE(FAILED(addin_->OnConnection(notOutlook->AsDispatch(), com::ext_cm_Startup, nullptr, &custom)));
    com::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    com::TBstr description;
    info->GetDescription(description.Put());
    EXPECT_NE(description.Text().find(L"Inspectors"), std::wstring::npos);
    EXPECT_NE(addin_->ApplicationWrapper(), nullptr);  // built before the failing step
    EXPECT_EQ(notOutlook->Sinks().size(), 0u);
}

TEST_F(AddinTest, OptionsPagesAddIsHandledAndOtherApplicationEventsAreNot) {
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_TRUE(static_cast<bool>(addin_->ApplicationWrapper()->OnOptionsPagesAdd));
    EXPECT_FALSE(static_cast<bool>(addin_->ApplicationWrapper()->OnItemSend));
    EXPECT_FALSE(outlook_->ItemSend(com::Make<sim::TSimItem>(sim::TItemKind::Mail)->AsDispatch()));
}

TEST_F(AddinTest, HostConnectsAndReleasesTheObjectCompletely) {
    const long before = TComServer::Instance().ObjectCount();
    auto window = OpenMail();
    {
        sim::TAddinHost host(outlook_->AsDispatch());
        ASSERT_EQ(host.Connect(L"zelt.zelAddin", static_cast<IzelAddin*>(addin_.Get())), S_OK);
        addin_.Reset();
        EXPECT_GT(TComServer::Instance().ObjectCount(), before - 1);  // the host's reference keeps it
        EXPECT_EQ(window->Sinks().size(), 1u);
    }
    EXPECT_EQ(TComServer::Instance().ObjectCount(), before - 1);
    EXPECT_TRUE(window->Sinks().empty());
}

// Outlook 2010's fast shutdown sends Application.Quit and nothing after it; the add-in lets go
// of Outlook on it, even while something (a click in progress) still holds the add-in.
TEST_F(AddinTest, ApplicationQuitAloneReleasesOutlook) {
    auto window = OpenMail();
    sim::TAddinHost host(outlook_->AsDispatch());
    ASSERT_EQ(host.Connect(L"zelt.zelAddin", static_cast<IzelAddin*>(addin_.Get())), S_OK);
    outlook_->Quit();
    host.Release();
    EXPECT_TRUE(window->Sinks().empty());
    EXPECT_TRUE(outlook_->Sinks().empty());
    EXPECT_EQ(addin_->InspectorList().Count(), 0u);
}

// Resiliency disables every connected add-in when an item open passes 500 ms, and none below.
TEST_F(AddinTest, SlowItemOpenDisablesTheAddin) {
    const std::wstring key = L"Software\\Microsoft\\Office\\Outlook\\Addins\\Kestova.SlowTest";
    const DWORD startup = 3;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"LoadBehavior", REG_DWORD, &startup, sizeof startup),
              ERROR_SUCCESS);
    sim::TAddinHost host(outlook_->AsDispatch());
    ASSERT_EQ(host.Connect(L"Kestova.SlowTest", static_cast<IzelAddin*>(addin_.Get())), S_OK);
    EXPECT_EQ(host.ItemOpened(499), "");
    EXPECT_EQ(sim::TAddinHost::LoadBehaviorOf(L"Kestova.SlowTest"), 3u);
    EXPECT_NE(host.ItemOpened(501).find("Kestova.SlowTest disabled by Outlook: an item took 501 ms"), std::string::npos);
    EXPECT_EQ(sim::TAddinHost::LoadBehaviorOf(L"Kestova.SlowTest"), 2u);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(AddinTest, AutomationIdentityComesFromTheTypeLibrary) {
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&dispatch)), S_OK);
    com::ComPtr<IzelAddin> own;
    ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&own)), S_OK);
    EXPECT_EQ(dispatch.Get(), static_cast<IDispatch*>(own.Get()));

    com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &info), S_OK);
    com::TBstr name;
    info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.Text(), L"IzelAddin");

    com::ComPtr<IProvideClassInfo> classInfo;
    ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&classInfo)), S_OK);
    ASSERT_EQ(classInfo->GetClassInfo(info.ReleaseAndGetAddressOf()), S_OK);
    info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.Text(), L"zelAddin");

    com::ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&errors)), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(__uuidof(IDTExtensibility2)), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IClassFactory), S_FALSE);
}

// Each ribbon's XML passes Outlook's checks in the dialect of its version, with one button a
// group; a ribbon the add-in does not extend, or that version does not have, gets "" and S_OK.
TEST_F(AddinTest, GetCustomUIAnswersEachRibbonForItsOutlook) {
    const struct {
        const wchar_t* ribbonId;
        const wchar_t* version;
        size_t buttons;  // 0: no XML
    } cases[] = {
        {L"Microsoft.Outlook.Explorer", L"16.0", 2},    {L"Microsoft.Outlook.Explorer", L"14.0", 1},
        {L"Microsoft.Outlook.Explorer", L"12.0", 0},    {L"Microsoft.Outlook.Mail.Compose", L"16.0", 1},
        {L"Microsoft.Outlook.Mail.Read", L"16.0", 1},   {L"Microsoft.Outlook.Mail.Compose", L"12.0", 1},
        {L"Microsoft.Outlook.Contact", L"12.0", 1},     {L"Microsoft.Outlook.Task", L"16.0", 1},
        {L"Microsoft.Outlook.Appointment", L"16.0", 1}, {L"Microsoft.Outlook.Journal", L"16.0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(win32::Narrow(std::wstring(c.ribbonId) + L" on " + c.version));
        outlook_->SetVersion(c.version);
        addin_ = com::Make<TzelAddin>();
        ASSERT_EQ(Connect(), S_OK);
        com::ComPtr<IRibbonExtensibility> ribbon;
        ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&ribbon)), S_OK);
        com::TBstr xml;
        ASSERT_EQ(ribbon->GetCustomUI(com::TBstr(c.ribbonId).Get(), xml.Put()), S_OK);
        const std::wstring text = xml.Text();
        const int major = _wtoi(c.version);
        EXPECT_EQ(text.empty(), c.buttons == 0);
        if (text.empty()) continue;
        EXPECT_EQ(sim::ParseCustomUI(text, c.ribbonId, major).buttons.size(), c.buttons);
        size_t groups = 0;
        for (size_t at = text.find(L"<group"); at != std::wstring::npos; at = text.find(L"<group", at + 1)) ++groups;
        EXPECT_EQ(groups, c.buttons);
        EXPECT_NE(text.find(major == 12 ? L"office/2006/01/customui" : L"office/2009/07/customui"), std::wstring::npos);
    }
}

// Office finds the callbacks by name and calls them by number: the numbers are the add-in's
// own, none of its type library's.
TEST_F(AddinTest, RibbonCallbacksHaveDispidsOfTheirOwn) {
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(addin_->QueryInterface(IID_PPV_ARGS(&dispatch)), S_OK);
    com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    std::vector<MEMBERID> own;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        own.push_back(function->memid);
        info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
    std::vector<DISPID> ids;
    for (const wchar_t* name : {L"RibbonLoaded", L"RibbonAction", L"RibbonEnabled", L"RibbonImage"}) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        EXPECT_EQ(std::count(own.begin(), own.end(), id), 0);
        EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 0);
        ids.push_back(id);
    }
}

// The pictures are written beside the other screenshots to be looked at.
TEST_F(AddinTest, RibbonPictureHasAlphaAndTheScreensDpi) {
    for (const int dpi : {96, 192}) {
        const com::ComPtr<IPictureDisp> picture = KestovaPicture(32, dpi);
        com::ComPtr<IPicture> typed;
        ASSERT_EQ(picture.As(&typed), S_OK);
        OLE_HANDLE handle = 0;
        ASSERT_EQ(typed->get_Handle(&handle), S_OK);
        BITMAP shape{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof shape, &shape));
        EXPECT_EQ(shape.bmWidth, 32 * dpi / 96);
        EXPECT_EQ(shape.bmBitsPixel, 32);
        const auto* pixels = static_cast<const unsigned char*>(shape.bmBits);
        ASSERT_NE(pixels, nullptr);
        size_t clear = 0, opaque = 0;
        for (LONG i = 0; i < shape.bmWidth * shape.bmHeight; ++i) {
            clear += pixels[i * 4 + 3] == 0;
            opaque += pixels[i * 4 + 3] == 255;
        }
        EXPECT_GT(clear, 0u);
        EXPECT_GT(opaque, 0u);
        const std::string shot = std::string(KESTOVA_SHOT_DIR) + "/ribbon-kestova-" + std::to_string(dpi) + "dpi.png";
        EXPECT_NO_THROW(sim::SavePictureAsPng(picture.Get(), win32::Widen("Z:" + shot)));
    }
}

}  // namespace
}  // namespace kestova::test
