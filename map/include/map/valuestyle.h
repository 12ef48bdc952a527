#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// How a figure's numbers are written, learnt from the figure's own texts, so
// that a map's legend shows its limits as the tables show the figure:
// "$136,900", "18.7%", "19,756", "46.0 years".
struct ValueStyle {
    QString prefix;     // "$"
    QString suffix;     // "%", " years"
    int decimals = 0;
    bool grouped = false;  // thousands separators
};

// The style of the texts that read as numbers (the most decimals any shows,
// grouped when any is); a plain whole number when none does.
ValueStyle valueStyleOf(const QStringList& texts);

// A value in the style: 136900 as "$136,900".
QString formatValue(double value, const ValueStyle& style);

}  // namespace zd
