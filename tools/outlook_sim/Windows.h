#pragma once
// Outlook's windows and their collections: inspectors show one item, explorers show a folder.
// Opening a window through the collection raises NewInspector or NewExplorer; closing it raises
// the window's Close and then takes it out of its collection.
#include <vector>

#include "tools/outlook_sim/AutoObject.h"
#include "tools/outlook_sim/CommandBars.h"
#include "tools/outlook_sim/Items.h"

namespace kestova::sim {

class TSimInspectors;
class TSimExplorers;

class TSimInspector : public TAutoObject {
public:
    TSimInspector(TSimInspectors* parent, com::ComPtr<TSimItem> item);
    void Orphan() { parent_ = nullptr; }
    void Activate();
    void Deactivate();
    void Close();
    TSimItem& CurrentItem() const { return *item_.Get(); }
    TSimCommandBars& CommandBars() const { return *commandBars_.Get(); }

private:
    TSimInspectors* parent_;  // not owned; null once the collection is gone
    com::ComPtr<TSimItem> item_;
    com::ComPtr<TSimCommandBars> commandBars_;
};

class TSimInspectors : public TAutoObject {
public:
    TSimInspectors();
    ~TSimInspectors() override;
    com::ComPtr<TSimInspector> Open(com::ComPtr<TSimItem> item);
    void Remove(const TSimInspector* inspector);
    const std::vector<com::ComPtr<TSimInspector>>& Items() const { return items_; }
    // Raises NewInspector with any object, for hosts that misbehave.
    void FireNewInspector(IDispatch* inspector);

private:
    std::vector<com::ComPtr<TSimInspector>> items_;
};

class TSimExplorer : public TAutoObject {
public:
    TSimExplorer(TSimExplorers* parent, bool withStandard);
    void Orphan() { parent_ = nullptr; }
    void Activate();
    void Deactivate();
    void SelectionChange();
    // Answers whether a handler cancelled the switch.
    bool BeforeFolderSwitch(IDispatch* folder);
    void Close();
    void AddStandardToolbar();
    TSimCommandBars& CommandBars() const { return *commandBars_.Get(); }

private:
    TSimExplorers* parent_;  // not owned; null once the collection is gone
    com::ComPtr<TSimCommandBars> commandBars_;
};

class TSimExplorers : public TAutoObject {
public:
    TSimExplorers();
    ~TSimExplorers() override;
    com::ComPtr<TSimExplorer> Open(bool withStandard);
    void Remove(const TSimExplorer* explorer);
    const std::vector<com::ComPtr<TSimExplorer>>& Items() const { return items_; }

private:
    std::vector<com::ComPtr<TSimExplorer>> items_;
};

}  // namespace kestova::sim
