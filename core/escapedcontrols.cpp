#include "core/escapedcontrols.h"

#include <algorithm>

namespace zd {
namespace {

bool isBidiControl(char16_t unit)
{
    return (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}


bool keptInLines(QStringView text, qsizetype at)
{
    const char16_t unit = text[at].unicode();
    return unit == '\t' || unit == '\n' || (unit == '\r' && at + 1 < text.size() && text[at + 1] == u'\n');
}

template <typename Escaped, typename Kept>
QString escapedExcept(const QString& text, Escaped&& escaped, Kept&& kept)
{
    if (std::none_of(text.begin(), text.end(), [&](QChar c) { return escaped(c.unicode()); }))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        if (escaped(unit) && !kept(at))
            shown += escapeOf(unit);
        else
            shown += QChar(unit);
    }
    return shown;
}

}  // namespace

QString escapeOf(char16_t unit)
{
    if (unit <= 0xFF)
        return QStringLiteral("\\x%1").arg(unsigned(unit), 2, 16, QChar('0'));
    return QStringLiteral("\\u%1").arg(unsigned(unit), 4, 16, QChar('0'));
}

bool isEscapedControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || isBidiControl(unit);
}

bool hasEscapedControls(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isEscapedControl(c.unicode()); });
}

QString escapedControls(const QString& text)
{
    return escapedExcept(text, isEscapedControl, [](qsizetype) { return false; });
}

bool isControlByte(char16_t unit) { return unit < 0x20 || unit == 0x7F; }

QString escapedControlBytes(const QString& text)
{
    return escapedExcept(text, isControlByte, [](qsizetype) { return false; });
}

QString escapedControlsKeepingLines(const QString& text)
{
    return escapedExcept(text, isEscapedControl, [&](qsizetype at) { return keptInLines(text, at); });
}

}  // namespace zd
