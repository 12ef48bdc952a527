#pragma once

#include "batch/censusentries.h"
#include "census/figuretotal.h"
#include "census/totalrules.h"
#include "export/resultstable.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace zd {

// The total of a run's found ZCTAs, added up as they are handed out: each ZCTA
// once however often the list repeats it. Counts are summed, percents with a
// count and base recomputed from the sums, the rest left empty and named in a
// note. Only the sums are kept, never the places' rows.
class CensusTotal {
public:
    // The rules go with the figures' variables, one each; `supportIds` are the
    // counts and bases the percents need, asked for beside the figures.
    CensusTotal(const CensusFigures& figures, QList<FigureTotalRule> rules, const QStringList& supportIds,
                bool marginsOfError);

    // Adds the ZCTA's figures, the first time it comes only.
    void add(const QString& zcta);
    // An entry whose figures could not be had: the total lacks it, and says so.
    void leaveOut(const QString& entry);
    qsizetype placeCount() const { return m_added.size(); }

    // The entry "total": its location naming how many places it adds, each
    // figure's total (empty where there is none) and its margin when asked for;
    // its note says why figures have none. Found when it adds a place; failed
    // when every entry it was to add failed, else not found.
    EntryResult result() const;
    // "no total for Median age (medians cannot be added); Total population (no
    // estimate for 01830)"; the ZIP codes that left a total or its margin empty
    // are named, the first ten and how many more. Empty when every figure has one.
    QString note() const;

private:
    // A figure's total with why it is empty, or why its margin is.
    struct FigureTotal {
        Figure figure;
        QString whyNoValue;
        QString whyNoMargin;
    };

    std::optional<Estimate> summed(const QString& id) const;
    QStringList lacking(const QStringList& ids, const QList<QStringList>& lackingOf) const;
    FigureTotal totalOf(qsizetype variable) const;

    CensusFigures m_figures;      // shares the answers' rows with the source's
    QList<FigureTotalRule> m_rules;
    bool m_marginsOfError;
    QStringList m_summedIds;      // the estimates added up: the counts among the figures, then the support
    CensusFigures m_summedView;   // the same answers with the summed estimates for variables
    CensusColumns m_columns;
    QList<CountTotal> m_sums;     // one per summed ID
    QList<QStringList> m_lackingEstimate;  // one per summed ID: the ZCTAs without an estimate, in the order added
    QList<QStringList> m_lackingMargin;    // the same for the margins, when they are asked for
    QSet<QString> m_added;
    QSet<QString> m_leftOut;      // the failed entries' ZCTAs
    QList<QByteArrayView> m_estimates;  // the values of the place being added, kept for the next
    QList<QByteArrayView> m_margins;
};

}  // namespace zd
