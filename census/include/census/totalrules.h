#pragma once

#include "census/censuslabels.h"
#include "census/censusvariables.h"

#include <QList>
#include <QString>

namespace zd {

// How a figure of several places adds up into one.
enum class TotalWay {
    Sum,    // a count: the places' estimates added
    Share,  // a percent: its summed count over its summed base
    None,   // a median, mean, per-capita figure, or a percent without count or base
};

// Why a figure has no total, one of a few kinds, so that each is said once.
enum class NoTotalReason { NotApplicable, Median, Mean, PerCapita, NoCountOrBase, NotACount, Rate };

struct FigureTotalRule {
    TotalWay way = TotalWay::None;
    QString countId;  // Share: the estimate ID of the percent's count ("DP04_0046E")
    QString baseId;   // Share: the estimate ID of its block's universe row, which it is a percent of ("DP04_0045E")
    NoTotalReason reason = NoTotalReason::NotApplicable;
};

// How each of the figures adds up, read off their labels in the year's list:
// a percent DPnn_nnnnPE has its count in DPnn_nnnnE and its base in its block's
// universe row (the estimate whose label path is the percent's section and the
// level below it: "EMPLOYMENT STATUS!!Population 16 years and over" for
// "Employed"), the unemployment rate the unemployed over the civilian labor
// force; a figure whose label names a rate or percentage is no count to add,
// whatever its ID's form.
QList<FigureTotalRule> figureTotalRules(const QList<CensusVariable>& variables, const CensusLabels& labels);

// The estimate IDs that the Share rules need, each once, in the rules' order.
QStringList shareSupportIds(const QList<FigureTotalRule>& rules);

// "medians", "means and averages", ... as said in the note on figures without a total.
QString noTotalReasonText(NoTotalReason reason);

}  // namespace zd
