#include "census/reliability.h"

#include <QList>

#include <charconv>
#include <cmath>

namespace zd {
namespace {

constexpr double kStandardErrorsIn90PercentMargin = 1.645;
constexpr double kHighBelow = 12.0;
constexpr double kLowAbove = 40.0;
// CVs from 0.0% to 999.9% are written from texts made once each, shared by
// every figure that has them.
constexpr int kSharedTenths = 10000;

// A CV exactly halfway between two tenths (a quarter, an odd number of times):
// the digits' rounding of such a tie is left to Qt's own.
bool isTie(double cvPercent)
{
    const double quarters = cvPercent * 4;  // exact: a power of two
    return quarters == std::floor(quarters) && std::fmod(quarters, 2.0) == 1.0;
}

QString sharedCvText(int tenths, const char* digits, qsizetype length)
{
    thread_local QList<QString> made(kSharedTenths);
    QString& text = made[tenths];
    if (text.isNull())
        text = QString::fromLatin1(digits, length) + QLatin1Char('%');
    return text;
}

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

QString cvText(double cvPercent)
{
    char digits[32];
    const std::to_chars_result written =
        std::to_chars(digits, digits + sizeof digits, cvPercent, std::chars_format::fixed, 1);
    if (written.ec != std::errc() || isTie(cvPercent) || !(cvPercent >= 0))
        return QString::number(cvPercent, 'f', 1) + QLatin1Char('%');
    const qsizetype length = written.ptr - digits;  // "d+.d"
    int tenths = 0;
    for (qsizetype i = 0; i < length; ++i) {
        if (digits[i] != '.')
            tenths = tenths * 10 + (digits[i] - '0');
        if (tenths >= kSharedTenths)
            return QString::fromLatin1(digits, length) + QLatin1Char('%');
    }
    return sharedCvText(tenths, digits, length);
}

}  // namespace zd
