#pragma once
// What the add-in shows in Outlook's ribbon: the customUI XML for each ribbon ID, which
// Outlook versions have a ribbon in which windows, and the names of the XML's callbacks.
#include <oaidl.h>

#include <string>

namespace kestova {

inline constexpr wchar_t kExplorerRibbon[] = L"Microsoft.Outlook.Explorer";

// Outlook's major version from Application.Version ("16.0.0.1234" -> 16); 0 when unreadable,
// which is taken as an Outlook without a ribbon.
int MajorVersionOf(const std::wstring& version);

// Outlook 2007 (12) has a ribbon in item windows only; 2010 (14) and later everywhere.
inline bool HasItemRibbon(int major) { return major >= 12; }
inline bool HasExplorerRibbon(int major) { return major >= 14; }

// The customUI document for `ribbonId` in the dialect of that Outlook; empty for a ribbon the
// add-in does not extend.
std::wstring RibbonXmlFor(const std::wstring& ribbonId, int major);

// The ribbon ID of an item window, by its item's class; empty for an item the add-in has no
// ribbon for. Raises EOleError when the window cannot be read.
std::wstring ItemRibbonIdOf(IDispatch* inspector);

// The DISPID of a callback that the XML names, or DISPID_UNKNOWN.
DISPID RibbonCallbackId(const wchar_t* name);

}  // namespace kestova
