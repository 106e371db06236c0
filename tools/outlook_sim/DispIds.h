#pragma once
// The DISPIDs the simulated objects answer, as Outlook's and Office's type libraries publish
// them, so that a client that caches a DISPID or binds early sees the numbers it would see in
// Outlook. Only members the add-in or a scenario uses are listed.
//
// Sources, checked against each other:
//  - Outlook (msoutl.olb, {00062FFF-0000-0000-C000-000000000046}): the makepy dump of the
//    Outlook 12.0 library (github.com/skarra/ASynK, lib/win32com/gen_py/00062FFF-...x9x3/:
//    Attachments.py, _Inspector.py, _Application.py) and the generated interfaces of joa
//    (github.com/wolfgangimig/joa, java/joa/src-gen/com/wilutions/mslib/outlook/: Attachment,
//    Attachments, _Inspectors, _Inspector, _Explorer, _MailItem).
//  - Office (mso.dll, {2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}): joa's
//    java/joa/src-gen/com/wilutions/mslib/office/: CommandBars, CommandBar, CommandBarControls,
//    CommandBarButton, COMAddIn. Office's members are numbered from their vtable slot
//    (0x60020000 onwards, as MIDL numbers members without an id), Item is DISPID 0.
//
// Outlook's collections declare Item at 81, not at 0; Outlook answers DISPID_VALUE on them as
// their default member all the same (VBA's `Attachments(1)`), so the base maps DISPID 0 of a
// collection to its Item. Attachment has no default member.
#include <oaidl.h>

namespace kestova::sim::dispid {

// Outlook: members every Outlook object shares.
inline constexpr DISPID Class = 61450;  // 0xF00A

// _Application {00063001-...}
inline constexpr DISPID ApplicationName = 12289;  // 0x3001
inline constexpr DISPID ApplicationVersion = 278;
inline constexpr DISPID ApplicationExplorers = 281;
inline constexpr DISPID ApplicationInspectors = 282;
inline constexpr DISPID ApplicationCreateItem = 266;

// _Inspectors {00063008-...}, _Explorers {0006300A-...}, Attachments {0006303C-...}
inline constexpr DISPID CollectionCount = 80;
inline constexpr DISPID CollectionItem = 81;
inline constexpr DISPID AttachmentsAdd = 101;
inline constexpr DISPID AttachmentsRemove = 84;

// _Inspector {00063005-...} and _Explorer {00063003-...}; CommandBars is declared VT_UNKNOWN.
inline constexpr DISPID WindowCommandBars = 8448;  // 0x2100
inline constexpr DISPID InspectorCurrentItem = 8450;
inline constexpr DISPID WindowClose = 8451;
inline constexpr DISPID WindowActivate = 8467;

// _MailItem {00063034-...} (and _ContactItem {00063021-...} for the members they share)
inline constexpr DISPID ItemMessageClass = 26;
inline constexpr DISPID ItemSubject = 55;
inline constexpr DISPID ItemBody = 37120;  // 0x9100
inline constexpr DISPID ItemTo = 3588;     // 0x0E04
inline constexpr DISPID ItemAttachments = 63509;  // 0xF815
inline constexpr DISPID ItemSave = 61512;
inline constexpr DISPID ItemSaveAs = 61521;
inline constexpr DISPID ItemBodyFormat = 64073;

// Attachment {00063007-...}
inline constexpr DISPID AttachmentDisplayName = 12289;
inline constexpr DISPID AttachmentFileName = 14084;
inline constexpr DISPID AttachmentType = 14085;
inline constexpr DISPID AttachmentDelete = 105;
inline constexpr DISPID AttachmentSize = 64489;

// _Explorer: the reply in the reading pane (Outlook 2013 on)
inline constexpr DISPID ExplorerActiveInlineResponse = 64659;

// Office IRibbonUI {000C03A7-...} and IRibbonControl {000C0395-...}
inline constexpr DISPID RibbonUIInvalidate = 1;
inline constexpr DISPID RibbonUIInvalidateControl = 2;
inline constexpr DISPID RibbonControlId = 1;
inline constexpr DISPID RibbonControlContext = 2;
inline constexpr DISPID RibbonControlTag = 3;

// Office _CommandBars {000C0302-...}
inline constexpr DISPID CommandBarsAdd = 0x60030002;
inline constexpr DISPID CommandBarsCount = 0x60030003;
inline constexpr DISPID CommandBarsItem = DISPID_VALUE;

// Office CommandBar {000C0304-...}
inline constexpr DISPID CommandBarControls = 0x60040003;
inline constexpr DISPID CommandBarName = 0x6004000E;
inline constexpr DISPID CommandBarPosition = 0x60040013;
inline constexpr DISPID CommandBarType = 0x6004001D;
inline constexpr DISPID CommandBarVisible = 0x6004001E;

// Office CommandBarControls {000C0306-...}
inline constexpr DISPID ControlsAdd = 0x60030000;
inline constexpr DISPID ControlsCount = 0x60030001;
inline constexpr DISPID ControlsItem = DISPID_VALUE;

// Office CommandBarControl {000C0308-...} and _CommandBarButton {000C030E-...}
inline constexpr DISPID ControlBeginGroup = 0x60040000;
inline constexpr DISPID ControlCaption = 0x60040003;
inline constexpr DISPID ControlDelete = 0x60040007;
inline constexpr DISPID ControlExecute = 0x6004000C;
inline constexpr DISPID ControlTag = 0x60040023;
inline constexpr DISPID ControlType = 0x60040028;
inline constexpr DISPID ControlVisible = 0x60040029;
inline constexpr DISPID ButtonStyle = 0x6005000A;

// Office COMAddIn {000C033A-...}; Description is its default member.
inline constexpr DISPID ComAddInDescription = DISPID_VALUE;
inline constexpr DISPID ComAddInProgId = 3;
inline constexpr DISPID ComAddInGuid = 4;
inline constexpr DISPID ComAddInConnect = 6;
inline constexpr DISPID ComAddInObject = 7;

}  // namespace kestova::sim::dispid
