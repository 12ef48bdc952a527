#include "export/figurenumber.h"

#include <QRegularExpression>

namespace zd {
namespace {

// The pattern's groups, by number: looking them up by name costs more than the match.
enum Group : int { kSignBefore = 1, kCurrency, kSignAfter, kWhole, kFraction, kPercent, kUnit };

// sign, "$", sign, whole part (grouped by threes or plain), fraction, "%", unit.
const QRegularExpression& figurePattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(-)?(\\$)?(-)?"
        "([1-9]\\d{0,2}(?:,\\d{3})+|[1-9]\\d*|0)"
        "(?:\\.(\\d+))?"
        "(?:\\s?(%))?"
        "(?:\\s+([A-Za-z][A-Za-z.]*(?: [A-Za-z][A-Za-z.]*)*))?$"));
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
    const QRegularExpressionMatch match = figurePattern().match(QStringView(text).trimmed());
    if (!match.hasMatch() || (match.hasCaptured(kSignBefore) && match.hasCaptured(kSignAfter)))
        return std::nullopt;
    FigureNumber number;
    const QStringView whole = match.capturedView(kWhole);
    const QStringView fraction = match.capturedView(kFraction);
    number.grouped = whole.contains(QLatin1Char(','));
    number.decimals = int(fraction.size());
    number.percent = match.hasCaptured(kPercent);
    number.currency = match.hasCaptured(kCurrency);
    number.unit = match.captured(kUnit);
    if (isMultiplier(number.unit))
        return std::nullopt;
    QString digits = whole.toString();
    if (number.grouped)
        digits.remove(QLatin1Char(','));
    if (!fraction.isEmpty())
        digits.append(QLatin1Char('.')).append(fraction);
    bool ok = false;
    number.value = digits.toDouble(&ok);  // the C locale's reading, whatever the user's
    if (!ok)
        return std::nullopt;
    // Read from the decimal text, not divided: 80.6 / 100 is 0.8059999999999999.
    number.stored = number.percent ? (digits + QStringLiteral("e-2")).toDouble() : number.value;
    if (match.hasCaptured(kSignBefore) || match.hasCaptured(kSignAfter)) {
        number.value = -number.value;
        number.stored = -number.stored;
    }
    return number;
}

}  // namespace zd
