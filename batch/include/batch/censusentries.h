#pragma once

#include "census/censusanswer.h"
#include "census/censusfigure.h"
#include "census/censusvariables.h"
#include "core/packedstrings.h"
#include "export/resultstable.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// The figures the API gave for a run's ZCTAs, ready to become entries' results.
struct CensusFigures {
    int year = 0;
    QList<CensusVariable> variables;                  // as checked against the year's list
    QStringList labels;                               // their short labels, in the same order
    QStringList universes;                            // their blocks' universes, in the same order
    QList<CensusAnswer> answers;                      // the tables, rows of the ZCTAs asked for only
    QHash<QString, QList<qsizetype>> answersOf;       // ZCTA -> the answers that hold its row
    QHash<QString, QString> failedZctas;              // ZCTA -> why its figures could not be had

    bool holds(const QString& zcta) const { return answersOf.contains(zcta); }
    // Keeps an answer's table, each of its ZCTAs' rows found through answersOf.
    void keep(CensusAnswer&& answer);
};

// Where each variable's estimate and margin stand in each answer of the
// figures, worked out once for a run's entries rather than once an entry.
class CensusColumns {
public:
    CensusColumns(const CensusFigures& figures, bool marginsOfError);

    // The ZCTA's figures (and margins when asked for) as the Bureau means them,
    // one a variable in the figures' order; no estimate for an annotation or a
    // variable no answer holds.
    QList<CensusReading> readingsOf(const QString& zcta) const;
    // The same values as they stand in the answers' rows, without a copy (an
    // empty view for none), into lists kept by the caller from one ZCTA to the
    // next; valid while the figures are.
    void viewValuesOf(const QString& zcta, QList<QByteArrayView>& estimates, QList<QByteArrayView>& margins) const;
    // The ID of the margin of the figures' i-th variable, one text for every entry.
    const QString& marginId(qsizetype variable) const { return m_marginIds[variable]; }
    const CensusFigures& figures() const { return m_figures; }
    bool marginsOfError() const { return m_marginsOfError; }

private:
    struct Positions {
        QList<qsizetype> estimate;  // per variable: its column, -1 when the answer lacks it
        QList<qsizetype> margin;
    };
    const CensusFigures& m_figures;
    bool m_marginsOfError;
    QStringList m_marginIds;
    QList<Positions> m_positions;  // per answer
};

// The ZCTA an entry asks for: the entry trimmed of spaces when that is five digits.
std::optional<QString> zctaOfEntry(const QString& entry);
// The distinct ZCTAs of the entries, in input order.
QStringList zctasOfEntries(const PackedStrings& entries);
// One entry's results from the figures: the ZCTA's place ("City, ST" from the
// place table, else the API's name, "ZCTA5 03053") and its figures, each with its
// variable's ID (and its margin of error and the margin's ID when asked for).
// An entry whose ZCTA's answer could not be had fails.
EntryResult censusEntryResult(const QString& entry, const CensusFigures& figures, bool marginsOfError);
// The same with the columns of the figures worked out already (a run's many
// entries): with the margins when the columns were worked out with them.
EntryResult censusEntryResult(const QString& entry, const CensusColumns& columns);
// A reading's bound as a figure carries it.
FigureBound figureBoundOf(CensusBound bound);
// The name the API gives a ZCTA: "ZCTA5 03053".
QString zctaName(const QString& zcta);

}  // namespace zd
