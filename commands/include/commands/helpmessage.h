#pragma once

#include <QString>

namespace zd {

class CensusSession;
class WindowState;

// The help text: where the figures come from, one empty line, whom to write to.
QString helpMessageText();
// With the census source, the same text naming the Census Data API, followed by
// one empty line and the Census Bureau's notice.
QString helpMessageText(const CensusSession* census);

// "Help": shows the help text in a plain box titled with the application title.
void PushButton1_Click(WindowState& state, const CensusSession* census = nullptr);

}  // namespace zd
