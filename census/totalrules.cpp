#include "census/totalrules.h"

#include "census/labelpath.h"

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

// A rate or percentage has no count behind it, whatever its E form holds.
bool namesARate(const QStringList& levels)
{
    static const QRegularExpression rate(QStringLiteral("\\b(rate|percent|percentage)\\b"));
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

FigureTotalRule shareRule(const CensusVariable& variable, const CensusLabels& labels)
{
    FigureTotalRule none{TotalWay::None, {}, {}, NoTotalReason::NoCountOrBase};
    if (!variable.id.endsWith(QLatin1StringView("PE")))
        return none;
    const QString countId = variable.id.chopped(2) + 'E';
    if (!labels.contains(countId))
        return none;
    const QStringList countPath = pathOf(labels, countId);
    if (countPath.size() < 2 || namesARate(countPath) || countPath != pathOf(labels, variable.id))
        return none;
    const QString baseId = estimateWithPath(labels, variable.id.left(4), countPath.mid(0, countPath.size() - 1));
    if (baseId.isEmpty())
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
    if (variable.kind == FigureKind::Count && !namesARate(path))
        return {TotalWay::Sum, {}, {}, NoTotalReason::NotApplicable};
    return {TotalWay::None, {}, {}, NoTotalReason::NotACount};
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
        return QStringLiteral("rates and percents whose count and base the data profile lacks cannot be recomputed");
    case NoTotalReason::NotACount: return QStringLiteral("figures that are not counts cannot be added");
    case NoTotalReason::NotApplicable: break;
    }
    return {};
}

}  // namespace zd
