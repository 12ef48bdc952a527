#pragma once

#include "census/censuslabels.h"
#include "census/censusvariables.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

// The levels of a variable's label: split at "!!", each trimmed and without a
// trailing ":". "Estimate!!SEX AND AGE!!Total population:" -> three levels.
QStringList labelLevels(const QString& label);
// The same without the first level when it only says estimate or percent
// ("Estimate", "Percent Estimate", "Percent"), as the years word it.
QStringList labelPathLevels(const QString& label);

// The data-profile estimates and percents of one year's list, grouped by table
// and form, for finding built-in figures by their label paths.
class LabelPathIndex {
public:
    explicit LabelPathIndex(const CensusLabels& labels);

    // The ID whose label is the path (any of its wordings, tried in order; case
    // ignored, "*" any text within a level); of several, the lowest. Empty when
    // the year has no such row.
    QString find(const LabelPath& path) const;

private:
    struct Row {
        QString id;
        QStringList levels;  // in lower case
    };
    QHash<QString, QList<Row>> m_rows;  // "DP05 E" / "DP05 PE" -> its rows, by ID
};

}  // namespace zd
