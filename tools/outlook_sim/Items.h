#pragma once
// Outlook items: a mail or a contact, its attachments collection and each attachment.
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

class TSimAttachments : public TAutoObject {
public:
    TSimAttachments();
    ~TSimAttachments() override;
    // Copies the file in by value, at `position` (1-based; past the end appends).
    com::ComPtr<TSimAttachment> Add(const std::wstring& source, long position, std::wstring displayName);
    void Remove(const TSimAttachment* attachment);
    const std::vector<com::ComPtr<TSimAttachment>>& Items() const { return items_; }

private:
    std::vector<com::ComPtr<TSimAttachment>> items_;
};

enum class TItemKind { Mail, Contact };

class TSimItem : public TAutoObject {
public:
    explicit TSimItem(TItemKind kind);
    TSimAttachments& Attachments() const { return *attachments_.Get(); }
    std::wstring Subject() const { return subject_; }
    std::wstring Body() const { return body_; }
    std::wstring To() const { return to_; }

private:
    std::wstring subject_;
    std::wstring body_;
    std::wstring to_;
    com::ComPtr<TSimAttachments> attachments_;
};

}  // namespace kestova::sim
