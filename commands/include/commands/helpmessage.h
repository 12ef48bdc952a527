#pragma once

#include <QString>

namespace zd {

class WindowState;

// The help text: where the figures come from, one empty line, whom to write to.
QString helpMessageText();

// "Help": shows the help text in a plain box titled with the application title.
void PushButton1_Click(WindowState& state);

}  // namespace zd
