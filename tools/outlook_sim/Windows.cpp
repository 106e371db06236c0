#include "tools/outlook_sim/Windows.h"

#include "addin/com/Dispatch.h"
#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/Collection.h"

namespace kestova::sim {

using namespace outlook;

namespace {

const long msoBarTop = 1;
const long msoControlButton = 1;

TGetter Action(std::function<void()> action) {
    return [action](const TArgs&) {
        action();
        return com::TVariant();
    };
}

template <class T>
TGetter ItemByIndex(const std::vector<com::ComPtr<T>>& items) {
    return [&items](const TArgs& args) {
        const com::TVariant index(args.At(0).AsLong());  // windows have no names to look up
        return com::TVariant(FindItem(items, index, [](T&) { return std::wstring(); })->AsDispatch());
    };
}

}  // namespace

TSimInspector::TSimInspector(TSimInspectors* parent, com::ComPtr<TSimItem> item)
    : TAutoObject({IID__Inspector}, &DIID_InspectorEvents), parent_(parent), item_(std::move(item)),
      commandBars_(com::Make<TSimCommandBars>()) {
    commandBars_->Add(L"Standard", msoBarTop, false);
    Property(L"CurrentItem", [this](const TArgs&) { return com::TVariant(item_->AsDispatch()); });
    Property(L"CommandBars", [this](const TArgs&) { return com::TVariant(commandBars_->AsDispatch()); });
    Method(L"Activate", {}, Action([this] { Activate(); }));
    Method(L"Close", {L"SaveMode"}, Action([this] { Close(); }));
}

void TSimInspector::Activate() { Fire(dispInspectorActivate); }

void TSimInspector::Deactivate() { Fire(dispInspectorDeactivate); }

// Close arrives while the window is still listed, as in Outlook.
void TSimInspector::Close() {
    const com::ComPtr<TSimInspector> keepAlive(this);
    Fire(dispInspectorClose);
    if (parent_) parent_->Remove(this);
}

TSimInspectors::TSimInspectors() : TAutoObject({IID__Inspectors}, &DIID_InspectorsEvents) {
    Property(L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(L"Item", {L"Index"}, ItemByIndex(items_));
}

TSimInspectors::~TSimInspectors() {
    OrphanAll(items_);
}

com::ComPtr<TSimInspector> TSimInspectors::Open(com::ComPtr<TSimItem> item) {
    items_.push_back(com::Make<TSimInspector>(this, std::move(item)));
    const com::ComPtr<TSimInspector> opened = items_.back();
    FireNewInspector(opened->AsDispatch());
    return opened;
}

void TSimInspectors::FireNewInspector(IDispatch* inspector) {
    Fire(dispNewInspector, inspector);
}

void TSimInspectors::Remove(const TSimInspector* inspector) {
    RemoveItem(items_, inspector);
}

TSimExplorer::TSimExplorer(TSimExplorers* parent, bool withStandard)
    : TAutoObject({IID__Explorer}, &DIID_ExplorerEvents), parent_(parent), commandBars_(com::Make<TSimCommandBars>()) {
    commandBars_->Add(L"Menu Bar", msoBarTop, false);
    if (withStandard) AddStandardToolbar();
    Property(L"CommandBars", [this](const TArgs&) { return com::TVariant(commandBars_->AsDispatch()); });
    Method(L"Activate", {}, Action([this] { Activate(); }));
    Method(L"Close", {}, Action([this] { Close(); }));
}

// Outlook's built-in "Standard" toolbar, with one built-in button of its own.
void TSimExplorer::AddStandardToolbar() {
    const com::ComPtr<TSimCommandBar> standard = commandBars_->Add(L"Standard", msoBarTop, false);
    com::PutProperty(standard->AsDispatch(), L"Visible", com::TVariant(true));
    const com::ComPtr<TSimButton> builtIn = standard->Controls().Add(msoControlButton, false);
    com::PutProperty(builtIn->AsDispatch(), L"Caption", com::TVariant(L"&New"));
}

void TSimExplorer::Activate() { Fire(dispExplorerActivate); }

void TSimExplorer::Deactivate() { Fire(dispExplorerDeactivate); }

void TSimExplorer::SelectionChange() { Fire(dispExplorerSelectionChange); }

bool TSimExplorer::BeforeFolderSwitch(IDispatch* folder) {
    return FireCancellable(dispExplorerBeforeFolderSwitch, folder);
}

void TSimExplorer::Close() {
    const com::ComPtr<TSimExplorer> keepAlive(this);
    Fire(dispExplorerClose);
    if (parent_) parent_->Remove(this);
}

TSimExplorers::TSimExplorers() : TAutoObject({IID__Explorers}, &DIID_ExplorersEvents) {
    Property(L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(L"Item", {L"Index"}, ItemByIndex(items_));
}

TSimExplorers::~TSimExplorers() {
    OrphanAll(items_);
}

com::ComPtr<TSimExplorer> TSimExplorers::Open(bool withStandard) {
    items_.push_back(com::Make<TSimExplorer>(this, withStandard));
    const com::ComPtr<TSimExplorer> opened = items_.back();
    Fire(dispNewExplorer, opened->AsDispatch());
    return opened;
}

void TSimExplorers::Remove(const TSimExplorer* explorer) {
    RemoveItem(items_, explorer);
}

}  // namespace kestova::sim
