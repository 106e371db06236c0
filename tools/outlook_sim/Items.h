#pragma once
// Outlook items: a mail or a contact, its attachments collection and each attachment.
#include <memory>
#include <string>
#include <vector>

#include "tools/outlook_sim/AutoObject.h"

namespace kestova::sim {

class TSimAttachments;

class TSimAttachment : public TAutoObject {
public:
    TSimAttachment(TSimAttachments* parent, std::wstring displayName, std::wstring fileName, std::string data);
    void Orphan() { parent_ = nullptr; }
    const std::wstring& DisplayName() const { return displayName_; }
    const std::wstring& FileName() const { return fileName_; }
    const std::string& Data() const { return data_; }

private:
    TSimAttachments* parent_;  // not owned; null once the collection is gone
    std::wstring displayName_;
    std::wstring fileName_;
    std::string data_;
};

// OlBodyFormat
enum : long { olFormatPlain = 1, olFormatHTML = 2, olFormatRichText = 3 };

class TSimAttachments : public TAutoObject {
public:
    // `bodyFormat`: the item's, which decides whether a display name and position count; shared,
    // since a client may hold the collection longer than the item.
    explicit TSimAttachments(std::shared_ptr<const long> bodyFormat);
    ~TSimAttachments() override;
    // Copies the file in by value, at `position` (1-based; past the end appends), shown under
    // `displayName` (empty: the file's name), as the user attaches a file.
    com::ComPtr<TSimAttachment> Add(const std::wstring& source, long position, std::wstring displayName);
    void Remove(const TSimAttachment* attachment);
    const std::vector<com::ComPtr<TSimAttachment>>& Items() const { return items_; }
    void Owned(std::vector<const TAutoObject*>& out) const override;

private:
    std::shared_ptr<const long> bodyFormat_;
    std::vector<com::ComPtr<TSimAttachment>> items_;
};

enum class TItemKind { Mail, Contact };

class TSimItem : public TAutoObject {
public:
    explicit TSimItem(TItemKind kind);
    TSimAttachments& Attachments() const { return *attachments_.Get(); }
    void Owned(std::vector<const TAutoObject*>& out) const override { out.push_back(attachments_.Get()); }
    std::wstring Subject() const { return subject_; }
    std::wstring Body() const { return body_; }
    std::wstring To() const { return to_; }

private:
    std::wstring subject_;
    std::wstring body_;
    std::wstring to_;
    std::shared_ptr<long> bodyFormat_ = std::make_shared<long>(olFormatHTML);  // a new mail's default
    com::ComPtr<TSimAttachments> attachments_;
};

}  // namespace kestova::sim
