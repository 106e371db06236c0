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

}  // namespace

TSimComAddIn::TSimComAddIn(std::wstring progID)
    : TAutoObject({outlook::IID_COMAddIn}, nullptr), progID_(std::move(progID)), description_(DescriptionOf(progID_)) {
    Property(dispid::ComAddInProgId, L"ProgId", Read(progID_));
    Property(dispid::ComAddInDescription, L"Description", Read(description_), Assign(description_));
    Property(dispid::ComAddInConnect, L"Connect", Read(connected_));
    Property(dispid::ComAddInObject, L"Object", Read(object_),
             {VT_DISPATCH, [this](const com::TVariant& value) { object_ = value; }});
}

}  // namespace kestova::sim
