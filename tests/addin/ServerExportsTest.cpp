// zelt.dll's exports, loaded as COM would load it: class objects, unload permission while the
// host holds the add-in, and the factory's answers.
#include <ocidl.h>

#include <atomic>

#include "ComTestSupport.h"
#include "addin/ComServer.h"
#include "addin/Registration.h"
#include "addin/zelt_h.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/AddinHost.h"

namespace kestova::test {
namespace {

class ServerExportsTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        module_ = LoadLibraryW(L"zelt.dll");  // copied next to this program
        ASSERT_NE(module_, nullptr);
        getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    com::ComPtr<IClassFactory2> Factory() {
        com::ComPtr<IClassFactory2> factory;
        EXPECT_EQ(getClassObject_(CLSID_zelAddin, IID_IClassFactory2, reinterpret_cast<void**>(factory.GetAddressOf())), S_OK);
        return factory;
    }

    HMODULE module_ = nullptr;
    HRESULT(WINAPI* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(WINAPI* canUnloadNow_)() = nullptr;
};

TEST_F(ServerExportsTest, OtherClassIdGivesClassNotAvailableAndNull) {
    void* out = this;
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ServerExportsTest, FactoryAnswersItsThreeInterfacesOnly) {
    com::ComPtr<IUnknown> unknown;
    EXPECT_EQ(getClassObject_(CLSID_zelAddin, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())), S_OK);
    com::ComPtr<IClassFactory> factory;
    EXPECT_EQ(unknown.As(&factory), S_OK);
    com::ComPtr<IDispatch> dispatch;
    void* out = this;
    EXPECT_EQ(getClassObject_(CLSID_zelAddin, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ServerExportsTest, UnloadIsRefusedWhileTheHostHoldsTheAddin) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    com::ComPtr<IUnknown> addin;
    {
        com::ComPtr<IClassFactory2> factory = Factory();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);  // a factory reference is out
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&addin)), S_OK);
    }
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    {
        sim::TAddinHost host(outlook_->AsDispatch());
        ASSERT_EQ(host.Connect(L"zelt.zelAddin", addin.Get()), S_OK);
        addin.Reset();
        outlook_->Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail));
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
    }
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ServerExportsTest, ServerLocksCountAsObjects) {
    com::ComPtr<IClassFactory2> factory = Factory();
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);  // unmatched: ignored
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    Factory()->LockServer(FALSE);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ServerExportsTest, FactoryCreatesANewObjectEachTimeAndRefusesAggregation) {
    com::ComPtr<IClassFactory2> factory = Factory();
    com::ComPtr<IUnknown> first;
    com::ComPtr<IUnknown> second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&first)), S_OK);
    ASSERT_EQ(factory->CreateInstanceLic(nullptr, nullptr, IID_IUnknown, nullptr,
                                         reinterpret_cast<void**>(second.GetAddressOf())), S_OK);
    EXPECT_NE(first.Get(), second.Get());
    com::ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(first.Get(), IID_PPV_ARGS(&aggregated)), CLASS_E_NOAGGREGATION);
    LICINFO info{};
    EXPECT_EQ(factory->GetLicInfo(&info), S_OK);
    EXPECT_TRUE(info.fLicVerified);
}

// The machine-wide roots of this process lead into a scratch key meanwhile, so nothing is
// registered for real.
class TScratchRegistry {
public:
    TScratchRegistry() {
        Redirect(HKEY_CLASSES_ROOT, L"\\Classes");
        Redirect(HKEY_LOCAL_MACHINE, L"\\Machine");
    }
    ~TScratchRegistry() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    TScratchRegistry(const TScratchRegistry&) = delete;
    TScratchRegistry& operator=(const TScratchRegistry&) = delete;

    static DWORD LoadBehavior() {
        DWORD value = 0;
        DWORD size = sizeof value;
        const std::wstring key =
            std::wstring(kScratch) + L"\\Machine\\Software\\Microsoft\\Office\\Outlook\\Addins\\zelt.zelAddin";
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value, &size);
        return value;
    }

private:
    static constexpr const wchar_t* kScratch = L"Software\\Kestova registration test";

    static void Redirect(HKEY root, const wchar_t* into) {
        com::TRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + into).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(root, key.Get()), ERROR_SUCCESS);
    }
};

std::atomic<const wchar_t*> refusedValue{nullptr};

LSTATUS WINAPI RefuseOneValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (name && lstrcmpW(name, refusedValue) == 0) return ERROR_ACCESS_DENIED;
    return RegSetValueExW(key, name, reserved, type, data, size);
}

class RegistrationTest : public ComTest {};

TEST_F(RegistrationTest, AnAddinValueThatCannotBeWrittenFailsTheRegistration) {
    TScratchRegistry scratch;
    for (const wchar_t* refused : {L"FriendlyName", L"LoadBehavior"}) {
        refusedValue = refused;
        const TRegistryValueWriter original = SetRegistryValueWriter(&RefuseOneValue);
        EXPECT_ANY_THROW(RegisterServer(TComServer::Instance())) << win32::Narrow(refused);
        SetRegistryValueWriter(original);
    }
    EXPECT_NO_THROW(RegisterServer(TComServer::Instance()));
    EXPECT_EQ(TScratchRegistry::LoadBehavior(), 3u);
}

}  // namespace
}  // namespace kestova::test
