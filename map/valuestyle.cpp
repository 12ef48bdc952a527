#include "map/valuestyle.h"

#include "export/figurenumber.h"

#include <QLocale>

#include <algorithm>

namespace zd {
namespace {

// The unit a figure's text shows after its number, as the legend writes it.
QString suffixOf(const FigureNumber& number)
{
    if (number.percent)
        return QStringLiteral("%");
    return number.unit.isEmpty() ? QString() : QLatin1Char(' ') + number.unit;
}

}  // namespace

ValueStyle valueStyleOf(const QStringList& texts)
{
    ValueStyle style;
    bool first = true;
    for (const QString& text : texts) {
        const std::optional<FigureNumber> number = readFigureNumber(text);
        if (!number)
            continue;
        if (first) {
            style.prefix = number->currency ? QStringLiteral("$") : QString();
            style.suffix = suffixOf(*number);
            first = false;
        }
        style.decimals = std::max(style.decimals, number->decimals);
        style.grouped = style.grouped || number->grouped;
    }
    return style;
}

QString formatValue(double value, const ValueStyle& style)
{
    QLocale english(QLocale::English, QLocale::UnitedStates);
    if (!style.grouped)
        english.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString number = english.toString(std::abs(value), 'f', style.decimals);
    return (value < 0 ? QStringLiteral("-") : QString()) + style.prefix + number + style.suffix;
}

}  // namespace zd
