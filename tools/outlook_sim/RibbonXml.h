#pragma once
// The customUI XML of an add-in, read as Outlook reads it: one namespace per Outlook version,
// only the elements and attributes of the schema, ids unique, an attribute and its get-callback
// never both, and built-in tabs only where the window has them. A document that breaks a rule
// is refused whole, with the line and column of the fault, as Outlook's custom UI error says.
#include <string>
#include <vector>

namespace kestova::sim {

struct TRibbonButton {
    std::wstring id, tag, label, getLabel, onAction, getEnabled, getImage;
    bool enabled = true;
    bool large = false;
    bool contextual = false;  // on a contextual tab, shown only while its context is
};

struct TRibbonLayout {
    std::wstring onLoad;
    std::vector<TRibbonButton> buttons;
};

// Raises kestova::Exception("Line L, column C: what") for a document Outlook refuses.
TRibbonLayout ParseCustomUI(const std::wstring& xml, const std::wstring& ribbonId, int major);

}  // namespace kestova::sim
