#pragma once
// Cursor ids and the screen's table of them. A program replaces a system cursor by one of its
// own resources (the hand cursor by "_HANDPOINT"); every host draws the id through this table.
#include <string>

namespace kestova {

enum TCursor { crDefault = 0, crHandPoint = -21 };

class TScreen {
public:
    // Empty: the system's own cursor for that id.
    std::string CursorResource(TCursor cursor) const;
    void SetCursorResource(TCursor cursor, const std::string& resourceName);

private:
    std::string handPoint_;
};

TScreen& Screen();

}  // namespace kestova
