#include "tools/outlook_sim/Items.h"

#include <fstream>
#include <iterator>

#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/Collection.h"
#include "tools/outlook_sim/DispIds.h"
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
    : TAutoObject({outlook::IID_Attachment}, nullptr), parent_(parent), displayName_(std::move(displayName)),
      fileName_(std::move(fileName)), data_(std::move(data)) {
    Property(dispid::AttachmentDisplayName, L"DisplayName", Read(displayName_), Assign(displayName_));
    Property(dispid::AttachmentFileName, L"FileName", Read(fileName_));
    Property(dispid::AttachmentSize, L"Size", [this](const TArgs&) { return com::TVariant(long(data_.size())); });
    Property(dispid::AttachmentType, L"Type", [](const TArgs&) { return com::TVariant(olByValue); });
    Method(dispid::AttachmentDelete, L"Delete", {}, [this](const TArgs&) {
        if (parent_) parent_->Remove(this);
        return com::TVariant();
    });
}

TSimAttachments::TSimAttachments(std::shared_ptr<const long> bodyFormat)
    : TAutoObject({outlook::IID_Attachments}, nullptr), bodyFormat_(std::move(bodyFormat)) {
    Property(dispid::CollectionCount, L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(dispid::CollectionItem, L"Item", {Required(L"Index")}, [this](const TArgs& args) {
        return com::TVariant(ItemAt(items_, args.At(0))->AsDispatch());
    });
    DefaultMember(dispid::CollectionItem);
    Method(dispid::AttachmentsAdd, L"Add",
           {Required(L"Source"), Optional(L"Type"), Optional(L"Position"), Optional(L"DisplayName")},
           [this](const TArgs& args) {
        if (args.Long(1, olByValue) != olByValue) throw com::EOleError(E_NOTIMPL, "only attachments by value");
        // Outlook honours DisplayName and Position in Rich Text mail only.
        const bool rich = *bodyFormat_ == olFormatRichText;
        const std::wstring name = rich && args.Has(3) ? args.Text(3) : std::wstring();
        const long end = long(items_.size()) + 1;
        return com::TVariant(Add(args.Text(0), rich ? args.Long(2, end) : end, name)->AsDispatch());
    });
    Method(dispid::AttachmentsRemove, L"Remove", {Required(L"Index", VT_I4)}, [this](const TArgs& args) {
        Remove(ItemAt(items_, args.At(0)).Get());
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

void TSimAttachments::Owned(std::vector<const TAutoObject*>& out) const { AppendAll(items_, out); }

void TSimAttachments::Remove(const TSimAttachment* attachment) {
    RemoveItem(items_, attachment);
}

TSimItem::TSimItem(TItemKind kind)
    : TAutoObject({kind == TItemKind::Mail ? outlook::IID__MailItem : outlook::IID__ContactItem}, nullptr),
      attachments_(com::Make<TSimAttachments>(bodyFormat_)) {
    const bool mail = kind == TItemKind::Mail;
    Property(dispid::Class, L"Class", [mail](const TArgs&) { return com::TVariant(mail ? olMail : olContact); });
    Property(dispid::ItemMessageClass, L"MessageClass",
             [mail](const TArgs&) { return com::TVariant(mail ? L"IPM.Note" : L"IPM.Contact"); });
    Property(dispid::ItemSubject, L"Subject", Read(subject_), Assign(subject_));
    Property(dispid::ItemBody, L"Body", Read(body_), Assign(body_));
    Property(dispid::ItemTo, L"To", Read(to_), Assign(to_));
    Property(dispid::ItemBodyFormat, L"BodyFormat", Read(*bodyFormat_), {VT_I4, [this](const com::TVariant& value) {
                 const long format = value.AsLong();
                 if (format < olFormatPlain || format > olFormatRichText)
                     throw com::EOleError(E_INVALIDARG, "The value is out of the expected range.");
                 *bodyFormat_ = format;
             }});
    Property(dispid::ItemAttachments, L"Attachments", [this](const TArgs&) { return com::TVariant(attachments_->AsDispatch()); });
    Method(dispid::ItemSave, L"Save", {}, [](const TArgs&) { return com::TVariant(); });
    Method(dispid::ItemSaveAs, L"SaveAs", {Required(L"Path", VT_BSTR), Optional(L"Type")}, [this](const TArgs& args) {
        SaveAsEml(*this, args.Text(0));
        return com::TVariant();
    });
}

}  // namespace kestova::sim
