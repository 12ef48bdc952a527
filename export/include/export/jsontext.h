#pragma once

#include <QByteArray>
#include <QStringView>

namespace zd {

// JSON written directly as text, byte for byte as Qt's compact JSON writer
// writes it (tests hold the two side by side), at a fraction of its cost; only
// DEL, which Qt leaves raw, is escaped as well (below).

// A string in quotes, in UTF-8: quote, backslash and control characters
// escaped (\b \f \n \r \t, else \u00xx), a lone surrogate as \udxxx. So
// is DEL, as \u007f: the line never carries a raw control byte, and a JSON
// reader reads back the very text.
void appendJsonString(QByteArray& json, QStringView text);

// A number: a whole one up to 2^53 as an integer ("404", "1000000"), any other
// in the shortest form that reads back the same ("0.806", "1e+16"); null when
// not finite.
void appendJsonNumber(QByteArray& json, double number);

// The same written through a pointer, for a caller that makes room once for a
// whole piece: each returns the end of what it wrote. A string takes at most
// longestJsonString(its UTF-16 units) bytes, a number kLongestJsonNumber.
constexpr qsizetype kLongestJsonNumber = 32;
qsizetype longestJsonString(qsizetype units);
char* writeJsonString(char* out, QStringView text);
char* writeJsonNumber(char* out, double number);

}  // namespace zd
