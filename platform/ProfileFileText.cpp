#include "platform/ProfileFileText.h"

#include "core/Exception.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <vector>

namespace kestova {

namespace {

using TLines = std::vector<std::string>;

std::string Trim(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

TLines ReadLines(const std::string& path) {
    TLines lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The name of a "[section]" line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
    const size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a "key=value" line, or nothing for other lines. Section lines never get here.
std::optional<std::string> KeyOf(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

struct TSpot {
    std::optional<size_t> SectionLine;  // the section's header
    size_t End = 0;                     // after the section's last non-blank line
    std::optional<size_t> KeyLine;
};

TSpot Find(const TLines& lines, const std::string& section, const std::string& key) {
    TSpot spot;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionOf(lines[i])) {
            if (inside) break;
            inside = !spot.SectionLine && SameName(*name, section);
            if (inside) spot.SectionLine = spot.End = i + 1;
            continue;
        }
        if (!inside) continue;
        if (!Trim(lines[i]).empty()) spot.End = i + 1;
        const auto name = KeyOf(lines[i]);
        if (name && !spot.KeyLine && SameName(*name, key)) spot.KeyLine = i;
    }
    return spot;
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string TProfileFileText::ReadString(const std::string& path, const std::string& section, const std::string& key,
                                         const std::string& fallback) {
    std::lock_guard<std::mutex> guard(lock_);
    const TLines lines = ReadLines(path);
    const TSpot spot = Find(lines, section, key);
    if (!spot.KeyLine) return fallback;
    const std::string& line = lines[*spot.KeyLine];
    return Unquote(Trim(line.substr(line.find('=') + 1)));
}

void TProfileFileText::WriteString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& value) {
    std::lock_guard<std::mutex> guard(lock_);
    TLines lines = ReadLines(path);
    const TSpot spot = Find(lines, section, key);
    const std::string entry = key + "=" + value;
    if (spot.KeyLine)
        lines[*spot.KeyLine] = entry;
    else if (spot.SectionLine)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(spot.End), entry);
    else {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << "\r\n";
    file.flush();
    if (!file) throw Exception("Unable to write to " + path);
}

}  // namespace kestova
