#pragma once

#include "area/greatcircle.h"
#include "area/latitudeindex.h"
#include "area/zctalist.h"
#include "census/placenames.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace zd {

// A ZIP code of a selection: its distance from the centre (0 where there is
// none) and whether it has a ZCTA of its own.
struct AreaZip {
    QString zip;
    double miles = 0;
    bool hasZcta = true;
};

// The selections over the place table: the ZIP codes near a point, of a state,
// of a town. ZIP codes without coordinates (the table has 0,0 for military
// mail) are in their state's selection but never near anything.
class ZipAreas {
public:
    ZipAreas(const PlaceNames& places, ZctaList zctas);
    // Over the program's place table and the built-in ZCTA list; made once.
    static const ZipAreas& installed();

    std::optional<Place> place(const QString& zip) const;
    // Whether the table has coordinates for the ZIP code.
    bool isLocated(const Place& place) const;
    // Those within `miles` of the centre (boundary included), nearest first;
    // equal distances by ZIP code.
    QList<AreaZip> near(GeoPoint centre, double miles) const;
    // Those of the state (two letters, any case), by ZIP code.
    QList<AreaZip> ofState(const QString& state) const;
    // Those whose city is `town` (without regard to case or runs of spaces) in
    // the state, by ZIP code.
    QList<AreaZip> ofTown(const QString& town, const QString& state) const;
    qsizetype size() const { return qsizetype(m_entries.size()); }

private:
    struct Entry {
        QString zip;
        Place place;
        bool hasZcta = true;
    };
    template <typename Keep>
    QList<AreaZip> entriesWhere(Keep keep) const;

    std::vector<Entry> m_entries;  // by ZIP code
    LatitudeIndex m_index;
};

}  // namespace zd
