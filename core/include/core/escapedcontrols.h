#pragma once

#include <QString>
#include <QStringView>

namespace zd {

// The one rule for control characters in text from outside (a server's answer,
// a page, a label, a file), whichever the door it leaves by.
//
// Escaped are the characters that steer a terminal or a display rather than
// show: C0 controls, DEL and C1 controls (ESC, CSI, OSC: a clipboard write, a
// new window title) as \xNN, and the bidirectional embeddings, overrides and
// isolates (U+202A to U+202E, U+2066 to U+2069), which make text read other than
// it is stored, as \uNNNN.
bool isEscapedControl(char16_t unit);

// The escape one such character is written as: \xNN, or \uNNNN beyond U+00FF.
QString escapeOf(char16_t unit);

// True when the text holds one: the fast test before any copy.
bool hasEscapedControls(QStringView text);

// Every such character escaped: text for one cell, field or line of a message.
// A text without any comes back as it is, shared rather than copied.
QString escapedControls(const QString& text);

// The controls that are a byte of their own in every encoding, C0 and DEL, as
// \xNN: the rule of the result files (CSV, the workbook, the aligned file; JSON
// Lines writes them as JSON's \u escapes). The files keep C1 and bidirectional
// characters as the text's own, in UTF-8 two or three bytes and never a control
// byte, and in the aligned file's Windows-1252 the code page's undefined bytes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the page sent them: a file holds what the
// source said. The terminal and the map escape those as well.
bool isControlByte(char16_t unit);
QString escapedControlBytes(const QString& text);

// The same for text that is already laid out in lines, for a terminal or a
// file: TAB and the line ends (LF, CR LF) stay, every other control is escaped,
// a lone CR among them.
QString escapedControlsKeepingLines(const QString& text);

}  // namespace zd
