#include "export/figurenumber.h"

#include <QRegularExpression>

namespace zd {
namespace {

// sign, "$", sign, whole part (grouped by threes or plain), fraction, "%", unit.
const QRegularExpression& figurePattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(?<sign1>-)?(?<currency>\\$)?(?<sign2>-)?"
        "(?<whole>[1-9]\\d{0,2}(?:,\\d{3})+|[1-9]\\d*|0)"
        "(?:\\.(?<fraction>\\d+))?"
        "(?:\\s?(?<percent>%))?"
        "(?:\\s+(?<unit>[A-Za-z][A-Za-z.]*(?: [A-Za-z][A-Za-z.]*)*))?$"));
    return pattern;
}

// A word that scales the number ("1.2 million") is no unit: the number shown is not the figure.
bool isMultiplier(const QString& unit)
{
    static const QStringList words{QStringLiteral("hundred"), QStringLiteral("thousand"),
                                   QStringLiteral("million"), QStringLiteral("billion"),
                                   QStringLiteral("trillion")};
    return words.contains(unit.section(QLatin1Char(' '), 0, 0), Qt::CaseInsensitive);
}

}  // namespace

std::optional<FigureNumber> readFigureNumber(const QString& text)
{
    const QRegularExpressionMatch match = figurePattern().match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool negative = match.hasCaptured(u"sign1") || match.hasCaptured(u"sign2");
    if (match.hasCaptured(u"sign1") && match.hasCaptured(u"sign2"))
        return std::nullopt;
    FigureNumber number;
    const QString whole = match.captured(u"whole");
    const QString fraction = match.captured(u"fraction");
    number.grouped = whole.contains(QLatin1Char(','));
    number.decimals = int(fraction.size());
    number.percent = match.hasCaptured(u"percent");
    number.currency = match.hasCaptured(u"currency");
    number.unit = match.captured(u"unit");
    if (isMultiplier(number.unit))
        return std::nullopt;
    QString digits = whole;
    digits.remove(QLatin1Char(','));
    if (!fraction.isEmpty())
        digits += QLatin1Char('.') + fraction;
    bool ok = false;
    number.value = digits.toDouble(&ok);  // the C locale's reading, whatever the user's
    if (!ok)
        return std::nullopt;
    if (negative)
        number.value = -number.value;
    return number;
}

}  // namespace zd
