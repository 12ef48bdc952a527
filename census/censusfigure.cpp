#include "census/censusfigure.h"

namespace zd {
namespace {

// Thousands separators in the whole part of a plain decimal number.
QString grouped(const QString& number)
{
    const bool negative = number.startsWith('-');
    const QString digits = negative ? number.mid(1) : number;
    const qsizetype point = digits.indexOf('.');
    QString whole = point < 0 ? digits : digits.left(point);
    const QString fraction = point < 0 ? QString() : digits.mid(point);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, ',');
    return (negative ? "-" : "") + whole + fraction;
}

bool isPlainNumber(const QString& text)
{
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
    case FigureKind::Dollars: return text.startsWith('-') ? "-$" + grouped(text.mid(1)) : '$' + grouped(text);
    case FigureKind::Years: return text + " years";
    case FigureKind::Minutes: return text + " minutes";
    }
    return text;
}

}  // namespace zd
