// The add-in object against the simulated Outlook: which windows it adopts and when, what
// disconnection and destruction leave, and its automation identity.
#include "ComTestSupport.h"
#include "addin/ComServer.h"
#include "addin/com/OutlookIds.h"
#include "addin/uAddin.h"
#include "tools/outlook_sim/AddinHost.h"

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
        return outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail));
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
    auto explorer = outlook_->Explorers().Open(false);
    ASSERT_EQ(Connect(), S_OK);
    ASSERT_EQ(addin_->InspectorList().Count(), 2u);
    EXPECT_EQ(addin_->InspectorList()[0].Intf(), static_cast<IUnknown*>(first->AsDispatch()));
    EXPECT_EQ(addin_->InspectorList()[1].Intf(), static_cast<IUnknown*>(second->AsDispatch()));
    ASSERT_EQ(addin_->ExplorerList().Count(), 1u);
    EXPECT_EQ(explorer->Sinks().size(), 1u);
}

TEST_F(AddinTest, ContactInspectorIsAdoptedLikeAMail) {
    ASSERT_EQ(Connect(), S_OK);
    auto contact = outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Contact));
    ASSERT_EQ(addin_->InspectorList().Count(), 1u);
    EXPECT_EQ(contact->Sinks().size(), 1u);
}

TEST_F(AddinTest, ClosingAWindowRemovesExactlyItsWrapper) {
    ASSERT_EQ(Connect(), S_OK);
    auto first = OpenMail();
    auto second = OpenMail();
    auto third = OpenMail();
    auto explorer = outlook_->Explorers().Open(true);
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
    auto explorer = outlook_->Explorers().Open(true);
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

}  // namespace
}  // namespace kestova::test
