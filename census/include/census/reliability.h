#pragma once

#include <QString>

#include <optional>

namespace zd {

// How far an estimate can be trusted, by its coefficient of variation: high
// under 12%, medium from 12% to 40%, low over 40%.
enum class Reliability { High, Medium, Low };

// The coefficient of variation in percent: the standard error (the 90% margin
// over 1.645) over the estimate. Nothing for a zero estimate, whose error
// cannot be set against it, and nothing for a negative margin (an annotation).
std::optional<double> coefficientOfVariation(double estimate, double margin);

Reliability reliabilityOf(double cvPercent);

// "high", "medium", "low".
QString reliabilityWord(Reliability reliability);

// The CV as written beside a figure, one decimal: "7.3%".
QString cvText(double cvPercent);

}  // namespace zd
