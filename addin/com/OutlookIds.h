#pragma once
// Interface and event ids of the Outlook and Office object model, as their type libraries
// publish them. The add-in queries and sinks by these; the simulated host answers to them.
#include <windows.h>

namespace kestova::outlook {

// {000xxxxx-0000-0000-C000-000000000046}: the Outlook (and OLE) id family.
constexpr GUID OleId(unsigned long data1) {
    return GUID{data1, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}

inline constexpr GUID CLSID_Application = OleId(0x0006F03A);
inline constexpr GUID IID__Application = OleId(0x00063001);
inline constexpr GUID DIID_ApplicationEvents = OleId(0x0006304E);
inline constexpr GUID CLSID_Explorers = OleId(0x00063053);
inline constexpr GUID IID__Explorers = OleId(0x0006300A);
inline constexpr GUID DIID_ExplorersEvents = OleId(0x00063078);
inline constexpr GUID CLSID_Explorer = OleId(0x00063050);
inline constexpr GUID IID__Explorer = OleId(0x00063003);
inline constexpr GUID DIID_ExplorerEvents = OleId(0x0006304F);
inline constexpr GUID CLSID_Inspectors = OleId(0x00063054);
inline constexpr GUID IID__Inspectors = OleId(0x00063008);
inline constexpr GUID DIID_InspectorsEvents = OleId(0x00063079);
inline constexpr GUID CLSID_Inspector = OleId(0x00063058);
inline constexpr GUID IID__Inspector = OleId(0x00063005);
inline constexpr GUID DIID_InspectorEvents = OleId(0x0006307D);
inline constexpr GUID IID_PropertyPages = OleId(0x00063080);
inline constexpr GUID IID__MailItem = OleId(0x00063034);
inline constexpr GUID IID__ContactItem = OleId(0x00063021);

inline constexpr GUID CLSID_CommandBarButton = {0x55F88891, 0x7708, 0x11D1, {0xAC, 0xEB, 0x00, 0x60, 0x08, 0x96, 0x1D, 0xA5}};
inline constexpr GUID IID__CommandBarButton = OleId(0x000C030E);
inline constexpr GUID IID_CommandBarControl = OleId(0x000C0308);
inline constexpr GUID IID__CommandBars = OleId(0x000C0302);
inline constexpr GUID IID_CommandBar = OleId(0x000C0304);
inline constexpr GUID IID_CommandBarControls = OleId(0x000C0306);
inline constexpr GUID IID_COMAddIn = OleId(0x000C033A);
inline constexpr GUID IID_Attachments = OleId(0x0006303C);
inline constexpr GUID IID_Attachment = OleId(0x00063007);
inline constexpr GUID DIID__CommandBarButtonEvents = OleId(0x000C0351);

// Event DISPIDs.
enum : DISPID {
    dispApplicationItemSend = 0xF002,
    dispApplicationNewMail = 0xF003,
    dispApplicationReminder = 0xF004,
    dispApplicationOptionsPagesAdd = 0xF005,
    dispApplicationStartup = 0xF006,
    dispApplicationQuit = 0xF007,
    dispNewExplorer = 0xF001,
    dispExplorerActivate = 0xF001,
    dispExplorerFolderSwitch = 0xF002,
    dispExplorerBeforeFolderSwitch = 0xF003,
    dispExplorerViewSwitch = 0xF004,
    dispExplorerBeforeViewSwitch = 0xF005,
    dispExplorerDeactivate = 0xF006,
    dispExplorerSelectionChange = 0xF007,
    dispExplorerClose = 0xF008,
    dispExplorerInlineResponse = 0xFC92,
    dispExplorerInlineResponseClose = 0xFC96,
    dispNewInspector = 0xF001,
    dispInspectorActivate = 0xF001,
    dispInspectorDeactivate = 0xF006,
    dispInspectorClose = 0xF008,
    dispButtonClick = 1,
};

}  // namespace kestova::outlook
