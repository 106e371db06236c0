#include "ui/Cursors.h"

namespace kestova {

std::string TScreen::CursorResource(TCursor cursor) const {
    return cursor == crHandPoint ? handPoint_ : std::string();
}

void TScreen::SetCursorResource(TCursor cursor, const std::string& resourceName) {
    if (cursor == crHandPoint) handPoint_ = resourceName;
}

TScreen& Screen() {
    static TScreen screen;
    return screen;
}

}  // namespace kestova
