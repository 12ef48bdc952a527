#pragma once

#include <QString>

namespace zd {

// The rule for text from outside in an XML document (a map's SVG).

// Only the characters XML 1.0 can hold: the C0 controls other than TAB, LF and
// CR, U+FFFE, U+FFFF and a surrogate without its pair are left out. A text
// without them comes back as it is.
QString xmlCharacters(const QString& text);

// Those characters as the content of an element or an attribute's value:
// & < > " ' written as entities, so that no text ends an element or opens one.
QString xmlEscaped(const QString& text);

}  // namespace zd
