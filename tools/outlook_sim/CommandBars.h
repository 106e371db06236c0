#pragma once
// Office command bars of a window: the collection, each bar, its controls and its buttons.
// Only plain buttons exist here; they raise Click at their connection point.
#include <string>
#include <vector>

#include "tools/outlook_sim/AutoObject.h"

namespace kestova::sim {

class TSimControls;

class TSimButton : public TAutoObject {
public:
    TSimButton(TSimControls* parent, long type, bool temporary);
    void Orphan() { parent_ = nullptr; }
    // Raises Click on this button alone; answers whether a handler set CancelDefault. Office
    // raises it on every button of the same tag: TSimApplication::Click.
    bool Click() { return RaiseClick(AsDispatch()); }
    bool RaiseClick(IDispatch* clicked);

    const std::wstring& Caption() const { return caption_; }
    const std::wstring& Tag() const { return tag_; }
    bool BeginGroup() const { return beginGroup_; }
    bool Temporary() const { return temporary_; }

private:
    TSimControls* parent_;  // not owned; null once the bar is gone
    long type_;
    bool temporary_;
    std::wstring caption_;
    std::wstring tag_;
    long style_ = 0;  // msoButtonAutomatic
    bool beginGroup_ = false;
    bool visible_ = true;
};

class TSimControls : public TAutoObject {
public:
    TSimControls();
    ~TSimControls() override;
    com::ComPtr<TSimButton> Add(long type, bool temporary);
    void Remove(const TSimButton* button);
    const std::vector<com::ComPtr<TSimButton>>& Items() const { return items_; }
    void Owned(std::vector<const TAutoObject*>& out) const override;

private:
    std::vector<com::ComPtr<TSimButton>> items_;
};

class TSimCommandBar : public TAutoObject {
public:
    TSimCommandBar(std::wstring name, long position, bool menuBar, bool temporary);
    const std::wstring& Name() const { return name_; }
    bool Visible() const { return visible_; }
    bool Temporary() const { return temporary_; }
    TSimControls& Controls() const { return *controls_.Get(); }
    void Owned(std::vector<const TAutoObject*>& out) const override { out.push_back(controls_.Get()); }

private:
    std::wstring name_;
    long position_;
    bool menuBar_;
    bool temporary_;
    bool visible_ = false;
    com::ComPtr<TSimControls> controls_;
};

class TSimCommandBars : public TAutoObject {
public:
    TSimCommandBars();
    com::ComPtr<TSimCommandBar> Add(const std::wstring& name, long position, bool menuBar, bool temporary);
    // The bar of that name, or null.
    com::ComPtr<TSimCommandBar> Find(const std::wstring& name) const;
    // A new button on the bar of that name, which is made when missing.
    com::ComPtr<TSimButton> AddControl(const std::wstring& barName);
    const std::vector<com::ComPtr<TSimCommandBar>>& Items() const { return items_; }
    void Owned(std::vector<const TAutoObject*>& out) const override;

private:
    std::vector<com::ComPtr<TSimCommandBar>> items_;
};

}  // namespace kestova::sim
