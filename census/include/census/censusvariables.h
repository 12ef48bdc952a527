#pragma once

#include "census/codedmedians.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// How a figure's value reads: a count of people or things, a percentage,
// dollars, years or minutes.
enum class FigureKind { Count, Percent, Dollars, Years, Minutes };

// Where a built-in figure sits in every year's variable list, whatever its ID
// there: its table, whether it is a percent (an ID ending in PE) or an estimate
// (E), and its label path without the "Estimate!!" start, "SEX AND AGE!!Total
// population!!Male". Some rows were worded otherwise in some years: each
// wording is a path of its own, the first found is taken.
struct LabelPath {
    QString table;  // "DP05"
    bool percent = false;
    QStringList wordings;
};

// One data-profile figure: its variable ID ("DP05_0001E", "DP03_0009PE") and
// its kind. A figure of the user's own set has a fixed ID and may name the end
// of its label it was chosen for ("Total population!!Male"); a built-in figure
// has a label path instead, by which its ID is found in each year's list, and
// the label it is shown with.
struct CensusVariable {
    QString id;                          // a built-in figure's: empty until found in a year's list
    FigureKind kind = FigureKind::Count;
    QString chosenFor;
    bool kindGiven = true;               // false: the kind follows from the ID and the year's label
    QString label;                       // empty: made from the year's label
    std::optional<LabelPath> labelPath;  // a built-in figure's place in every year's list
    MedianCoding medianCoding = {};      // a coded median's values, once checked against a year's list
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
QString figureKindName(FigureKind kind);

// Reads a set: one figure a line, "ID", or "ID<TAB>KIND", or "ID<TAB>KIND<TAB>CONCEPT";
// empty lines and lines starting with "#" are skipped. A line that names no
// estimate, an unknown kind, a repeated ID or an empty set is refused with the
// line's number. `origin` names the file in messages.
CensusVariableSet parseCensusVariableSet(const QByteArray& text, const QString& origin);
CensusVariableSet readCensusVariableFile(const QString& path);
// Reads the built-in set's form: "TABLE<TAB>FORM<TAB>LABEL PATH<TAB>KIND<TAB>LABEL"
// a line, FORM "estimate" or "percent", the path's wordings apart by " | ".
CensusVariableSet parseBuiltInFigures(const QByteArray& text, const QString& origin);
// The built-in set (about 40 figures), kept with the program.
const QList<CensusVariable>& builtInCensusVariables();

}  // namespace zd
