#pragma once

#include <QString>

namespace zd {

// A server's text made safe for a terminal: control characters (C0, DEL, C1)
// written as \xNN, so that an answer cannot move the cursor, clear the screen
// or retitle the terminal.
QString escapedControls(const QString& text);

}  // namespace zd
