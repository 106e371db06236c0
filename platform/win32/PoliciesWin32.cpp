// The policies port on Windows. Software\Policies is shared by both registry views, so a 32-bit
// and a 64-bit Outlook read the same values.
#include <windows.h>

#include "platform/Policies.h"
#include "platform/win32/WideText.h"

#include <vector>

namespace kestova {

namespace {

const wchar_t kPolicyKey[] = L"Software\\Policies\\Kestova\\Outlook";

// REG_DWORD as a signed number, so a size of -1 stays negative; REG_SZ as it stands.
std::optional<std::string> ReadValue(HKEY root, const std::wstring& name) {
    DWORD type = 0, size = 0;
    const DWORD kinds = RRF_RT_REG_DWORD | RRF_RT_REG_SZ;
    if (RegGetValueW(root, kPolicyKey, name.c_str(), kinds, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    if (RegGetValueW(root, kPolicyKey, name.c_str(), kinds, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) {
        DWORD value = 0;
        CopyMemory(&value, data.data(), sizeof(value));
        return std::to_string(static_cast<LONG>(value));
    }
    return win32::Narrow(reinterpret_cast<const wchar_t*>(data.data()));
}

class TPoliciesWin32 : public IPolicies {
public:
    std::optional<TPolicyValue> Read(const std::string& name) override {
        const std::wstring wide = win32::Widen(name);
        if (auto text = ReadValue(HKEY_LOCAL_MACHINE, wide)) return TPolicyValue{*text, TPolicyScope::Machine};
        if (auto text = ReadValue(HKEY_CURRENT_USER, wide)) return TPolicyValue{*text, TPolicyScope::User};
        return std::nullopt;
    }
};

}  // namespace

std::shared_ptr<IPolicies> CreateOsPolicies() { return std::make_shared<TPoliciesWin32>(); }

}  // namespace kestova
