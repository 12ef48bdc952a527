#include "batch/censustotal.h"

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
      m_missing(m_summedIds.size(), false)
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
            m_missing[i] = true;
            continue;
        }
        std::optional<double> margin;
        if (marginCode == CensusAnnotation::Controlled)
            margin = 0.0;
        else if (m_marginsOfError)
            margin = censusNumber(m_margins[i]);
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
    if (index < 0 || m_missing[index] || m_sums[index].isEmpty())
        return std::nullopt;
    return m_sums[index].estimate();
}

Figure CensusTotal::figureOf(qsizetype variable) const
{
    const CensusVariable& figureVariable = m_figures.variables[variable];
    const FigureTotalRule& rule = m_rules[variable];
    Figure figure{m_figures.labels.value(variable), QString()};
    figure.variable = figureVariable.id;
    if (m_marginsOfError) {
        figure.marginVariable = marginOfErrorId(figureVariable.id);
        figure.margin = QString();
    }
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
        }
    }
    if (!value.isEmpty())
        figure.value = censusDisplayValue(value, figureVariable.kind);
    if (m_marginsOfError && margin)
        figure.margin = censusDisplayValue(*margin, figureVariable.kind);
    return figure;
}

EntryResult CensusTotal::result() const
{
    EntryResult result;
    result.entry = QStringLiteral("total");
    result.status = EntryStatus::Found;
    result.location = QStringLiteral("total of %1 ZIP Code Tabulation %2")
                          .arg(placeCount())
                          .arg(placeCount() == 1 ? "Area" : "Areas");
    result.figures.reserve(m_figures.variables.size());
    for (qsizetype i = 0; i < m_figures.variables.size(); ++i)
        result.figures.append(figureOf(i));
    result.note = note();
    return result;
}

QString CensusTotal::note() const
{
    QList<NoTotalReason> reasons;
    QHash<int, QStringList> labelsOf;
    QStringList incomplete;
    for (qsizetype i = 0; i < m_figures.variables.size(); ++i) {
        const FigureTotalRule& rule = m_rules[i];
        const QString label = m_figures.labels.value(i);
        if (rule.way == TotalWay::None) {
            if (!reasons.contains(rule.reason))
                reasons.append(rule.reason);
            labelsOf[int(rule.reason)].append(label);
        } else if (!m_added.isEmpty() && figureOf(i).value.isEmpty()) {
            incomplete.append(label);
        }
    }
    QStringList parts;
    for (const NoTotalReason reason : reasons)
        parts.append(labelsOf[int(reason)].join(", ") + " (" + noTotalReasonText(reason) + ")");
    if (!incomplete.isEmpty())
        parts.append(incomplete.join(", ") + " (some places have no estimate to add, or the base is zero)");
    QString note = parts.isEmpty() ? QString() : "no total for " + parts.join("; ");
    if (!m_leftOut.isEmpty()) {
        const QString lacking = QStringLiteral("the total lacks %1 ZIP %2 whose figures could not be had")
                                    .arg(m_leftOut.size())
                                    .arg(m_leftOut.size() == 1 ? "code" : "codes");
        note = note.isEmpty() ? lacking : lacking + "; " + note;
    }
    return note;
}

}  // namespace zd
