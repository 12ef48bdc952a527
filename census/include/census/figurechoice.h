#pragma once

#include "census/censusvariables.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

// Whether a figure shown as `label`, of the variable `id` (empty when the source
// names none), is the one a user named: its label in any case (a percent's also
// without its ": percent of ..." end), or its ID.
bool isFigureNamed(const QString& label, const QString& id, const QString& wanted);

// One figure of a year's checked set, picked out by its shown label or its ID,
// so that only it is asked for; or, when none is so named, the message that
// names the figures there are ("LABEL [ID]; ..."), before any data is asked for.
struct ChosenFigure {
    QList<CensusVariable> variables;  // the one figure, or none
    QStringList labels;               // its shown label, or none
    QString error;
};
ChosenFigure chooseFigure(const QList<CensusVariable>& checked, const QStringList& labels, const QString& wanted);

}  // namespace zd
