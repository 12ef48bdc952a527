#include "export/jsontext.h"

#include "core/escapedcontrols.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zd {
namespace {

constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53
// The most bytes one UTF-16 unit becomes: "\u001f", or three bytes of UTF-8
// (a surrogate pair's two units become four).
constexpr qsizetype kMostBytesPerUnit = 6;

char* writeUnicodeEscape(char* out, char16_t unit)
{
    static const char kHex[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = 'u';
    for (int shift = 12; shift >= 0; shift -= 4)
        *out++ = kHex[(unit >> shift) & 0xF];
    return out;
}

char* writeAscii(char* out, char16_t unit)
{
    char escape = 0;
    switch (unit) {
    case '"': escape = '"'; break;
    case '\\': escape = '\\'; break;
    case '\b': escape = 'b'; break;
    case '\f': escape = 'f'; break;
    case '\n': escape = 'n'; break;
    case '\r': escape = 'r'; break;
    case '\t': escape = 't'; break;
    default:
        if (isControlByte(unit))
            return writeUnicodeEscape(out, unit);
        *out++ = char(unit);
        return out;
    }
    *out++ = '\\';
    *out++ = escape;
    return out;
}

char* writeUtf8(char* out, char32_t code)
{
    if (code < 0x800) {
        *out++ = char(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
        *out++ = char(0xE0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
    } else {
        *out++ = char(0xF0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3F));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
    }
    *out++ = char(0x80 | (code & 0x3F));
    return out;
}

}  // namespace

qsizetype longestJsonString(qsizetype units) { return 2 + kMostBytesPerUnit * units; }

char* writeJsonString(char* out, QStringView text)
{
    *out++ = '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            out = writeAscii(out, unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out = writeUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            out = writeUnicodeEscape(out, unit);
        } else {
            out = writeUtf8(out, unit);
        }
    }
    *out++ = '"';
    return out;
}

char* writeJsonNumber(char* out, double number)
{
    if (!std::isfinite(number))
        return std::copy_n("null", 4, out);
    if (number == std::trunc(number) && std::fabs(number) <= kLargestExactWhole)
        return std::to_chars(out, out + kLongestJsonNumber, qint64(number)).ptr;
    if (std::fabs(number) >= 1 && std::fabs(number) < kLargestExactWhole) {
        // The shortest digits that read back the same, with the point among them:
        // as fixed notation writes them, with no string made.
        return std::to_chars(out, out + kLongestJsonNumber, number, std::chars_format::fixed).ptr;
    }
    const QByteArray text = QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    return std::copy_n(text.constData(), std::min(text.size(), kLongestJsonNumber), out);
}

// Straight into room made for the longest outcome, then cut to what was
// written: no append per character.
void appendJsonString(QByteArray& json, QStringView text)
{
    const qsizetype start = json.size();
    json.resize(start + longestJsonString(text.size()));
    json.resize(writeJsonString(json.data() + start, text) - json.constData());
}

void appendJsonNumber(QByteArray& json, double number)
{
    char digits[kLongestJsonNumber];
    json.append(digits, writeJsonNumber(digits, number) - digits);
}

}  // namespace zd
