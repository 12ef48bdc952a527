#pragma once

#include "batch/censusentries.h"

#include <QList>
#include <QStringList>

namespace zd {

// What one request of a run brought into the figures.
struct RequestHeld {
    enum class Kind {
        Nothing,  // no answer believed: it failed, or the run ended before it
        NoData,   // 204: none of its ZCTAs has figures
        Table,    // rows, kept among the figures' answers
    };
    Kind kind = Kind::Nothing;
    qsizetype answer = -1;  // Table: its index among the figures' answers
};

// The requests of one run ask for the same ZCTAs in several answers (chunks of
// variables, a total's counts and bases apart), and those answers must agree on
// which ZCTAs have figures: a ZCTA with a row in some of its answers and none in
// another would come out with part of its figures blank. Each such ZCTA fails,
// with the reason, among the figures' failedZctas. Returns the requests whose
// answers hold or lack such a ZCTA, in their order; none when all agree.
QList<qsizetype> failDisagreeingZctas(const QList<QStringList>& zctasAsked, const QList<RequestHeld>& held,
                                      CensusFigures& figures);

}  // namespace zd
