#pragma once

#include "area/zipareas.h"

#include <QList>
#include <QString>

#include <optional>

namespace zd {

// The widest distance a selection takes, in miles: more than the breadth of the
// 48 states, less than the way from them to Hawaii or Guam. Anything wider is
// taken for a mistake.
constexpr double kWidestMiles = 3000.0;

// A distance as the user typed it: a plain decimal number of miles from 0 to
// kWidestMiles; nullopt with `error` in words for anything else ("-5", "5mi",
// "inf", a stray invisible character).
std::optional<double> readMiles(const QString& text, QString& error);

// A selection the user asked for: its ZIP codes, or what is wrong in words. No
// match is an error too.
struct AreaAnswer {
    QList<AreaZip> zips;
    QString error;
};

// The ZIP codes within `miles` of `where`: a ZIP code of the place table, or
// LAT,LON in decimal degrees ("42.87,-71.38").
AreaAnswer selectNear(const ZipAreas& areas, const QString& where, double miles);
// The ZIP codes of a state, by its two letters.
AreaAnswer selectState(const ZipAreas& areas, const QString& state);
// The ZIP codes of a town, "NAME, ST".
AreaAnswer selectTown(const ZipAreas& areas, const QString& town);

// The ZIP codes of a selection, in its order.
QStringList zipsOf(const QList<AreaZip>& zips);

}  // namespace zd
