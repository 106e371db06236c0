#pragma once
// The profile-file rules of the Windows functions, on a plain text file: "[section]" lines,
// "key=value" lines, names compared without letter case, the first match wins, blanks around
// names and values and one pair of quotes around a value dropped on reading. Lines are
// written with CR LF, as Windows writes them.
#include "platform/ProfileFile.h"

#include <mutex>

namespace kestova {

class TProfileFileText : public IProfileFile {
public:
    std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& fallback) override;
    void WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    std::mutex lock_;  // one read-modify-write at a time
};

}  // namespace kestova
