#include "export/jsontext.h"

#include <QLocale>

#include <cmath>

namespace zd {
namespace {

constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53

void appendUnicodeEscape(QByteArray& json, char16_t unit)
{
    static const char kHex[] = "0123456789abcdef";
    json.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        json.append(kHex[(unit >> shift) & 0xF]);
}

void appendAsciiEscaped(QByteArray& json, char16_t unit)
{
    switch (unit) {
    case '"': json.append("\\\""); return;
    case '\\': json.append("\\\\"); return;
    case '\b': json.append("\\b"); return;
    case '\f': json.append("\\f"); return;
    case '\n': json.append("\\n"); return;
    case '\r': json.append("\\r"); return;
    case '\t': json.append("\\t"); return;
    default: break;
    }
    if (unit < 0x20)
        appendUnicodeEscape(json, unit);
    else
        json.append(char(unit));
}

void appendUtf8(QByteArray& json, char32_t code)
{
    if (code < 0x800) {
        json.append(char(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
        json.append(char(0xE0 | (code >> 12)));
        json.append(char(0x80 | ((code >> 6) & 0x3F)));
    } else {
        json.append(char(0xF0 | (code >> 18)));
        json.append(char(0x80 | ((code >> 12) & 0x3F)));
        json.append(char(0x80 | ((code >> 6) & 0x3F)));
    }
    json.append(char(0x80 | (code & 0x3F)));
}

}  // namespace

void appendJsonString(QByteArray& json, QStringView text)
{
    json.append('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            appendAsciiEscaped(json, unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(json, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            appendUnicodeEscape(json, unit);
        } else {
            appendUtf8(json, unit);
        }
    }
    json.append('"');
}

void appendJsonNumber(QByteArray& json, double number)
{
    if (!std::isfinite(number))
        json.append("null");
    else if (number == std::trunc(number) && std::fabs(number) <= kLargestExactWhole)
        json.append(QByteArray::number(qint64(number)));
    else
        json.append(QByteArray::number(number, 'g', QLocale::FloatingPointShortest));
}

}  // namespace zd
