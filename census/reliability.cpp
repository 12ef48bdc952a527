#include "census/reliability.h"

#include <cmath>

namespace zd {
namespace {

constexpr double kStandardErrorsIn90PercentMargin = 1.645;
constexpr double kHighBelow = 12.0;
constexpr double kLowAbove = 40.0;

}  // namespace

std::optional<double> coefficientOfVariation(double estimate, double margin)
{
    if (estimate == 0 || margin < 0 || !std::isfinite(estimate) || !std::isfinite(margin))
        return std::nullopt;
    return 100.0 * margin / kStandardErrorsIn90PercentMargin / std::abs(estimate);
}

Reliability reliabilityOf(double cvPercent)
{
    if (cvPercent < kHighBelow)
        return Reliability::High;
    if (cvPercent > kLowAbove)
        return Reliability::Low;
    return Reliability::Medium;
}

QString reliabilityWord(Reliability reliability)
{
    switch (reliability) {
    case Reliability::High: return QStringLiteral("high");
    case Reliability::Medium: return QStringLiteral("medium");
    case Reliability::Low: return QStringLiteral("low");
    }
    return {};
}

QString cvText(double cvPercent) { return QString::number(cvPercent, 'f', 1) + QLatin1Char('%'); }

}  // namespace zd
