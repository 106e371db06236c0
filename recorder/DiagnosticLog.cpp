#include "recorder/DiagnosticLog.h"

#include "platform/AtomicReplace.h"
#include "platform/Files.h"
#include "platform/UserFolders.h"
#include "recorder/DataFolder.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <deque>
#include <mutex>

namespace kestova {

namespace {

std::mutex logLock;  // one writer at a time, so lines never interleave and rotation is whole

std::string TimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::gmtime(&seconds));  // under logLock
    char stamp[40] = {};
    std::snprintf(stamp, sizeof stamp, "%s.%03d", text, static_cast<int>(millis));
    return stamp;
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

// The file to append `bytes` to, the full one moved aside first.
TFile OpenForAppend(const std::string& path, long bytes) {
    TFile file = OpenFile(path, "ab");
    if (!file) return file;
    const long size = FileSize(file.get());
    if (size <= 0 || size <= kLogLimitBytes - bytes) return file;
    file.reset();  // Windows moves no open file
    std::string error;
    ReplaceAtomically(path, OlderLogFileName(path), error);  // failing, the log only grows on
    return OpenFile(path, "ab");
}

void ReadLines(const std::string& path, std::deque<std::string>& lines, std::size_t count) {
    const TFile file = OpenFile(path, "rb");
    if (!file) return;
    std::string line;
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        lines.push_back(std::move(line));
        line.clear();
        if (lines.size() > count) lines.pop_front();
    }
}

}  // namespace

std::string LogFileName() {
    const std::string own = UserFolders()->UserDataFolder();
    return (own.empty() ? DataFolder() : own) + "kestova.log";
}

std::string OlderLogFileName(const std::string& current) {
    return current.substr(0, current.size() - 4) + ".1.log";
}

void LogEvent(const std::string& text) noexcept {
    try {
        const std::lock_guard<std::mutex> guard(logLock);
        const std::string line = TimeStamp() + " " + OneLine(text) + "\n";
        const TFile file = OpenForAppend(LogFileName(), static_cast<long>(line.size()));
        if (file) std::fwrite(line.data(), 1, line.size(), file.get());
    } catch (...) {
        // A log that cannot be written must not stop what it records.
    }
}

std::vector<std::string> LastLogLines(std::size_t count) {
    const std::lock_guard<std::mutex> guard(logLock);
    const std::string current = LogFileName();
    std::deque<std::string> lines;
    ReadLines(OlderLogFileName(current), lines, count);
    ReadLines(current, lines, count);
    return {lines.begin(), lines.end()};
}

}  // namespace kestova
