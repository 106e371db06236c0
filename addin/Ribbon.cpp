#include "addin/Ribbon.h"

#include <cwchar>
#include <iterator>

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/com/RibbonIds.h"
#include "core/Exception.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Resources.h"

namespace kestova {

namespace {

const wchar_t kNamespace2009[] = L"http://schemas.microsoft.com/office/2009/07/customui";
const wchar_t kNamespace2006[] = L"http://schemas.microsoft.com/office/2006/01/customui";

struct TRibbonDocument {
    const wchar_t* ribbonId;
    const wchar_t* resource;
};

const TRibbonDocument kItemRibbons[] = {
    {L"Microsoft.Outlook.Mail.Compose", L"RIBBON_MAIL_COMPOSE"},
    {L"Microsoft.Outlook.Mail.Read", L"RIBBON_MAIL_READ"},
    {L"Microsoft.Outlook.Contact", L"RIBBON_CONTACT"},
    {L"Microsoft.Outlook.Appointment", L"RIBBON_APPOINTMENT"},
    {L"Microsoft.Outlook.Task", L"RIBBON_TASK"},
};

struct TCallback {
    const wchar_t* name;
    DISPID id;
};

const TCallback kCallbacks[] = {
    {L"RibbonLoaded", ribbon::dispRibbonLoaded},
    {L"RibbonAction", ribbon::dispRibbonAction},
    {L"RibbonEnabled", ribbon::dispRibbonEnabled},
    {L"RibbonImage", ribbon::dispRibbonImage},
};

// OlObjectClass values of the items whose windows get the button.
const long olAppointment = 26;
const long olContact = 40;
const long olMail = 43;
const long olTask = 48;

std::wstring ResourceText(const wchar_t* name) {
    const std::vector<uint8_t> bytes = ResourceBytes(win32::Narrow(name));
    if (bytes.empty()) throw Exception("The ribbon resource " + win32::Narrow(name) + " is missing");
    return win32::Widen(std::string(bytes.begin(), bytes.end()));
}

// Outlook 2007 reads only the first customUI namespace; the elements used here are the same.
std::wstring In2006Namespace(std::wstring xml) {
    const size_t at = xml.find(kNamespace2009);
    if (at != std::wstring::npos) xml.replace(at, std::size(kNamespace2009) - 1, kNamespace2006);
    return xml;
}

bool IsSent(IDispatch* item) {
    try {
        return com::GetProperty(item, L"Sent").AsBool();
    } catch (const com::EOleError&) {
        return false;  // items without the property are never sent
    }
}

}  // namespace

int MajorVersionOf(const std::wstring& version) { return int(std::wcstol(version.c_str(), nullptr, 10)); }

std::wstring RibbonXmlFor(const std::wstring& ribbonId, int major) {
    if (ribbonId == kExplorerRibbon) {
        if (!HasExplorerRibbon(major)) return {};
        // Inline replies, and the tab that shows them, came with Outlook 2013.
        return ResourceText(major >= 15 ? L"RIBBON_EXPLORER" : L"RIBBON_EXPLORER2010");
    }
    if (!HasItemRibbon(major)) return {};
    for (const TRibbonDocument& document : kItemRibbons)
        if (ribbonId == document.ribbonId) {
            const std::wstring xml = ResourceText(document.resource);
            return major == 12 ? In2006Namespace(xml) : xml;
        }
    return {};
}

std::wstring ItemRibbonIdOf(IDispatch* inspector) {
    const com::TVariant item = com::GetProperty(inspector, L"CurrentItem");
    switch (com::GetProperty(item.AsDispatch(), L"Class").AsLong()) {
        case olMail: return IsSent(item.AsDispatch()) ? L"Microsoft.Outlook.Mail.Read" : L"Microsoft.Outlook.Mail.Compose";
        case olContact: return L"Microsoft.Outlook.Contact";
        case olAppointment: return L"Microsoft.Outlook.Appointment";
        case olTask: return L"Microsoft.Outlook.Task";
        default: return {};
    }
}

DISPID RibbonCallbackId(const wchar_t* name) {
    for (const TCallback& callback : kCallbacks)
        if (name && _wcsicmp(name, callback.name) == 0) return callback.id;
    return DISPID_UNKNOWN;
}

}  // namespace kestova
