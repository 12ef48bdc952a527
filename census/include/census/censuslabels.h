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
    QString label(const QString& id) const { return m_labels.value(id); }
    qsizetype size() const { return m_labels.size(); }

private:
    QHash<QString, QString> m_labels;
};

// Whether the label ends with the concept: the last levels ("!!" between them,
// case and a trailing ":" ignored) equal the concept's last level, and each of
// the concept's earlier levels ends the label's level above it.
bool labelMatchesConcept(const QString& label, const QString& wanted);

// The set checked against a year's labels: the figures that may be shown, what
// to say about the built-in ones left out, and why a user's set cannot be used.
struct CheckedVariables {
    QList<CensusVariable> variables;
    QStringList leftOut;   // one message for each built-in figure left out
    QString error;         // a user's variable the year does not know
};
CheckedVariables checkVariables(const QList<CensusVariable>& wanted, bool userSet, const CensusLabels& labels,
                                int year);

// The short form of each label for a table column: the label's last level, with
// the levels above it added, one at a time, while two of them would read the
// same ("Owner-occupied units: Median (dollars)"). In the order given.
QStringList shortLabels(const QStringList& labels);

}  // namespace zd
