// The settings file's text parser: any file content is read without fault, and a value
// written under a plain section and key reads back as written while another key keeps the
// value it had.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>

#include "fuzz/FuzzFile.h"
#include "platform/ProfileFileText.h"

namespace {

bool Blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// What the parser keeps as written: no line breaks, no blanks at either end, no quotes around.
bool Plain(const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    if (!text.empty() && (Blank(text.front()) || Blank(text.back()))) return false;
    const bool quoted =
        text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    return !quoted;
}

bool PlainName(const std::string& name, const char* forbidden) {
    return !name.empty() && Plain(name) && name.find_first_of(forbidden) == std::string::npos;
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower((unsigned char)x) == std::tolower((unsigned char)y); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kestova::fuzz::TFuzzFile file("settings.ini");
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(48);
    const std::string otherKey = input.ConsumeRandomLengthString(24);
    const std::string content = input.ConsumeRemainingBytesAsString();
    file.Write(reinterpret_cast<const uint8_t*>(content.data()), content.size());

    kestova::TProfileFileText profile;
    const std::string otherBefore = profile.ReadString(file.Path(), section, otherKey, "\n");
    profile.WriteString(file.Path(), section, key, value);
    if (!PlainName(section, "[]") || !PlainName(key, "=[") || !Plain(value)) return 0;
    if (profile.ReadString(file.Path(), section, key, "\n") != value) std::abort();
    if (SameName(key, otherKey)) return 0;
    if (profile.ReadString(file.Path(), section, otherKey, "\n") != otherBefore) std::abort();
    return 0;
}
