// The windows' toolbar buttons: the "Kestova" toolbar and button of every item window and the
// "About Kestova" button at the end of every main window's "Standard" toolbar. Controls that a
// previous connection left are found by name and caption and reused.
#include "addin/ButtonTag.h"
#include "addin/FindItem.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/uAddin.h"

namespace kestova {

namespace {

const long msoControlButton = 1;
const long msoButtonCaption = 2;
const long msoBarTop = 1;

com::ComPtr<IDispatch> CommandBarsOf(IDispatch* window) {
    return com::ObjectOf(com::GetProperty(window, L"CommandBars"), L"CommandBars");
}

com::TVariant VoiceToolbar(IDispatch* inspector) {
    const com::ComPtr<IDispatch> bars = CommandBarsOf(inspector);
    com::TVariant bar = FindItem(bars.Get(), L"Kestova");
    if (bar.IsEmpty())
        bar = com::CallMethod(bars.Get(), L"Add", {},
                              {{L"Name", com::TVariant(L"Kestova")}, {L"Position", com::TVariant(msoBarTop)},
                               {L"MenuBar", com::TVariant(false)}, {L"Temporary", com::TVariant(true)}});
    return bar;
}

}  // namespace

com::TVariant FindItem(IDispatch* collection, const std::wstring& name) {
    try {
        com::TVariant item = com::GetProperty(collection, L"Item", {com::TVariant(name)});
        if (item.Type() == VT_DISPATCH && item.AsDispatch()) return item;
    } catch (const com::EOleError&) {
        // Office answers a missing member with an error.
    }
    return {};
}

template <class TOwner>
TAddinOutlookButton& TzelAddin::AddToolbarButton(TOwner& owner, IDispatch* toolbar, const std::wstring& caption,
                                                 bool setStyle) {
    com::TVariant control = FindItem(com::GetProperty(toolbar, L"Controls").AsDispatch(), caption);
    if (control.IsEmpty())
        control = com::CallMethod(com::GetProperty(toolbar, L"Controls").AsDispatch(), L"Add", {},
                                  {{L"Type", com::TVariant(msoControlButton)}, {L"Temporary", com::TVariant(true)}});
    IDispatch* button = control.AsDispatch();
    if (setStyle) com::PutProperty(button, L"Style", com::TVariant(msoButtonCaption));
    com::PutProperty(button, L"Caption", com::TVariant(caption));
    com::PutProperty(button, L"BeginGroup", com::TVariant(true));
    com::PutProperty(button, L"Tag", com::TVariant(ButtonTag(caption)));
    TAddinOutlookButton& wrapper = owner.Buttons.Add(std::make_unique<TAddinOutlookButton>(button));
    wrapper.Owner = &owner;
    return wrapper;
}

void TzelAddin::InstallVoiceButton(TAddinInspector& inspector) {
    const com::TVariant toolbar = VoiceToolbar(com::DispatchOf(inspector.Intf()).Get());
    com::PutProperty(toolbar.AsDispatch(), L"Visible", com::TVariant(true));
    TAddinOutlookButton& button = AddToolbarButton(inspector, toolbar.AsDispatch(), L"Kestova", true);
    button.OnClick = [this](TOutlookServer* sender, IDispatch*, bool&) { VoiceButtonClick(sender); };
}

void TzelAddin::AddAboutButton(TAddinExplorer& explorer) {
    try {
        const com::TVariant standard = FindItem(CommandBarsOf(com::DispatchOf(explorer.Intf()).Get()).Get(), L"Standard");
        if (standard.IsEmpty()) return;  // the next activation tries again
        TAddinOutlookButton& button = AddToolbarButton(explorer, standard.AsDispatch(), L"About Kestova", false);
        button.OnClick = [this](TOutlookServer* sender, IDispatch*, bool&) { AboutButtonClick(sender); };
    } catch (...) {
        // The explorer stays without a button until a later activation.
    }
}

namespace {

template <class TWindows>
void DeleteButtonsOf(const TWindows& windows) {
    for (size_t w = 0; w < windows.Count(); ++w) {
        const auto& buttons = windows[w].Buttons;
        for (size_t b = 0; b < buttons.Count(); ++b) {
            try {
                com::CallMethod(com::DispatchOf(buttons[b].Intf()).Get(), L"Delete");
            } catch (const com::EOleError&) {
                // A control Office no longer has is gone already.
            }
        }
    }
}

}  // namespace

// The user unticked the add-in: its buttons go with it, since nothing would answer them.
void TzelAddin::DeleteButtons() {
    DeleteButtonsOf(*InspectorList_);
    DeleteButtonsOf(*ExplorerList_);
}

}  // namespace kestova
