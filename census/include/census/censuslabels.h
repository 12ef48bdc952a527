#pragma once

#include "census/censusvariables.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// The labels of one year's variable list (the API's variables.json): variable ID
// to label, "Estimate!!SEX AND AGE!!Total population".
class CensusLabels {
public:
    // Nothing when the text is not such a list.
    static std::optional<CensusLabels> parse(const QByteArray& json);

    bool contains(const QString& id) const { return m_labels.contains(id); }
    QList<QString> ids() const { return m_labels.keys(); }
    QString label(const QString& id) const { return m_labels.value(id); }
    qsizetype size() const { return m_labels.size(); }

private:
    QHash<QString, QString> m_labels;
};

// Whether the label ends with the concept: the last levels ("!!" between them,
// case and a trailing ":" ignored) equal the concept's last level, and each of
// the concept's earlier levels ends the label's level above it.
bool labelMatchesConcept(const QString& label, const QString& wanted);

// The set checked against a year's labels: the figures that may be shown (a
// built-in figure with the year's ID for it, a user's figure without a kind with
// dollars for a label that ends in "(dollars)"), what to say about the built-in
// ones left out, and why a user's set cannot be used.
struct CheckedVariables {
    QList<CensusVariable> variables;
    QStringList leftOut;   // one message for each built-in figure left out
    QString error;         // a user's variable the year does not know
};
CheckedVariables checkVariables(const QList<CensusVariable>& wanted, bool userSet, const CensusLabels& labels,
                                int year);

// The universe of a figure's block: the row below the section its label path
// starts with ("Occupied housing units" for "HOUSING TENURE!!Occupied housing
// units!!Owner-occupied"), the people or things the block counts and its
// percents are of; empty for a label of one level.
QString figureUniverse(const QString& id, const CensusLabels& labels);
// The universe of each checked figure, in the same order.
QStringList figureUniverses(const QList<CensusVariable>& checked, const CensusLabels& labels);

// The label each checked figure is shown with in the year. A built-in figure has
// its own; a user's is its label in the year's list without the "Estimate" or
// "Percent" start, shortened to its section (the label's first level) and the
// fewest last levels that no other row of that section ends with ("VALUE: Median
// (dollars)", "INCOME AND BENEFITS (...): Total households: Less than $10,000",
// since families have such a row too). Two figures that would read the same
// keep their whole labels. A dollar figure says the dollars of the year (the ACS
// gives the dollars of the vintage's last year): "Median home value (2023 dollars)".
// A percent says what it is a percent of, its block's universe: "Owner-occupied:
// percent of occupied housing units".
QStringList shownLabels(const QList<CensusVariable>& checked, const CensusLabels& labels, int year);

}  // namespace zd
