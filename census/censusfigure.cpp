#include "census/censusfigure.h"

namespace zd {
namespace {

// Thousands separators in the whole part of a decimal number, after a prefix.
QString grouped(QStringView number, QLatin1StringView prefix = {})
{
    const bool negative = number.startsWith(u'-');
    const QStringView digits = negative ? number.mid(1) : number;
    const qsizetype point = digits.indexOf(u'.');
    const qsizetype whole = point < 0 ? digits.size() : point;
    QString text;
    text.reserve(prefix.size() + number.size() + whole / 3 + 1);
    if (negative)
        text += u'-';
    text += prefix;
    for (qsizetype at = 0; at < whole; ++at) {
        if (at > 0 && (whole - at) % 3 == 0)
            text += u',';
        text += digits[at];
    }
    text += digits.mid(whole);
    return text;
}

// Numbers as the API writes them (nearly every figure) are known without
// converting them: they are short, so none is out of a double's range.
bool isShortPlainDecimal(const QString& text) { return text.size() <= 300 && isPlainDecimal(text); }

bool isPlainNumber(const QString& text)
{
    if (isShortPlainDecimal(text))
        return true;
    bool ok = false;
    text.toDouble(&ok);
    return ok && !text.contains('e', Qt::CaseInsensitive) && !text.startsWith('+');
}

}  // namespace

QString censusDisplayValue(const CensusValue& value, FigureKind kind)
{
    if (!value)
        return {};
    const QString text = value->trimmed();
    if (!isPlainNumber(text))
        return text;  // shown as the API wrote it
    switch (kind) {
    case FigureKind::Count: return grouped(text);
    case FigureKind::Percent: return text + '%';
    case FigureKind::Dollars: return grouped(text, QLatin1StringView("$"));
    case FigureKind::Years: return text + " years";
    case FigureKind::Minutes: return text + " minutes";
    }
    return text;
}

}  // namespace zd
