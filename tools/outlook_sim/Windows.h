#pragma once
// Outlook's windows and their collections: inspectors show one item, explorers show a folder.
// Opening a window through its collection raises NewInspector or NewExplorer; closing it raises
// the window's Close and then takes it out of its collection.
#include <functional>
#include <vector>

#include "tools/outlook_sim/AutoObject.h"
#include "tools/outlook_sim/Collection.h"
#include "tools/outlook_sim/CommandBars.h"
#include "tools/outlook_sim/Items.h"
#include "tools/outlook_sim/Stopwatch.h"

namespace kestova::sim {

class TSimWindow;

// What a window needs of the collection that lists it.
class IWindowList {
public:
    virtual void Remove(const TSimWindow* window) = 0;

protected:
    ~IWindowList() = default;
};

// What inspectors and explorers share: command bars, Activate, Deactivate and Close.
class TSimWindow : public TAutoObject {
public:
    void Orphan() { list_ = nullptr; }
    // Raises Activate; answers how long its handlers took. The first one readies late command bars.
    double Activate();
    void Deactivate();
    void Close();  // raised while the window is still listed, as in Outlook
    TSimCommandBars& CommandBars() const { return *commandBars_.Get(); }
    // The window's command bars fail until its first Activate, as a window not yet shown.
    void BarsLate() { barsReady_ = false; }
    void Owned(std::vector<const TAutoObject*>& out) const override { out.push_back(commandBars_.Get()); }

protected:
    TSimWindow(const GUID& iid, const GUID& events, IWindowList* list);

private:
    IWindowList* list_;  // not owned; null once the collection is gone
    com::ComPtr<TSimCommandBars> commandBars_;
    bool barsReady_ = true;
};

class TSimInspector : public TSimWindow {
public:
    TSimInspector(IWindowList* list, com::ComPtr<TSimItem> item);
    TSimItem& CurrentItem() const { return *item_.Get(); }
    void Owned(std::vector<const TAutoObject*>& out) const override {
        TSimWindow::Owned(out);
        out.push_back(item_.Get());
    }

private:
    com::ComPtr<TSimItem> item_;
};

class TSimExplorer : public TSimWindow {
public:
    TSimExplorer(IWindowList* list, bool withStandard);
    void SelectionChange();
    void AddStandardToolbar();
    // A reply or forward written in the reading pane (Outlook 2013 on): InlineResponse is
    // raised and ActiveInlineResponse answers it until InlineResponseClose.
    void OpenInlineResponse(com::ComPtr<TSimItem> item);
    void CloseInlineResponse();
    void Owned(std::vector<const TAutoObject*>& out) const override {
        TSimWindow::Owned(out);
        if (inlineResponse_) out.push_back(inlineResponse_.Get());
    }

private:
    com::ComPtr<TSimItem> inlineResponse_;
};

// A new window, and how long the add-ins took for it: its announcement and its first Activate.
template <class TWindow>
struct TOpened {
    com::ComPtr<TWindow> window;
    double openedMs;
    double activatedMs;
};

// A window collection: Count, Item by index, and the event that announces a new window.
template <class TWindow>
class TSimWindows : public TAutoObject, public IWindowList {
public:
    ~TSimWindows() override { OrphanAll(items_); }
    void Remove(const TSimWindow* window) override {
        RemoveItem(items_, window);
        if (OnClosed) OnClosed(*window);
    }
    const std::vector<com::ComPtr<TWindow>>& Items() const { return items_; }
    // Runs between the announcement and the first activation: Outlook loads the ribbon then.
    std::function<void(TSimWindow&)> OnShowing;
    // Runs once a closed window is out of the collection, however it was closed.
    std::function<void(const TSimWindow&)> OnClosed;
    // Announces a listed window again, as Outlook does for a window object it reuses; answers how
    // long the add-ins took.
    double Renew(TWindow& window) { return TimedMs([&] { Fire(opened_, window.AsDispatch()); }); }
    void Owned(std::vector<const TAutoObject*>& out) const override { AppendAll(items_, out); }

protected:
    TSimWindows(const GUID& iid, const GUID& events, DISPID opened);
    // Announced, then activated, as a window the user opens is.
    TOpened<TWindow> Opened(com::ComPtr<TWindow> window) {
        items_.push_back(window);
        const double opened = TimedMs([&] {
            Fire(opened_, window->AsDispatch());
            if (OnShowing) OnShowing(*window.Get());
        });
        const double activated = window->Activate();
        return {std::move(window), opened, activated};
    }

private:
    DISPID opened_;
    std::vector<com::ComPtr<TWindow>> items_;
};

class TSimInspectors : public TSimWindows<TSimInspector> {
public:
    TSimInspectors();
    // `lateBars`: the window's command bars fail until its first Activate.
    TOpened<TSimInspector> Open(com::ComPtr<TSimItem> item, bool lateBars = false);
    // Raises NewInspector with any object, as a misbehaving host might.
    void FireNewInspector(IDispatch* inspector);
};

class TSimExplorers : public TSimWindows<TSimExplorer> {
public:
    TSimExplorers();
    TOpened<TSimExplorer> Open(bool withStandard);
};

}  // namespace kestova::sim
