// The toolbar buttons' clicks: "Kestova" records a voice message and attaches it to the item
// of the button's own window; "About Kestova" shows the About window. Nothing a click raises
// leaves the Click event: the user is told instead. Outlook goes on raising events while a
// window is up: the item window may close, Outlook may disconnect the add-in.
#include "addin/RecorderWindows.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "addin/uAddin.h"
#include "platform/win32/WideText.h"

#include <cwchar>
#include <iterator>

namespace kestova {

namespace {

const wchar_t* const kAttachmentName = L"Kestova_for_Outlook.mp3";
const long olByValue = 1;

com::ComPtr<IDispatch> Query(IUnknown* object, const GUID& iid, const char* refusal) {
    com::ComPtr<IDispatch> typed;
    if (FAILED(com::QueryDispatch(object, iid, typed))) throw Exception(refusal);
    return typed;
}

bool IsRecordingName(const std::wstring& name) { return _wcsicmp(name.c_str(), kAttachmentName) == 0; }

// Outlook's Attachments take a number only, and an attachment shows the source file's name
// unless the mail is Rich Text, so an earlier recording is found by either name, walking down
// so that a deletion leaves the indexes still to come in place.
void RemoveEarlierRecordings(IDispatch* attachments) {
    for (long i = com::GetProperty(attachments, L"Count").AsLong(); i >= 1; --i) {
        const com::ComPtr<IDispatch> attachment =
            com::ObjectOf(com::GetProperty(attachments, L"Item", {com::TVariant(i)}), L"Attachments.Item");
        if (IsRecordingName(com::GetProperty(attachment.Get(), L"FileName").AsText()) ||
            IsRecordingName(com::GetProperty(attachment.Get(), L"DisplayName").AsText()))
            com::CallMethod(attachment.Get(), L"Delete");
    }
}

// Replaces an earlier recording (or a file of the user's that carries its name) by this one.
void AttachRecording(IDispatch* item, const std::string& fileName) {
    const com::ComPtr<IDispatch> mail = Query(item, outlook::IID__MailItem, "This item is not a mail message");
    const com::TVariant attachments = com::GetProperty(mail.Get(), L"Attachments");
    try {
        RemoveEarlierRecordings(attachments.AsDispatch());
    } catch (const com::EOleError&) {
        // What could not be removed stays; the new one is added all the same.
    }
    com::CallMethod(attachments.AsDispatch(), L"Add",
                    {com::TVariant(win32::Widen(fileName)), com::TVariant(olByValue), com::TVariant(1L),
                     com::TVariant(kAttachmentName)});
}

// The recording of a mail that has gone is moved to a name of its own, so the next recorder,
// which starts afresh under the usual name, leaves it. Answers where it is.
std::string KeepRecording(const std::string& fileName) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, std::size(stamp), L" %04u-%02u-%02u %02u.%02u.%02u.mp3", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
    const std::wstring from = win32::Widen(fileName);
    const std::wstring kept = from.substr(0, from.rfind(L'.')) + stamp;
    return MoveFileExW(from.c_str(), kept.c_str(), MOVEFILE_COPY_ALLOWED) ? win32::Narrow(kept) : fileName;
}

}  // namespace

bool TzelAddin::InspectorOpen(IUnknown* inspector) const {
    for (size_t i = 0; i < InspectorList_->Count(); ++i)
        if ((*InspectorList_)[i].Intf() == inspector) return true;
    return false;
}

com::TVariant TzelAddin::CurrentItemIfOpen(IUnknown* inspector) const {
    if (!InspectorOpen(inspector)) return {};
    const com::ComPtr<IDispatch> window = Query(inspector, outlook::IID__Inspector, "The window is not an item window");
    return com::GetProperty(window.Get(), L"CurrentItem");
}

void TzelAddin::VoiceButtonClick(TOutlookServer* sender) {
    auto* button = dynamic_cast<TAddinOutlookButton*>(sender);
    if (!button || !button->Owner) return;
    // Held apart from the wrappers: the window may close, and its wrapper go, while the
    // recorder window is up.
    const com::ComPtr<IUnknown> inspector(button->Owner->Intf());
    RecordAttachedTo([&] { return CurrentItemIfOpen(inspector.Get()); });
}

// Outlook may release the add-in while the recorder window is up.
void TzelAddin::RecordAttachedTo(const std::function<com::TVariant()>& openItem) {
    const com::ComPtr<TzelAddin> keepAlive(this);
    try {
        SetAppPathFromModule();
        RecordVoiceMessage([&](const std::string& fileName) {
            try {
                const com::TVariant item = openItem();
                if (item.IsEmpty()) return ReportMailClosed(KeepRecording(fileName));
                AttachRecording(item.AsDispatch(), fileName);
            } catch (const std::exception& error) {
                ReportAttachFailure(fileName, error);
            }
        });
    } catch (...) {
        ShowClickError(std::current_exception());
    }
}

void TzelAddin::AboutButtonClick(TOutlookServer*) {
    try {
        SetAppPathFromModule();
        ShowAboutWindow();
    } catch (...) {
        ShowClickError(std::current_exception());
    }
}

}  // namespace kestova
