#include "census/totalrules.h"

#include "census/labelpath.h"

#include <QHash>
#include <QRegularExpression>

namespace zd {
namespace {

QStringList lowered(QStringList levels)
{
    for (QString& level : levels)
        level = level.toLower();
    return levels;
}

QStringList pathOf(const CensusLabels& labels, const QString& id)
{
    return lowered(labelPathLevels(labels.label(id)));
}

bool isEstimateOfTable(const QString& id, const QString& table)
{
    static const QRegularExpression estimate(QStringLiteral("^DP\\d\\d_\\d{4}E$"));
    return id.startsWith(table) && estimate.match(id).hasMatch();
}

// The reason a figure's own label gives against adding it up, if any.
NoTotalReason reasonInLabel(const QString& lastLevel)
{
    if (lastLevel.contains(QLatin1StringView("median")))
        return NoTotalReason::Median;
    if (lastLevel.contains(QLatin1StringView("per capita")))
        return NoTotalReason::PerCapita;
    static const QRegularExpression mean(QStringLiteral("\\b(mean|average)\\b"));
    if (mean.match(lastLevel).hasMatch())
        return NoTotalReason::Mean;
    return NoTotalReason::NotApplicable;
}

// A rate or percentage has no count behind it, whatever its E form holds: a
// level that names a rate ("Unemployment Rate", "Rental vacancy rate") or
// starts with a percent ("PERCENTAGE OF FAMILIES AND PEOPLE ...", 2017's
// "Percent high school graduate or higher"). A count of units by a percent of
// their income ("... AS A PERCENTAGE OF HOUSEHOLD INCOME!!Less than 20.0
// percent") is still a count.
bool namesARate(const QStringList& levels)
{
    static const QRegularExpression rate(QStringLiteral("\\brate\\b|^percent"));
    for (const QString& level : levels) {
        if (rate.match(level).hasMatch())
            return true;
    }
    return false;
}

// The lowest estimate ID of the table whose label path is `path`; empty when none.
QString estimateWithPath(const CensusLabels& labels, const QString& table, const QStringList& path)
{
    QString found;
    for (const QString& id : labels.ids()) {
        if (isEstimateOfTable(id, table) && (found.isEmpty() || id < found) && pathOf(labels, id) == path)
            found = id;
    }
    return found;
}

// The rates the profile gives as a percent of their block's universe whose
// count is a row of its own elsewhere in the section: the unemployment rate is
// the unemployed ("...!!Civilian labor force!!Unemployed") over the civilian
// labor force.
const QHash<QString, QString>& countsOfRates()
{
    static const QHash<QString, QString> counts = {{QStringLiteral("unemployment rate"), QStringLiteral("unemployed")}};
    return counts;
}

// The lowest estimate ID of the table in the section whose path ends with `tail`.
QString estimateEndingWith(const CensusLabels& labels, const QString& table, const QString& section,
                           const QStringList& tail)
{
    QString found;
    for (const QString& id : labels.ids()) {
        if (!isEstimateOfTable(id, table) || (!found.isEmpty() && id > found))
            continue;
        const QStringList path = pathOf(labels, id);
        if (path.size() > tail.size() && path.first() == section
            && path.mid(path.size() - tail.size()) == tail)
            found = id;
    }
    return found;
}

// The count of a percent: its own E form when that holds the same row as a
// count, the rate's count row for a known rate; empty when there is none.
QString countOfPercent(const CensusVariable& variable, const CensusLabels& labels, const QStringList& path)
{
    if (const auto rate = countsOfRates().constFind(path.last()); rate != countsOfRates().constEnd())
        return estimateEndingWith(labels, variable.id.left(4), path.first(), {path[1], *rate});
    const QString countId = variable.id.chopped(2) + 'E';
    if (!labels.contains(countId) || namesARate(path) || pathOf(labels, countId) != path)
        return {};
    return countId;
}

// A percent of the data profile is of its block's universe, the row its label
// path starts with below the section ("Employed" of "Population 16 years and
// over", not of "In labor force" it hangs under): its total is the summed count
// over that row summed.
FigureTotalRule shareRule(const CensusVariable& variable, const CensusLabels& labels)
{
    FigureTotalRule none{TotalWay::None, {}, {}, NoTotalReason::NoCountOrBase};
    if (!variable.id.endsWith(QLatin1StringView("PE")))
        return none;
    const QStringList path = pathOf(labels, variable.id);
    if (path.size() < 3)
        return none;  // the universe itself, or no block
    const QString countId = countOfPercent(variable, labels, path);
    const QString baseId = estimateWithPath(labels, variable.id.left(4), path.mid(0, 2));
    if (countId.isEmpty() || baseId.isEmpty() || countId == baseId)
        return none;
    return {TotalWay::Share, countId, baseId, NoTotalReason::NotApplicable};
}

FigureTotalRule ruleOf(const CensusVariable& variable, const CensusLabels& labels)
{
    const QStringList path = pathOf(labels, variable.id);
    const NoTotalReason inLabel = reasonInLabel(path.isEmpty() ? QString() : path.last());
    if (inLabel != NoTotalReason::NotApplicable)
        return {TotalWay::None, {}, {}, inLabel};
    if (variable.kind == FigureKind::Percent)
        return shareRule(variable, labels);
    if (variable.kind != FigureKind::Count)
        return {TotalWay::None, {}, {}, NoTotalReason::NotACount};
    if (namesARate(path))  // "Unemployment Rate" read as a count is still a rate
        return {TotalWay::None, {}, {}, NoTotalReason::Rate};
    return {TotalWay::Sum, {}, {}, NoTotalReason::NotApplicable};
}

}  // namespace

QList<FigureTotalRule> figureTotalRules(const QList<CensusVariable>& variables, const CensusLabels& labels)
{
    QList<FigureTotalRule> rules;
    rules.reserve(variables.size());
    for (const CensusVariable& variable : variables)
        rules.append(ruleOf(variable, labels));
    return rules;
}

QStringList shareSupportIds(const QList<FigureTotalRule>& rules)
{
    QStringList ids;
    for (const FigureTotalRule& rule : rules) {
        if (rule.way != TotalWay::Share)
            continue;
        for (const QString& id : {rule.countId, rule.baseId}) {
            if (!ids.contains(id))
                ids.append(id);
        }
    }
    return ids;
}

QString noTotalReasonText(NoTotalReason reason)
{
    switch (reason) {
    case NoTotalReason::Median: return QStringLiteral("medians cannot be added");
    case NoTotalReason::Mean: return QStringLiteral("means and averages cannot be added");
    case NoTotalReason::PerCapita: return QStringLiteral("per-capita figures cannot be added");
    case NoTotalReason::NoCountOrBase:
        return QStringLiteral("the data profile has no count and base to work these percents out from");
    case NoTotalReason::NotACount: return QStringLiteral("figures that are not counts cannot be added");
    case NoTotalReason::Rate: return QStringLiteral("rates and percentages cannot be added");
    case NoTotalReason::NotApplicable: break;
    }
    return {};
}

}  // namespace zd
