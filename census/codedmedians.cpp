#include "census/codedmedians.h"

#include <QStringList>

namespace zd {
namespace {

// The year the Bureau raised the top codes of home values and rents.
constexpr int kHigherTopCodesFrom = 2015;

// The label's levels after "Estimate!!", each without a trailing ":".
QStringList levelsOf(const QString& label)
{
    QStringList levels = label.split(QStringLiteral("!!"));
    for (QString& level : levels) {
        if (level.endsWith(u':'))
            level.chop(1);
    }
    return levels;
}

bool isIncomeMedian(const QString& last)
{
    return last.startsWith(QStringLiteral("Median"), Qt::CaseInsensitive)
           && (last.contains(QStringLiteral("income"), Qt::CaseInsensitive)
               || last.contains(QStringLiteral("earnings"), Qt::CaseInsensitive));
}

bool isMedianOf(const QStringList& levels, QLatin1StringView section)
{
    return levels.size() >= 2 && levels.last().startsWith(QStringLiteral("Median"), Qt::CaseInsensitive)
           && (levels.contains(section, Qt::CaseInsensitive)
               || levels.last().contains(section, Qt::CaseInsensitive));
}

bool labelSays(const QString& label, QLatin1StringView words) { return label.contains(words, Qt::CaseInsensitive); }

}  // namespace

MedianCoding medianCodingOf(const QString& label, int year)
{
    const QStringList levels = levelsOf(label);
    if (levels.isEmpty())
        return {};
    const bool raised = year >= kHigherTopCodesFrom;
    if (isIncomeMedian(levels.last()))
        return {QStringLiteral("2499"), QStringLiteral("250001")};
    if (isMedianOf(levels, QLatin1StringView("value")))
        return {QStringLiteral("9999"), raised ? QStringLiteral("2000001") : QStringLiteral("1000001")};
    if (isMedianOf(levels, QLatin1StringView("gross rent")))
        return {QStringLiteral("99"), raised ? QStringLiteral("3501") : QStringLiteral("2001")};
    if (isMedianOf(levels, QLatin1StringView("SELECTED MONTHLY OWNER COSTS (SMOC)"))) {
        if (labelSays(label, QLatin1StringView("without a mortgage")))
            return {QStringLiteral("99"), QStringLiteral("1501")};
        if (labelSays(label, QLatin1StringView("with a mortgage")))
            return {QStringLiteral("199"), QStringLiteral("4001")};
    }
    return {};
}

std::optional<CodedBound> codedBoundOf(QStringView plain, const MedianCoding& coding)
{
    if (!coding.atMostValue.isEmpty() && plain == coding.atMostValue)
        return codedBoundOf(plain);
    if (!coding.atLeastValue.isEmpty() && plain == coding.atLeastValue)
        return codedBoundOf(plain);
    return std::nullopt;
}

std::optional<CodedBound> codedBoundOf(QStringView plain)
{
    bool whole = false;
    const qlonglong value = plain.toLongLong(&whole);
    if (!whole || value <= 0)
        return std::nullopt;
    if (value % 10 == 1)
        return CodedBound{CensusBound::AtLeast, QString::number(value - 1)};
    if (value % 10 == 9)
        return CodedBound{CensusBound::AtMost, QString::number(value + 1)};
    return std::nullopt;
}

}  // namespace zd
