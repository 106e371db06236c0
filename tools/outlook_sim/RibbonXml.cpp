#include "tools/outlook_sim/RibbonXml.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>

#include "core/Exception.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

const wchar_t kNamespace2006[] = L"http://schemas.microsoft.com/office/2006/01/customui";
const wchar_t kNamespace2009[] = L"http://schemas.microsoft.com/office/2009/07/customui";

struct TElement {
    std::wstring name;
    std::map<std::wstring, std::wstring> attributes;
    size_t at = 0;  // where it starts, for the error text
    std::vector<TElement> children;
};

// The part of the schema the simulated Outlook knows: each element's parent and attributes.
struct TElementRule {
    const wchar_t* name;
    const wchar_t* parent;
    std::set<std::wstring> attributes;
};

const std::set<std::wstring> kPlacement = {L"id", L"idMso", L"idQ", L"insertAfterMso", L"insertBeforeMso",
                                           L"visible", L"getVisible", L"tag", L"label", L"getLabel", L"keytip",
                                           L"getKeytip"};

std::set<std::wstring> With(std::set<std::wstring> more) {
    more.insert(kPlacement.begin(), kPlacement.end());
    return more;
}

const TElementRule kRules[] = {
    {L"customUI", L"", {L"xmlns", L"onLoad", L"loadImage"}},
    {L"ribbon", L"customUI", {L"startFromScratch"}},
    {L"tabs", L"ribbon", {}},
    {L"contextualTabs", L"ribbon", {}},
    {L"tabSet", L"contextualTabs", {L"idMso", L"visible", L"getVisible"}},
    {L"tab", L"tabs", With({})},
    {L"tab", L"tabSet", With({})},
    {L"group", L"tab", With({L"image", L"imageMso", L"getImage", L"screentip", L"getScreentip", L"supertip",
                             L"getSupertip"})},
    {L"button", L"group", With({L"onAction", L"enabled", L"getEnabled", L"image", L"imageMso", L"getImage",
                                L"size", L"getSize", L"screentip", L"getScreentip", L"supertip", L"getSupertip",
                                L"description", L"getDescription", L"showLabel", L"getShowLabel", L"showImage",
                                L"getShowImage"})},
};

// Attributes that a get-callback may stand in for; never both.
const wchar_t* const kDynamic[] = {L"label", L"enabled", L"image", L"screentip", L"supertip", L"keytip",
                                   L"size", L"visible", L"showLabel", L"showImage", L"description"};

// The built-in tabs of each window's ribbon, and the contextual tab sets with their tabs.
struct TWindowTabs {
    std::set<std::wstring> tabs;
    std::map<std::wstring, std::set<std::wstring>> tabSets;
};

TWindowTabs TabsOf(const std::wstring& ribbonId, int major) {
    if (ribbonId == L"Microsoft.Outlook.Explorer") {
        TWindowTabs explorer{{L"TabMail", L"TabFolder", L"TabView", L"TabSendReceive"}, {}};
        if (major >= 15) explorer.tabSets[L"TabComposeTools"] = {L"TabMessage"};  // inline replies
        return explorer;
    }
    if (ribbonId == L"Microsoft.Outlook.Mail.Compose")
        return {{L"TabNewMailMessage", L"TabInsert", L"TabOptions", L"TabFormatText", L"TabReview"}, {}};
    if (ribbonId == L"Microsoft.Outlook.Mail.Read") return {{L"TabReadMessage"}, {}};
    if (ribbonId == L"Microsoft.Outlook.Contact") return {{L"TabContact", L"TabInsert"}, {}};
    if (ribbonId == L"Microsoft.Outlook.Appointment") return {{L"TabAppointment", L"TabInsert"}, {}};
    if (ribbonId == L"Microsoft.Outlook.Task") return {{L"TabTask", L"TabInsert"}, {}};
    return {};
}

class TParser {
public:
    explicit TParser(const std::wstring& text) : text_(text) {}

    TElement Document() {
        SkipMisc();
        TElement root = Element();
        SkipMisc();
        if (pos_ < text_.size()) Fail(pos_, "content after the document element");
        return root;
    }

    [[noreturn]] void Fail(size_t at, const std::string& what) const {
        const size_t line = 1 + std::count(text_.begin(), text_.begin() + std::min(at, text_.size()), L'\n');
        const size_t lineStart = text_.rfind(L'\n', at == 0 ? 0 : at - 1);
        const size_t column = at - (lineStart == std::wstring::npos ? 0 : lineStart + 1) + 1;
        throw Exception("Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what);
    }

private:
    bool At(const wchar_t* token) const { return text_.compare(pos_, wcslen(token), token) == 0; }

    void Skip(const wchar_t* end) {
        const size_t found = text_.find(end, pos_);
        if (found == std::wstring::npos) Fail(pos_, "unterminated markup");
        pos_ = found + wcslen(end);
    }

    void SkipSpace() {
        while (pos_ < text_.size() && std::iswspace(text_[pos_])) ++pos_;
    }

    // Blanks, comments and the XML declaration; customUI holds no text.
    void SkipMisc() {
        for (;;) {
            SkipSpace();
            if (At(L"<?")) Skip(L"?>");
            else if (At(L"<!--")) Skip(L"-->");
            else return;
        }
    }

    std::wstring Name() {
        const size_t start = pos_;
        while (pos_ < text_.size() && (std::iswalnum(text_[pos_]) || text_[pos_] == L':' || text_[pos_] == L'_' ||
                                       text_[pos_] == L'-' || text_[pos_] == L'.'))
            ++pos_;
        if (pos_ == start) Fail(pos_, "a name was expected");
        return text_.substr(start, pos_ - start);
    }

    std::wstring Value() {
        if (pos_ >= text_.size() || (text_[pos_] != L'"' && text_[pos_] != L'\'')) Fail(pos_, "a quoted value was expected");
        const wchar_t quote = text_[pos_++];
        const size_t end = text_.find(quote, pos_);
        if (end == std::wstring::npos) Fail(pos_, "unterminated value");
        std::wstring value = Unescaped(text_.substr(pos_, end - pos_), pos_);
        pos_ = end + 1;
        return value;
    }

    std::wstring Unescaped(const std::wstring& raw, size_t at) const {
        static const std::pair<const wchar_t*, wchar_t> entities[] = {
            {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
        std::wstring out;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == L'<') Fail(at + i, "'<' in a value");
            if (raw[i] != L'&') {
                out += raw[i];
                continue;
            }
            const auto entity = std::find_if(std::begin(entities), std::end(entities),
                                             [&](const auto& e) { return raw.compare(i, wcslen(e.first), e.first) == 0; });
            if (entity == std::end(entities)) Fail(at + i, "unknown entity");
            out += entity->second;
            i += wcslen(entity->first) - 1;
        }
        return out;
    }

    TElement Element() {
        if (!At(L"<")) Fail(pos_, "an element was expected");
        TElement element;
        element.at = pos_++;
        element.name = Name();
        for (;;) {
            SkipSpace();
            if (At(L"/>")) {
                pos_ += 2;
                return element;
            }
            if (At(L">")) break;
            const size_t at = pos_;
            const std::wstring name = Name();
            SkipSpace();
            if (!At(L"=")) Fail(pos_, "'=' was expected");
            ++pos_;
            SkipSpace();
            if (!element.attributes.emplace(name, Value()).second) Fail(at, "attribute given twice");
        }
        ++pos_;
        for (;;) {
            SkipMisc();
            if (At(L"</")) break;
            if (pos_ < text_.size() && text_[pos_] != L'<') Fail(pos_, "text is not allowed here");
            element.children.push_back(Element());
        }
        pos_ += 2;
        if (Name() != element.name) Fail(pos_, "the end tag does not match <" + win32::Narrow(element.name) + ">");
        SkipSpace();
        if (!At(L">")) Fail(pos_, "'>' was expected");
        ++pos_;
        return element;
    }

    const std::wstring& text_;
    size_t pos_ = 0;
};

// Checks the document against the schema and the window, and collects its buttons.
class TChecker {
public:
    TChecker(const TParser& parser, const std::wstring& ribbonId, int major)
        : parser_(parser), tabs_(TabsOf(ribbonId, major)) {}

    TRibbonLayout Layout(const TElement& root, int major) {
        const auto ns = root.attributes.find(L"xmlns");
        const bool known = ns != root.attributes.end() &&
                           (ns->second == kNamespace2006 || (major >= 14 && ns->second == kNamespace2009));
        if (root.name != L"customUI" || !known) parser_.Fail(root.at, "not a customUI document of this Outlook's namespace");
        Check(root, L"", false, L"");
        if (const auto load = root.attributes.find(L"onLoad"); load != root.attributes.end()) layout_.onLoad = load->second;
        return layout_;
    }

private:
    static std::wstring Attribute(const TElement& e, const wchar_t* name) {
        const auto found = e.attributes.find(name);
        return found == e.attributes.end() ? std::wstring() : found->second;
    }

    void Check(const TElement& e, const std::wstring& parent, bool contextual, const std::wstring& tabSet) {
        const auto rule = std::find_if(std::begin(kRules), std::end(kRules),
                                       [&](const TElementRule& r) { return e.name == r.name && parent == r.parent; });
        if (rule == std::end(kRules)) parser_.Fail(e.at, "unknown element <" + win32::Narrow(e.name) + "> here");
        for (const auto& [name, value] : e.attributes)
            if (!rule->attributes.count(name)) parser_.Fail(e.at, "unknown attribute " + win32::Narrow(name));
        for (const wchar_t* name : kDynamic)
            if (e.attributes.count(name) && e.attributes.count(L"get" + Capitalised(name)))
                parser_.Fail(e.at, "both " + win32::Narrow(name) + " and its get-callback");
        const std::wstring id = Attribute(e, L"id");
        if (!id.empty() && !ids_.insert(id).second) parser_.Fail(e.at, "the id " + win32::Narrow(id) + " is used twice");
        CheckBuiltIn(e, tabSet);
        if (e.name == L"button") AddButton(e, contextual);
        const std::wstring set = e.name == L"tabSet" ? Attribute(e, L"idMso") : tabSet;
        for (const TElement& child : e.children) Check(child, e.name, contextual || e.name == L"tabSet", set);
    }

    void CheckBuiltIn(const TElement& e, const std::wstring& tabSet) {
        const std::wstring mso = Attribute(e, L"idMso");
        if (e.name == L"tabSet" && !tabs_.tabSets.count(mso))
            parser_.Fail(e.at, "this window has no tab set " + win32::Narrow(mso));
        if (e.name != L"tab" || mso.empty()) return;
        const bool known = tabSet.empty() ? tabs_.tabs.count(mso) > 0 : tabs_.tabSets.at(tabSet).count(mso) > 0;
        if (!known) parser_.Fail(e.at, "this window has no tab " + win32::Narrow(mso));
    }

    void AddButton(const TElement& e, bool contextual) {
        TRibbonButton button;
        button.id = Attribute(e, L"id");
        button.tag = Attribute(e, L"tag");
        button.label = Attribute(e, L"label");
        button.getLabel = Attribute(e, L"getLabel");
        button.onAction = Attribute(e, L"onAction");
        button.getEnabled = Attribute(e, L"getEnabled");
        button.getImage = Attribute(e, L"getImage");
        button.enabled = Attribute(e, L"enabled") != L"false";
        button.large = Attribute(e, L"size") == L"large";
        button.contextual = contextual;
        layout_.buttons.push_back(button);
    }

    static std::wstring Capitalised(std::wstring name) {
        name[0] = wchar_t(std::towupper(name[0]));
        return name;
    }

    const TParser& parser_;
    TWindowTabs tabs_;
    std::set<std::wstring> ids_;
    TRibbonLayout layout_;
};

}  // namespace

TRibbonLayout ParseCustomUI(const std::wstring& xml, const std::wstring& ribbonId, int major) {
    TParser parser(xml);
    const TElement root = parser.Document();
    return TChecker(parser, ribbonId, major).Layout(root, major);
}

}  // namespace kestova::sim
