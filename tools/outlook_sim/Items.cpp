#include "tools/outlook_sim/Items.h"

#include <fstream>
#include <iterator>

#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/Collection.h"
#include "tools/outlook_sim/Eml.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

const long olByValue = 1;
const long olMail = 43;
const long olContact = 40;

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) throw com::EOleError(E_FAIL, "Cannot add the attachment \"" + win32::Narrow(path) + "\"");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring NameOfPath(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/:") + 1);
}

}  // namespace

TSimAttachment::TSimAttachment(TSimAttachments* parent, std::wstring displayName, std::wstring fileName,
                               std::string data)
    : TAutoObject({}, nullptr), parent_(parent), displayName_(std::move(displayName)),
      fileName_(std::move(fileName)), data_(std::move(data)) {
    Property(L"DisplayName", Read(displayName_), Assign(displayName_));
    Property(L"FileName", Read(fileName_));
    Property(L"Size", [this](const TArgs&) { return com::TVariant(long(data_.size())); });
    Property(L"Type", [](const TArgs&) { return com::TVariant(olByValue); });
    Method(L"Delete", {}, [this](const TArgs&) {
        if (parent_) parent_->Remove(this);
        return com::TVariant();
    });
}

TSimAttachments::TSimAttachments() : TAutoObject({}, nullptr) {
    Property(L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(L"Item", {L"Index"}, [this](const TArgs& args) {
        return com::TVariant(FindItem(items_, args.At(0), [](TSimAttachment& a) { return a.DisplayName(); })->AsDispatch());
    });
    Method(L"Add", {L"Source", L"Type", L"Position", L"DisplayName"}, [this](const TArgs& args) {
        if (args.Long(1, olByValue) != olByValue) throw com::EOleError(E_NOTIMPL, "only attachments by value");
        const std::wstring name = args.Has(3) ? args.Text(3) : std::wstring();
        return com::TVariant(Add(args.Text(0), args.Long(2, long(items_.size()) + 1), name)->AsDispatch());
    });
    Method(L"Remove", {L"Index"}, [this](const TArgs& args) {
        Remove(FindItem(items_, com::TVariant(args.At(0).AsLong()), [](TSimAttachment& a) { return a.DisplayName(); }).Get());
        return com::TVariant();
    });
}

TSimAttachments::~TSimAttachments() {
    OrphanAll(items_);
}

com::ComPtr<TSimAttachment> TSimAttachments::Add(const std::wstring& source, long position, std::wstring displayName) {
    const std::wstring fileName = NameOfPath(source);
    if (displayName.empty()) displayName = fileName;
    auto attachment = com::Make<TSimAttachment>(this, std::move(displayName), fileName, ReadFile(source));
    const size_t at = position >= 1 && size_t(position) <= items_.size() ? size_t(position - 1) : items_.size();
    items_.insert(items_.begin() + at, attachment);
    return attachment;
}

void TSimAttachments::Remove(const TSimAttachment* attachment) {
    RemoveItem(items_, attachment);
}

TSimItem::TSimItem(TItemKind kind)
    : TAutoObject({kind == TItemKind::Mail ? outlook::IID__MailItem : outlook::IID__ContactItem}, nullptr),
      attachments_(com::Make<TSimAttachments>()) {
    const bool mail = kind == TItemKind::Mail;
    Property(L"Class", [mail](const TArgs&) { return com::TVariant(mail ? olMail : olContact); });
    Property(L"MessageClass", [mail](const TArgs&) { return com::TVariant(mail ? L"IPM.Note" : L"IPM.Contact"); });
    Property(L"Subject", Read(subject_), Assign(subject_));
    Property(L"Body", Read(body_), Assign(body_));
    Property(L"To", Read(to_), Assign(to_));
    Property(L"Attachments", [this](const TArgs&) { return com::TVariant(attachments_->AsDispatch()); });
    Method(L"Save", {}, [](const TArgs&) { return com::TVariant(); });
    Method(L"SaveAs", {L"Path", L"Type"}, [this](const TArgs& args) {
        SaveAsEml(*this, args.Text(0));
        return com::TVariant();
    });
}

}  // namespace kestova::sim
