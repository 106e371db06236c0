#include "tools/outlook_sim/Scenario.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <condition_variable>
#include <exception>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "tools/outlook_sim/Eml.h"
#include "tools/outlook_sim/Stopwatch.h"
#include "tools/outlook_sim/WindowDriver.h"
#include "platform/MainThread.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Handles.h"

namespace kestova::sim {

namespace {

// Splits a step into words; "double quotes" keep spaces inside one word.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> std::ws && in.peek() != EOF) {
        if (in.peek() == '"') {
            in.get();
            std::getline(in, word, '"');
        } else {
            in >> word;
        }
        words.push_back(word);
    }
    return words;
}

const std::string& Arg(const std::vector<std::string>& words, size_t index) {
    if (index >= words.size()) throw Exception("missing argument " + std::to_string(index));
    return words[index];
}

size_t Number(const std::string& text) {
    size_t used = 0;
    const unsigned long value = std::stoul(text, &used);
    if (used != text.size()) throw Exception("not a number: " + text);
    return value;
}

// Whether word `index` is the optional `option`.
bool Option(const std::vector<std::string>& words, size_t index, const char* option) {
    if (index >= words.size()) return false;
    if (words[index] != option) throw Exception("unknown option: " + words[index]);
    return true;
}

std::string Millis(double ms) {
    std::ostringstream text;
    text.precision(ms < 10 ? 2 : 0);
    text << std::fixed << ms << " ms";
    return text.str();
}

bool YesNo(const std::string& text) {
    if (text != "yes" && text != "no") throw Exception("expected yes or no: " + text);
    return text == "yes";
}

std::string Outcome(const std::vector<TAddinResult>& results, const char* verb) {
    if (results.empty()) return "no add-ins";
    std::string text;
    for (const TAddinResult& r : results) {
        if (FAILED(r.result)) throw Exception(win32::Narrow(r.progID) + " failed: " + com::HresultText(r.result));
        text += (text.empty() ? "" : ", ") + win32::Narrow(r.progID) + " " + verb;
    }
    return text;
}

void Compare(size_t found, size_t expected, const std::string& what) {
    if (found != expected)
        throw Exception(what + ": expected " + std::to_string(expected) + ", found " + std::to_string(found));
}

// The line is a step for the add-in's windows, an indented step of Outlook's own, or blank, so
// it runs beside the step before.
bool RunsBeside(const std::string& line) {
    const std::vector<std::string> words = Words(line.substr(0, line.find('#')));
    return words.empty() || TWindowDriver::Drives(words[0]) || line[0] == ' ' || line[0] == '\t';
}

// As a scenario spells it: true or false, a number, or the text.
std::string PropertyText(IDispatch* owner, const std::string& name) {
    const com::TVariant value = com::GetProperty(owner, win32::Widen(name));
    if (value.Type() == VT_BOOL) return value.AsBool() ? "true" : "false";
    return win32::Narrow(value.AsText());
}

size_t ThreadsOfThisProcess() {
    const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (taken == INVALID_HANDLE_VALUE) throw Exception("no thread snapshot, error " + std::to_string(GetLastError()));
    const TUniqueHandle<HANDLE, &CloseHandle> snapshot(taken);
    size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(taken, &entry); more; more = Thread32Next(taken, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

// Takes the messages sent to this thread until the event `done` is set.
void PumpSentMessagesUntil(HANDLE done) {
    MSG msg;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The attachment of that display name (compared exactly), or null.
const TSimAttachment* FindAttachment(const TSimItem& item, const std::string& name) {
    for (const auto& a : item.Attachments().Items())
        if (a->DisplayName() == win32::Widen(name)) return a.Get();
    return nullptr;
}

const TSimAttachment& AttachmentNamed(const TSimItem& item, const std::string& name) {
    if (const TSimAttachment* found = FindAttachment(item, name)) return *found;
    throw Exception("no attachment \"" + name + "\"");
}

}  // namespace

TScenario::TScenario(TSimApplication& application, std::ostream& out, std::wstring folder)
    : application_(application), out_(out), host_(application.AsDispatch()), folder_(std::move(folder)),
      applicationOwnRefs_(application.RefCount()) {
    host_.OnConnected = [this](const std::wstring& progID, IUnknown* addin) {
        application_.Ribbons().Connected(progID, addin, application_.OpenWindows());
    };
    host_.OnDisconnected = [this](const std::wstring& progID) { application_.Ribbons().Disconnected(progID); };
}

int TScenario::Run(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    int failures = 0;
    for (size_t i = 0; i < lines.size();) {
        size_t end = i + 1;
        while (end < lines.size() && RunsBeside(lines[end])) ++end;
        if (end > i + 1)
            failures += StepDriving(lines[i], {lines.begin() + i + 1, lines.begin() + end});
        else if (!Step(lines[i]))
            ++failures;
        i = end;
    }
    if (host_.Count() > 0 && !Step("disconnect")) ++failures;
    return failures;
}

bool TScenario::Step(const std::string& line) {
    const TWords words = Words(line.substr(0, line.find('#')));
    if (words.empty()) return true;
    try {
        const std::string detail = Execute(words);
        out_ << "ok   " << line << (detail.empty() ? "" : "  -> " + detail) << std::endl;
        return true;
    } catch (const std::exception& error) {
        out_ << "FAIL " << line << "  -> " << error.what() << std::endl;
        return false;
    }
}

// The step (a Click, as a rule) runs here and may show windows modally; the window steps that
// follow it run meanwhile on a thread of their own. Windows still shown after the last of them
// (or after a failed one) are closed, so the step returns. Answers the number of failures.
int TScenario::StepDriving(const std::string& line, const std::vector<std::string>& windowSteps) {
    int failures = 0;
    std::string report;
    std::mutex lock;
    std::condition_variable returned;
    bool stepDone = false;
    const TUniqueHandle<HANDLE, &CloseHandle> besideDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!besideDone) throw Exception("no event, error " + std::to_string(GetLastError()));
    TWindowDriver driver(GetCurrentThreadId());
    // Steps of Outlook's own run on this thread, which takes them while it waits.
    const std::shared_ptr<IMainThread> hostSteps = CreateOsMainThread();
    std::thread thread([&] {
        for (const std::string& windowStep : windowSteps) {
            const TWords words = Words(windowStep.substr(0, windowStep.find('#')));
            if (words.empty()) continue;
            if (failures > 0) {
                report += "FAIL " + windowStep + "  -> skipped after a failed step\n";
                ++failures;
                continue;
            }
            try {
                std::string detail;
                if (TWindowDriver::Drives(words[0]))
                    detail = driver.Step(words);
                else
                    hostSteps->Send([&] { detail = Execute(words); });
                report += "ok   " + windowStep + (detail.empty() ? "" : "  -> " + detail) + "\n";
            } catch (const std::exception& error) {
                report += "FAIL " + windowStep + "  -> " + error.what() + "\n";
                ++failures;
            }
        }
        std::unique_lock<std::mutex> guard(lock);
        while (!returned.wait_for(guard, std::chrono::seconds(10), [&] { return stepDone; })) {
            report += "FAIL " + line + "  -> its windows were still shown; closed\n";
            ++failures;
            driver.CloseAll();
        }
        SetEvent(besideDone.get());
    });
    const bool passed = Step(line);
    {
        std::lock_guard<std::mutex> guard(lock);
        stepDone = true;
    }
    returned.notify_all();
    PumpSentMessagesUntil(besideDone.get());  // steps of Outlook's own may still come
    thread.join();
    out_ << report << std::flush;
    return failures + (passed ? 0 : 1);
}

std::string TScenario::Execute(const TWords& words) {
    const std::string& verb = words[0];
    if (const auto own = ownSteps_.find(verb); own != ownSteps_.end()) return own->second(words);
    if (verb == "connect") return Connect(Option(words, 1, "after-startup") ? com::ext_cm_AfterStartup : com::ext_cm_Startup);
    if (verb == "disconnect")
        return words.size() > 1 ? Outcome({host_.Disconnect(win32::Widen(words[1]))}, "disconnected") : Disconnect();
    if (verb == "quit") return Option(words, 1, "slow") ? Outcome(host_.Disconnect(), "shut down") : Quit();
    if (verb == "check" || verb == "uncheck")
        return Outcome({host_.SetTicked(win32::Widen(Arg(words, 1)), verb == "check")},
                       verb == "check" ? "ticked and connected" : "unticked and disconnected");
    if (verb == "renew") return Renew(Window(Arg(words, 1)));
    if (verb == "count" && Arg(words, 1) == "threads") {
        countedThreads_ = ThreadsOfThisProcess();
        return std::to_string(countedThreads_) + " threads";
    }
    if (const TStep ribbon = RibbonStep(words)) return (this->*ribbon)(words);
    if (verb == "open") return Open(words);
    if (verb == "click") return Click(words);
    if (verb == "expect") return Expect(words);
    if (verb == "add-button") {
        const auto button = Window(Arg(words, 1)).AsWindow()->CommandBars().AddControl(L"Scenario");
        com::PutProperty(button->AsDispatch(), L"Caption", com::TVariant(win32::Widen(Arg(words, 2))));
        com::PutProperty(button->AsDispatch(), L"Tag", com::TVariant(win32::Widen(Arg(words, 3))));
        return {};
    }
    if (verb == "add-standard") {
        TWindow& window = Window(Arg(words, 1));
        if (!window.explorer) throw Exception("not an explorer: " + words[1]);
        window.explorer->AddStandardToolbar();
        return {};
    }
    if (verb == "attach") {
        const std::wstring name = words.size() > 3 ? win32::Widen(words[3]) : std::wstring();
        const std::wstring file = win32::Widen(Arg(words, 2));
        const bool relative = PathIsRelativeW(file.c_str());
        Item(Arg(words, 1)).Attachments().Add(relative ? folder_ + file : file, 1, name);
        return {};
    }
    if (verb == "save") {
        SaveAsEml(Item(Arg(words, 1)), win32::Widen(Arg(words, 2)));
        return {};
    }
    if (verb == "set") {
        com::PutProperty(Item(Arg(words, 1)).AsDispatch(), win32::Widen(Arg(words, 2)), com::TVariant(win32::Widen(Arg(words, 3))));
        return {};
    }
    if (TWindowDriver::Drives(verb)) throw Exception("a window step follows the step that shows the window");
    if (verb == "send") return application_.ItemSend(Item(Arg(words, 1)).AsDispatch()) ? "cancelled" : "sent";
    return WindowEvent(words);
}

// An add-in that fails to connect is Outlook's to report, not a failed step: it stays
// unloaded, which later steps can expect. So is one that Outlook disables for a slow start.
std::string TScenario::Connect(com::ext_ConnectMode mode) {
    const std::vector<TAddinResult> results = host_.Connect(mode);
    std::vector<TAddinResult> connected;
    std::string text;
    for (const TAddinResult& r : results) {
        if (SUCCEEDED(r.result)) connected.push_back(r);
        text += ", " + win32::Narrow(r.progID) +
                (FAILED(r.result) ? " failed: " + com::HresultText(r.result) + ", unloaded"
                                  : " connected in " + Millis(r.ms) + (r.verdict.empty() ? "" : ", " + r.verdict));
    }
    for (const std::string& error : application_.Ribbons().Errors()) text += "; " + error;
    return results.empty() ? "no add-ins" : text.substr(2);
}

// Outlook 2010's fast shutdown: Application.Quit, then the add-ins are released unannounced.
std::string TScenario::Quit() {
    const double ms = TimedMs([this] {
        application_.Quit();
        host_.Release();
    });
    return "Application.Quit raised, add-ins released; shut down in " + Millis(ms);
}

std::string TScenario::Renew(const TWindow& window) {
    if (window.inspector) {
        return "NewInspector " + Millis(application_.Inspectors().Renew(*window.inspector.Get()));
    }
    return "NewExplorer " + Millis(application_.Explorers().Renew(*window.explorer.Get()));
}

// Every simulated object alive that holds more references than the host's own ones.
std::string TScenario::ExpectReleased() {
    std::map<const TAutoObject*, ULONG> own{{&application_, applicationOwnRefs_}};
    for (const auto& [name, window] : windows_)
    {
        ++own[window.inspector ? static_cast<const TAutoObject*>(window.inspector.Get()) : window.explorer.Get()];
        if (window.inlineResponse) ++own[window.inlineResponse.Get()];
    }
    std::string held;
    size_t count = 0;
    TAutoObject::WithLive([&](const std::vector<const TAutoObject*>& live) {
        std::vector<const TAutoObject*> owned;
        for (const TAutoObject* object : live) object->Owned(owned);
        for (const TAutoObject* object : owned) ++own[object];
        for (const TAutoObject* object : live)
            if (const ULONG refs = object->RefCount(); refs > own[object])
                held += (held.empty() ? "" : ", ") + object->Kind() + " " + std::to_string(refs - own[object]);
        count = live.size();
    });
    if (!held.empty()) throw Exception("still held: " + held);
    return std::to_string(count) + " objects, none held";
}

// The ribbon's steps, each named by its verb and first word ("version" by its verb alone).
TScenario::TStep TScenario::RibbonStep(const TWords& words) {
    static const std::map<std::string, TStep> steps{
        {"version", &TScenario::Version},           {"ribbon off", &TScenario::RibbonOff},
        {"open inline", &TScenario::OpenInline},    {"close inline", &TScenario::CloseInline},
        {"click ribbon", &TScenario::ClickRibbon},  {"expect ribbon", &TScenario::ExpectRibbon},
        {"save ribbon", &TScenario::SaveRibbon},    {"expect ribbon-errors", &TScenario::ExpectRibbonErrors},
        {"save image", &TScenario::SaveImage},
    };
    auto found = words.size() > 1 ? steps.find(words[0] + " " + words[1]) : steps.end();
    if (found == steps.end()) found = steps.find(words[0]);
    return found == steps.end() ? nullptr : found->second;
}

void TScenario::BeforeConnect(const std::string& verb) const {
    if (host_.Count() > 0) throw Exception(verb + " comes before connect");
}

std::string TScenario::Version(const TWords& words) {
    BeforeConnect(words[0]);
    application_.SetVersion(win32::Widen(Arg(words, 1)));
    return {};
}

std::string TScenario::RibbonOff(const TWords& words) {
    BeforeConnect(words[0]);
    application_.Ribbons().TurnOff();
    return {};
}

com::ComPtr<TSimExplorer> TScenario::InlinePane(const TWords& words) {
    const TWindow& pane = Window(Arg(words, 2));
    if (!pane.explorer || pane.inlineResponse) throw Exception("not an explorer: " + words[2]);
    return pane.explorer;
}

std::string TScenario::OpenInline(const TWords& words) {
    const com::ComPtr<TSimExplorer> pane = InlinePane(words);
    if (windows_.count(Arg(words, 3))) throw Exception("window exists: " + words[3]);
    TWindow reply{nullptr, pane, com::Make<TSimItem>(TItemKind::Mail)};
    windows_[words[3]] = reply;
    pane->OpenInlineResponse(reply.inlineResponse);
    application_.Ribbons().SetContext(*pane.Get(), true);
    return {};
}

std::string TScenario::CloseInline(const TWords& words) {
    const com::ComPtr<TSimExplorer> pane = InlinePane(words);
    for (auto it = windows_.begin(); it != windows_.end();)
        it = it->second.inlineResponse && it->second.explorer == pane ? windows_.erase(it) : std::next(it);
    pane->CloseInlineResponse();
    application_.Ribbons().SetContext(*pane.Get(), false);
    return {};
}

std::string TScenario::ClickRibbon(const TWords& words) {
    return application_.Ribbons().Click(*Window(Arg(words, 2)).AsWindow().Get(), win32::Widen(Arg(words, 3)));
}

std::string TScenario::ExpectRibbon(const TWords& words) {
    if (Arg(words, 4) != "enabled") throw Exception("unknown ribbon step");
    const bool enabled =
        application_.Ribbons().Enabled(*Window(Arg(words, 2)).AsWindow().Get(), win32::Widen(Arg(words, 3)));
    if (enabled != YesNo(Arg(words, 5))) throw Exception(enabled ? "enabled" : "disabled");
    return {};
}

std::string TScenario::ExpectRibbonErrors(const TWords& words) {
    Compare(application_.Ribbons().Errors().size(), Number(Arg(words, 2)), "custom UI errors");
    return {};
}

std::string TScenario::SaveRibbon(const TWords& words) {
    const std::string xml = win32::Narrow(application_.Ribbons().Xml(win32::Widen(Arg(words, 2))));
    std::ofstream file(win32::Widen(Arg(words, 3)).c_str(), std::ios::binary);
    if (!(file << xml) || !file.flush()) throw Exception("cannot write " + words[3]);
    return std::to_string(xml.size()) + " bytes";
}

std::string TScenario::SaveImage(const TWords& words) {
    application_.Ribbons().SaveImage(*Window(Arg(words, 2)).AsWindow().Get(), win32::Widen(Arg(words, 3)),
                                     win32::Widen(Arg(words, 4)));
    return {};
}

std::string TScenario::Disconnect() {
    return Outcome(host_.Disconnect(), "disconnected");
}

std::string TScenario::Open(const TWords& words) {
    const std::string& kind = Arg(words, 1);
    const std::string& name = Arg(words, 2);
    if (windows_.count(name)) throw Exception("window exists: " + name);
    TWindow window;
    double opened = 0, activated = 0;
    if (kind == "mail" || kind == "contact") {
        const auto inspector = application_.Inspectors().Open(
            com::Make<TSimItem>(kind == "mail" ? TItemKind::Mail : TItemKind::Contact), Option(words, 3, "late-bars"));
        window.inspector = inspector.window;
        opened = inspector.openedMs;
        activated = inspector.activatedMs;
    } else if (kind == "explorer") {
        const auto explorer = application_.Explorers().Open(!Option(words, 3, "nostandard"));
        window.explorer = explorer.window;
        opened = explorer.openedMs;
        activated = explorer.activatedMs;
    } else {
        throw Exception("unknown window kind: " + kind);
    }
    windows_[name] = window;
    const std::string verdict = window.inspector ? host_.ItemOpened(opened + activated) : std::string();
    return std::string(window.inspector ? "NewInspector " : "NewExplorer ") + Millis(opened) + ", Activate " +
           Millis(activated) + (verdict.empty() ? "" : "; " + verdict);
}

std::string TScenario::WindowEvent(const TWords& words) {
    const std::string& verb = words[0];
    TWindow& window = Window(Arg(words, 1));
    if (verb == "close") {
        const com::ComPtr<TSimWindow> closing = window.AsWindow();
        windows_.erase(words[1]);
        closing->Close();
    } else if (verb == "activate") {
        return "Activate " + Millis(window.AsWindow()->Activate());
    } else if (verb == "deactivate") {
        window.AsWindow()->Deactivate();
    } else if (verb == "select" && window.explorer) {
        window.explorer->SelectionChange();
    } else {
        throw Exception("unknown step: " + verb);
    }
    return {};
}

std::string TScenario::Click(const TWords& words) {
    const auto buttons = Buttons(Arg(words, 1), Arg(words, 2));
    if (buttons.empty()) throw Exception("no button \"" + words[2] + "\"");
    const auto [raised, cancelDefault] = application_.Click(*buttons.front().Get());
    const std::string routed = raised == 1 ? "" : ", raised on " + std::to_string(raised) + " buttons";
    return (cancelDefault ? "CancelDefault set" : "clicked") + routed;
}

std::string TScenario::Expect(const TWords& words) {
    const std::string& what = Arg(words, 1);
    if (what == "addins") {
        Compare(host_.Count(), Number(Arg(words, 2)), "connected add-ins");
    } else if (what == "windows") {
        const bool inspectors = Arg(words, 2) == "inspectors";
        Compare(inspectors ? application_.Inspectors().Items().size() : application_.Explorers().Items().size(),
                Number(Arg(words, 3)), "open " + words[2]);
    } else if (what == "sinks") {
        Compare(SinkCount(Arg(words, 2)), Number(Arg(words, 3)), "sinks on " + words[2]);
    } else if (what == "toolbar") {
        const bool present = Window(Arg(words, 2)).AsWindow()->CommandBars().Find(win32::Widen(Arg(words, 3))) != nullptr;
        if (present != YesNo(Arg(words, 4))) throw Exception(present ? "toolbar present" : "no such toolbar");
    } else if (what == "buttons") {
        Compare(Buttons(Arg(words, 2), Arg(words, 3)).size(), Number(Arg(words, 4)), "buttons \"" + words[3] + "\"");
    } else if (what == "attachments") {
        Compare(Item(Arg(words, 2)).Attachments().Items().size(), Number(Arg(words, 3)), "attachments");
    } else if (what == "attachment") {
        const bool present = FindAttachment(Item(Arg(words, 2)), Arg(words, 3)) != nullptr;
        if (present != YesNo(Arg(words, 4))) throw Exception(present ? "attachment present" : "no such attachment");
    } else if (what == "tag") {
        const auto buttons = Buttons(Arg(words, 2), Arg(words, 3));
        if (buttons.size() != 1) throw Exception(std::to_string(buttons.size()) + " buttons \"" + words[3] + "\"");
        const std::string tag = win32::Narrow(buttons.front()->Tag());
        if (tag != Arg(words, 4)) throw Exception("tag is \"" + tag + "\"");
    } else if (what == "loadbehavior") {
        Compare(TAddinHost::LoadBehaviorOf(win32::Widen(Arg(words, 2))), Number(Arg(words, 3)), "LoadBehavior");
    } else if (what == "property") {
        const std::string& name = Arg(words, words.size() - 2);
        const std::string shown = name == "Temporary" ? TemporaryText(words) : PropertyText(PropertyOwner(words), name);
        if (shown != words.back()) throw Exception("it is " + shown);
    } else if (what == "released") {
        return ExpectReleased();
    } else if (what == "startup") {
        const double limit = double(Number(Arg(words, 3)));
        if (Arg(words, 2) != "under") throw Exception("expect startup under <ms>");
        if (host_.LastStartMs() >= limit) throw Exception("the last start took " + Millis(host_.LastStartMs()));
        return Millis(host_.LastStartMs());
    } else if (what == "threads") {
        if (Arg(words, 2) != "counted") throw Exception("expect threads counted");
        Compare(ThreadsOfThisProcess(), countedThreads_, "threads");
    } else if (what == "size") {
        const size_t bytes = AttachmentNamed(Item(Arg(words, 2)), Arg(words, 3)).Data().size();
        if (bytes < Number(Arg(words, 4)) || bytes > Number(Arg(words, 5)))
            throw Exception(std::to_string(bytes) + " bytes");
        return std::to_string(bytes) + " bytes";
    } else {
        throw Exception("unknown expectation: " + what);
    }
    return {};
}

// expect property <win> "<caption>" <name> <value> | expect property <win> toolbar "<bar>" <name> <value>
IDispatch* TScenario::PropertyOwner(const TWords& words) {
    TSimCommandBars& bars = Window(Arg(words, 2)).AsWindow()->CommandBars();
    if (Arg(words, 3) == "toolbar" && words.size() == 7) {
        const com::ComPtr<TSimCommandBar> bar = bars.Find(win32::Widen(Arg(words, 4)));
        if (!bar) throw Exception("no toolbar \"" + words[4] + "\"");
        return bar->AsDispatch();
    }
    const auto buttons = Buttons(Arg(words, 2), Arg(words, 3));
    if (buttons.size() != 1 || words.size() != 6)
        throw Exception(std::to_string(buttons.size()) + " buttons \"" + words[3] + "\"");
    return buttons.front()->AsDispatch();
}

// Office keeps to itself whether a bar or a control is temporary: no member tells it.
std::string TScenario::TemporaryText(const TWords& words) {
    bool temporary = false;
    if (Arg(words, 3) == "toolbar") {
        const com::ComPtr<TSimCommandBar> bar = Window(Arg(words, 2)).AsWindow()->CommandBars().Find(win32::Widen(Arg(words, 4)));
        if (!bar) throw Exception("no toolbar \"" + words[4] + "\"");
        temporary = bar->Temporary();
    } else {
        const auto buttons = Buttons(Arg(words, 2), Arg(words, 3));
        if (buttons.size() != 1) throw Exception(std::to_string(buttons.size()) + " buttons \"" + words[3] + "\"");
        temporary = buttons.front()->Temporary();
    }
    return temporary ? "true" : "false";
}

TScenario::TWindow& TScenario::Window(const std::string& name) {
    const auto found = windows_.find(name);
    if (found == windows_.end()) throw Exception("no window " + name);
    return found->second;
}

std::vector<com::ComPtr<TSimButton>> TScenario::Buttons(const std::string& window, const std::string& caption) {
    std::vector<com::ComPtr<TSimButton>> found;
    for (const auto& bar : Window(window).AsWindow()->CommandBars().Items())
        for (const auto& button : bar->Controls().Items())
            if (button->Caption() == win32::Widen(caption)) found.push_back(button);
    return found;
}

TSimItem& TScenario::Item(const std::string& name) {
    const TWindow& window = Window(name);
    if (window.inlineResponse) return *window.inlineResponse.Get();
    if (!window.inspector) throw Exception("not an inspector: " + name);
    return window.inspector->CurrentItem();
}

size_t TScenario::SinkCount(const std::string& target) {
    if (target == "application") return application_.Sinks().size();
    if (target == "inspectors") return application_.Inspectors().Sinks().size();
    if (target == "explorers") return application_.Explorers().Sinks().size();
    return Window(target).AsWindow()->Sinks().size();
}

}  // namespace kestova::sim
