#include "batch/censustotal.h"

#include "batch/namedentries.h"
#include "census/censusanswer.h"
#include "census/censusfigure.h"

#include <cmath>

namespace zd {
namespace {

CensusFigures withVariables(CensusFigures figures, const QStringList& ids)
{
    figures.variables.clear();
    for (const QString& id : ids) {
        CensusVariable variable;
        variable.id = id;
        figures.variables.append(variable);
    }
    figures.labels = ids;
    return figures;
}

QStringList summedIds(const CensusFigures& figures, const QList<FigureTotalRule>& rules, const QStringList& support)
{
    QStringList ids;
    for (qsizetype i = 0; i < figures.variables.size() && i < rules.size(); ++i) {
        if (rules[i].way == TotalWay::Sum && !ids.contains(figures.variables[i].id))
            ids.append(figures.variables[i].id);
    }
    for (const QString& id : support) {
        if (!ids.contains(id))
            ids.append(id);
    }
    return ids;
}

// How many of the ZIP codes that left a total empty a note names.
constexpr qsizetype kZctasNamed = 10;

QString wholeNumber(double value) { return QString::number(std::round(value), 'f', 0); }
QString oneDecimal(double value) { return QString::number(value, 'f', 1); }

}  // namespace

CensusTotal::CensusTotal(const CensusFigures& figures, QList<FigureTotalRule> rules, const QStringList& supportIds,
                         bool marginsOfError)
    : m_figures(figures),
      m_rules(std::move(rules)),
      m_marginsOfError(marginsOfError),
      m_summedIds(summedIds(m_figures, m_rules, supportIds)),
      m_summedView(withVariables(m_figures, m_summedIds)),
      m_columns(m_summedView, marginsOfError),
      m_sums(m_summedIds.size()),
      m_lackingEstimate(m_summedIds.size()),
      m_lackingMargin(m_summedIds.size())
{
    m_rules.resize(m_figures.variables.size());
}

void CensusTotal::add(const QString& zcta)
{
    if (!m_figures.holds(zcta) || m_added.contains(zcta))
        return;
    m_added.insert(zcta);
    m_columns.viewValuesOf(zcta, m_estimates, m_margins);
    for (qsizetype i = 0; i < m_summedIds.size(); ++i) {
        // A median in an open-ended interval is a bound, never added; a controlled estimate's margin is 0.
        const CensusAnnotation marginCode = m_marginsOfError ? censusAnnotationOf(m_margins[i]) : CensusAnnotation::None;
        const std::optional<double> estimate =
            marginCode == CensusAnnotation::OpenEnded ? std::nullopt : censusNumber(m_estimates[i]);
        if (!estimate) {
            m_lackingEstimate[i].append(zcta);
            continue;
        }
        std::optional<double> margin;
        if (marginCode == CensusAnnotation::Controlled)
            margin = 0.0;
        else if (m_marginsOfError)
            margin = censusNumber(m_margins[i]);
        if (m_marginsOfError && !margin)
            m_lackingMargin[i].append(zcta);
        m_sums[i].add({*estimate, margin});
    }
}

void CensusTotal::leaveOut(const QString& entry)
{
    if (const std::optional<QString> zcta = zctaOfEntry(entry))
        m_leftOut.insert(*zcta);
}

std::optional<Estimate> CensusTotal::summed(const QString& id) const
{
    const qsizetype index = m_summedIds.indexOf(id);
    if (index < 0 || !m_lackingEstimate[index].isEmpty() || m_sums[index].isEmpty())
        return std::nullopt;
    return m_sums[index].estimate();
}

// The ZCTAs that lacked any of the estimates (or margins), each once, in the order added.
QStringList CensusTotal::lacking(const QStringList& ids, const QList<QStringList>& lackingOf) const
{
    QStringList zctas;
    for (const QString& id : ids) {
        const qsizetype index = m_summedIds.indexOf(id);
        if (index < 0)
            continue;
        for (const QString& zcta : lackingOf[index]) {
            if (!zctas.contains(zcta))
                zctas.append(zcta);
        }
    }
    return zctas;
}

CensusTotal::FigureTotal CensusTotal::totalOf(qsizetype variable) const
{
    const CensusVariable& figureVariable = m_figures.variables[variable];
    const FigureTotalRule& rule = m_rules[variable];
    FigureTotal total{Figure{m_figures.labels.value(variable), QString()}, {}, {}};
    Figure& figure = total.figure;
    figure.variable = figureVariable.id;
    figure.unit = figureKindName(figureVariable.kind);
    figure.universe = m_figures.universes.value(variable);
    if (m_marginsOfError) {
        figure.marginVariable = marginOfErrorId(figureVariable.id);
        figure.margin = QString();
    }
    const QStringList ids = rule.way == TotalWay::Sum ? QStringList{figureVariable.id}
                                                      : QStringList{rule.countId, rule.baseId};
    QString value;
    std::optional<QString> margin;
    if (rule.way == TotalWay::Sum) {
        if (const std::optional<Estimate> sum = summed(figureVariable.id)) {
            value = wholeNumber(sum->value);
            if (sum->margin)
                margin = wholeNumber(*sum->margin);
        }
    } else if (rule.way == TotalWay::Share) {
        const std::optional<Estimate> count = summed(rule.countId);
        const std::optional<Estimate> base = summed(rule.baseId);
        const std::optional<Proportion> share = count && base ? proportionOf(*count, *base) : std::nullopt;
        if (share) {
            value = oneDecimal(100 * share->value);
            if (share->margin)
                margin = oneDecimal(100 * *share->margin);
        } else if (count && base) {
            total.whyNoValue = QStringLiteral("its base adds up to zero");
        }
    }
    if (rule.way == TotalWay::None || m_added.isEmpty())
        return total;
    if (value.isEmpty() && total.whyNoValue.isEmpty()) {
        const QStringList zctas = lacking(ids, m_lackingEstimate);
        total.whyNoValue = "no estimate for " + firstEntriesAndMore(zctas, zctas.size(), kZctasNamed);
    }
    if (!value.isEmpty())
        figure.value = censusDisplayValue(value, figureVariable.kind);
    if (m_marginsOfError && margin)
        figure.margin = censusDisplayValue(*margin, figureVariable.kind);
    if (m_marginsOfError && !value.isEmpty() && !margin) {
        const QStringList zctas = lacking(ids, m_lackingMargin);
        total.whyNoMargin = firstEntriesAndMore(zctas, zctas.size(), kZctasNamed) + " gave none";
    }
    return total;
}

EntryResult CensusTotal::result() const
{
    EntryResult result;
    result.entry = QStringLiteral("total");
    if (!m_added.isEmpty())
        result.status = EntryStatus::Found;
    else
        result.status = m_leftOut.isEmpty() ? EntryStatus::NotFound : EntryStatus::Failed;
    result.location = QStringLiteral("total of %1 ZIP Code Tabulation %2")
                          .arg(placeCount())
                          .arg(placeCount() == 1 ? "Area" : "Areas");
    result.figures.reserve(m_figures.variables.size());
    for (qsizetype i = 0; i < m_figures.variables.size(); ++i)
        result.figures.append(totalOf(i).figure);
    result.note = note();
    return result;
}

namespace {

// Adds the label to the group of its reason, the groups in the order first met.
void addToGroup(QList<QPair<QString, QStringList>>& groups, const QString& reason, const QString& label)
{
    for (auto& [text, labels] : groups) {
        if (text == reason) {
            labels.append(label);
            return;
        }
    }
    groups.append({reason, {label}});
}

QString groupsText(const QList<QPair<QString, QStringList>>& groups)
{
    QStringList parts;
    for (const auto& [reason, labels] : groups)
        parts.append(labels.join(", ") + " (" + reason + ")");
    return parts.join("; ");
}

}  // namespace

QString CensusTotal::note() const
{
    QList<QPair<QString, QStringList>> noTotal;
    QList<QPair<QString, QStringList>> noMargin;
    for (qsizetype i = 0; i < m_figures.variables.size(); ++i) {
        const QString label = m_figures.labels.value(i);
        if (m_rules[i].way == TotalWay::None) {
            addToGroup(noTotal, noTotalReasonText(m_rules[i].reason), label);
            continue;
        }
        const FigureTotal total = totalOf(i);
        if (!total.whyNoValue.isEmpty())
            addToGroup(noTotal, total.whyNoValue, label);
        if (!total.whyNoMargin.isEmpty())
            addToGroup(noMargin, total.whyNoMargin, label);
    }
    QStringList parts;
    if (!m_leftOut.isEmpty())
        parts.append(QStringLiteral("the total lacks %1 ZIP %2 whose figures could not be had")
                         .arg(m_leftOut.size())
                         .arg(m_leftOut.size() == 1 ? "code" : "codes"));
    if (!noTotal.isEmpty())
        parts.append("no total for " + groupsText(noTotal));
    if (!noMargin.isEmpty())
        parts.append("no margin of error for " + groupsText(noMargin));
    return parts.join("; ");
}

}  // namespace zd
