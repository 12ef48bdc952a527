#pragma once

#include "census/censussource.h"
#include "census/censusvariables.h"

#include <QList>
#include <QString>

#include <optional>

namespace zd {

// What a run from the Census Data API asks for.
struct CensusSettings {
    QString baseUrl = builtInCensusUrl();
    std::optional<int> year;               // none: the newest the API has
    QList<CensusVariable> variables = builtInCensusVariables();
    bool userVariables = false;            // the user's own set: an unknown variable is refused
    bool marginsOfError = false;           // each figure's margin of error beside it
    bool total = false;                    // an export's total: the counts and bases of its percents asked for too
    QString onlyFigure;                    // a map's one figure (its label or ID): only it is asked for; empty: all
    QString key;                           // empty: none
};

}  // namespace zd
