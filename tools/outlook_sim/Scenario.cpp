#include "tools/outlook_sim/Scenario.h"

#include <shlwapi.h>

#include <iostream>
#include <sstream>

#include "addin/com/OleError.h"
#include "tools/outlook_sim/Eml.h"
#include "platform/win32/WideText.h"

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

bool YesNo(const std::string& text) {
    if (text != "yes" && text != "no") throw Exception("expected yes or no: " + text);
    return text == "yes";
}

std::string Hex(HRESULT hr) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << static_cast<unsigned long>(hr);
    return text.str();
}

std::string Outcome(const std::vector<TAddinResult>& results, const char* verb) {
    if (results.empty()) return "no add-ins";
    std::string text;
    for (const TAddinResult& r : results) {
        if (FAILED(r.result)) throw Exception(win32::Narrow(r.progID) + " failed: " + Hex(r.result));
        text += (text.empty() ? "" : ", ") + win32::Narrow(r.progID) + " " + verb;
    }
    return text;
}

void Compare(size_t found, size_t expected, const std::string& what) {
    if (found != expected)
        throw Exception(what + ": expected " + std::to_string(expected) + ", found " + std::to_string(found));
}

}  // namespace

TScenario::TScenario(TSimApplication& application, std::ostream& out, std::wstring folder)
    : application_(application), out_(out), host_(application.AsDispatch()), folder_(std::move(folder)) {}

int TScenario::Run(std::istream& in) {
    int failures = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!Step(line)) ++failures;
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

std::string TScenario::Execute(const TWords& words) {
    const std::string& verb = words[0];
    if (verb == "connect") return Connect();
    if (verb == "disconnect") return Disconnect();
    if (verb == "open") return Open(words);
    if (verb == "click") return Click(words);
    if (verb == "expect") return Expect(words);
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
    if (verb == "send") return application_.ItemSend(Item(Arg(words, 1)).AsDispatch()) ? "cancelled" : "sent";
    return WindowEvent(words);
}

std::string TScenario::Connect() {
    return Outcome(host_.Connect(), "connected");
}

std::string TScenario::Disconnect() {
    return Outcome(host_.Disconnect(), "disconnected");
}

std::string TScenario::Open(const TWords& words) {
    const std::string& kind = Arg(words, 1);
    const std::string& name = Arg(words, 2);
    if (windows_.count(name)) throw Exception("window exists: " + name);
    TWindow window;
    if (kind == "mail" || kind == "contact") {
        window.inspector = application_.Inspectors().Open(
            com::Make<TSimItem>(kind == "mail" ? TItemKind::Mail : TItemKind::Contact));
    } else if (kind == "explorer") {
        window.explorer = application_.Explorers().Open(words.size() < 4 || words[3] != "nostandard");
    } else {
        throw Exception("unknown window kind: " + kind);
    }
    window.window = window.inspector ? com::ComPtr<TSimWindow>(window.inspector) : com::ComPtr<TSimWindow>(window.explorer);
    windows_[name] = window;
    return {};
}

std::string TScenario::WindowEvent(const TWords& words) {
    const std::string& verb = words[0];
    TWindow& window = Window(Arg(words, 1));
    if (verb == "close") {
        const com::ComPtr<TSimWindow> closing = window.window;
        windows_.erase(words[1]);
        closing->Close();
    } else if (verb == "activate") {
        window.window->Activate();
    } else if (verb == "deactivate") {
        window.window->Deactivate();
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
    return buttons.front()->Click() ? "CancelDefault set" : "clicked";
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
        const bool present = Window(Arg(words, 2)).window->CommandBars().Find(win32::Widen(Arg(words, 3))) != nullptr;
        if (present != YesNo(Arg(words, 4))) throw Exception(present ? "toolbar present" : "no such toolbar");
    } else if (what == "buttons") {
        Compare(Buttons(Arg(words, 2), Arg(words, 3)).size(), Number(Arg(words, 4)), "buttons \"" + words[3] + "\"");
    } else if (what == "attachments") {
        Compare(Item(Arg(words, 2)).Attachments().Items().size(), Number(Arg(words, 3)), "attachments");
    } else if (what == "attachment") {
        bool present = false;
        for (const auto& a : Item(Arg(words, 2)).Attachments().Items()) present |= a->DisplayName() == win32::Widen(Arg(words, 3));
        if (present != YesNo(Arg(words, 4))) throw Exception(present ? "attachment present" : "no such attachment");
    } else {
        throw Exception("unknown expectation: " + what);
    }
    return {};
}

TScenario::TWindow& TScenario::Window(const std::string& name) {
    const auto found = windows_.find(name);
    if (found == windows_.end()) throw Exception("no window " + name);
    return found->second;
}

std::vector<com::ComPtr<TSimButton>> TScenario::Buttons(const std::string& window, const std::string& caption) {
    std::vector<com::ComPtr<TSimButton>> found;
    for (const auto& bar : Window(window).window->CommandBars().Items())
        for (const auto& button : bar->Controls().Items())
            if (button->Caption() == win32::Widen(caption)) found.push_back(button);
    return found;
}

TSimItem& TScenario::Item(const std::string& name) {
    const TWindow& window = Window(name);
    if (!window.inspector) throw Exception("not an inspector: " + name);
    return window.inspector->CurrentItem();
}

size_t TScenario::SinkCount(const std::string& target) {
    if (target == "application") return application_.Sinks().size();
    if (target == "inspectors") return application_.Inspectors().Sinks().size();
    if (target == "explorers") return application_.Explorers().Sinks().size();
    return Window(target).window->Sinks().size();
}

}  // namespace kestova::sim
