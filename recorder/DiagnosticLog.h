#pragma once
// The helpdesk's log: kestova.log in the user's data folder, one line per event, kept under
// 1 MB by moving it to kestova.1.log. It names versions, devices, sizes and error codes, never
// audio, mail text, subjects, addresses or file content. Writing it never fails a caller: a
// line that cannot be written is dropped. Any thread may write.
#include <cstddef>
#include <string>
#include <vector>

namespace kestova {

constexpr long kLogLimitBytes = 1024 * 1024;

// The log file's path: in the user's data folder, else in the data folder.
std::string LogFileName();
// The earlier log beside `current`, which the current one replaces once it would pass the limit.
std::string OlderLogFileName(const std::string& current = LogFileName());

// Appends `text` as one line behind a UTC time stamp; line breaks in it become blanks.
void LogEvent(const std::string& text) noexcept;

// The last `count` lines of both logs, oldest first.
std::vector<std::string> LastLogLines(std::size_t count);

}  // namespace kestova
