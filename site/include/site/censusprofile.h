#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// One year's ACS 5-year data profile as the sample site imitates it: the real
// variable list of that year (data/census-profiles, built in), and made-up
// figures for any ZCTA that hang together the way real ones do. Counts come
// down from a ZCTA's population, households and housing units: a row is never
// larger than the row its label sits under, groups that split their row
// (male and female, the age brackets, the income brackets, the races, ...) add
// up to it exactly, the summary age rows are the sums of their brackets, and a
// percent is its count's share of the table's total. Medians, means, rates and
// sizes lie in plausible ranges; a margin of error is smaller than its
// estimate. The same ZCTA and variable give the same figure in every run.
class CensusProfile {
public:
    // The years whose lists are built in; nothing for another.
    static QList<int> years();
    static const CensusProfile* ofYear(int year);

    // The label of an estimate, percent or margin of error (E, PE, M, PM) the
    // year has; nothing for another.
    std::optional<QString> label(const QString& variable) const;
    // Every estimate and percent, in the list's order.
    const QStringList& variables() const { return m_variables; }

    // The figure of a variable in a ZCTA, as the API writes it: a number, or an
    // annotation value ("-888888888" where the row has no such figure).
    // `memo` keeps what one ZCTA's figures are worked out from; give the same
    // one for all the variables of one ZCTA, and a fresh one for another ZCTA.
    using Memo = QHash<int, double>;
    QString value(const QString& zcta, const QString& variable, Memo& memo) const;

    struct Row;
    struct Share;

private:
    explicit CensusProfile(const QByteArray& list);

    double figure(const QString& zcta, int row, Memo& memo) const;
    double count(const QString& zcta, int row, Memo& memo) const;
    double childCount(const QString& zcta, int row, Memo& memo) const;
    void splitAmongGroup(const QString& zcta, int parent, const QHash<QString, Share>& group,
                         Memo& memo) const;
    std::optional<double> ageSummary(const QString& zcta, const Row& row, Memo& memo) const;
    double sibling(const QString& zcta, const Row& row, const QString& last, Memo& memo) const;
    double universe(const QString& zcta, const Row& row, Memo& memo) const;
    int rootOf(int row) const;

    QStringList m_variables;
    QHash<QString, QString> m_labels;   // ID -> label (E and PE)
    QHash<QString, int> m_rowOfId;      // ID -> row (E and PE alike)
    QList<Row> m_rows;                  // one per distinct label path
    QHash<QString, int> m_rowOfPath;
};

}  // namespace zd
