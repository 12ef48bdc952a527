#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// How a figure's value reads: a count of people or things, a percentage,
// dollars, years or minutes.
enum class FigureKind { Count, Percent, Dollars, Years, Minutes };

// One data-profile figure: its variable ID ("DP05_0001E", "DP03_0009PE"), its
// kind, and the concept it was chosen for, as the end of its label in the API's
// variable list ("Total population!!Male"); empty for a variable of the user's
// own set, which is taken as the API names it.
struct CensusVariable {
    QString id;
    FigureKind kind = FigureKind::Count;
    QString chosenFor;
};

// A set of figures read from its file; error says why it cannot be used.
struct CensusVariableSet {
    QList<CensusVariable> variables;
    QString error;
};

// Whether the text names a data-profile estimate: DPnn_nnnnE or DPnn_nnnnPE.
bool isProfileEstimate(const QString& id);
// The estimate's margin of error: DP05_0001E -> DP05_0001M, DP03_0009PE -> DP03_0009PM.
QString marginOfErrorId(const QString& estimateId);

// "count", "percent", "dollars", "years", "minutes".
std::optional<FigureKind> figureKindNamed(const QString& name);

// Reads a set: one figure a line, "ID", or "ID<TAB>KIND", or "ID<TAB>KIND<TAB>CONCEPT";
// empty lines and lines starting with "#" are skipped. A line that names no
// estimate, an unknown kind, a repeated ID or an empty set is refused with the
// line's number. `origin` names the file in messages.
CensusVariableSet parseCensusVariableSet(const QByteArray& text, const QString& origin);
CensusVariableSet readCensusVariableFile(const QString& path);
// The built-in set (about 40 figures), kept with the program.
const QList<CensusVariable>& builtInCensusVariables();

}  // namespace zd
