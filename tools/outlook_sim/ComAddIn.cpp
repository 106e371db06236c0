#include "tools/outlook_sim/ComAddIn.h"

#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/DispIds.h"

namespace kestova::sim {

namespace {

// The class description its registration gives the ProgID, as Office shows it.
std::wstring DescriptionOf(const std::wstring& progID) {
    wchar_t text[256] = L"";
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CLASSES_ROOT, progID.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return progID;
    return text;
}

// The class id its registration gives the ProgID, as "{...}", or empty.
std::wstring GuidOf(const std::wstring& progID) {
    CLSID clsid{};
    wchar_t text[64] = L"";
    if (FAILED(CLSIDFromProgID(progID.c_str(), &clsid)) || !StringFromGUID2(clsid, text, 64)) return {};
    return text;
}

}  // namespace

TSimComAddIn::TSimComAddIn(std::wstring progID, std::function<void(bool)> connect)
    : TAutoObject({outlook::IID_COMAddIn}, nullptr), connect_(std::move(connect)), progID_(std::move(progID)),
      description_(DescriptionOf(progID_)), guid_(GuidOf(progID_)) {
    Property(dispid::ComAddInProgId, L"ProgId", Read(progID_));
    Property(dispid::ComAddInDescription, L"Description", Read(description_), Assign(description_));
    Property(dispid::ComAddInGuid, L"Guid", Read(guid_));
    Property(dispid::ComAddInConnect, L"Connect", Read(connected_), {VT_BOOL, [this](const com::TVariant& value) {
                 const bool wanted = value.AsBool();
                 if (wanted != connected_ && connect_) connect_(wanted);
             }});
    Property(dispid::ComAddInObject, L"Object", Read(object_),
             {VT_DISPATCH, [this](const com::TVariant& value) { object_ = value; }});
}

}  // namespace kestova::sim
