#pragma once

#include "area/greatcircle.h"
#include "area/latitudeindex.h"
#include "census/placenames.h"
#include "census/zctalist.h"

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

// A ZCTA of the list with its place: the place table's name ("Londonderry, NH"),
// or for a ZCTA the table lacks that of the place nearest its internal point
// ("near Frisco, TX").
struct ZctaPlace {
    Zcta zcta;
    QString placeName;
};

// What becomes of the ZCTAs of the list that the place table lacks: left out,
// or added at their internal points.
enum class TableLacking { Left, Added };

// The selections over the place table: the ZIP codes near a point, of a state,
// of a town. ZIP codes without coordinates (the table has 0,0 for military
// mail) are in their state's selection but never near anything. ZCTAs the table
// lacks, when added, are near their internal points but in no state or town.
class ZipAreas {
public:
    ZipAreas(const PlaceNames& places, ZctaList zctas, TableLacking lacking = TableLacking::Left);
    // Over the program's place table alone, flagged by the 2010 ZCTAs; made once.
    static const ZipAreas& installed();
    // Over the program's place table and the ZCTAs the ACS 5-year release of the
    // year is tabulated on, those the table lacks added; made once a vintage.
    static const ZipAreas& ofYear(int acsYear);

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
    // Every ZCTA of the list, by number, with its place.
    QList<ZctaPlace> everyZcta() const;
    const ZctaList& zctas() const { return m_zctas; }
    qsizetype size() const { return qsizetype(m_entries.size()); }

private:
    struct Entry {
        QString zip;
        Place place;  // for a ZCTA the table lacks: its point, the nearest place's city and state
        bool hasZcta = true;
        bool outsideTable = false;
    };
    template <typename Keep>
    QList<AreaZip> entriesWhere(Keep keep) const;
    const Entry* entryOf(const QString& zip) const;
    void addLackingZctas();
    void indexLocated();

    ZctaList m_zctas;
    std::vector<Entry> m_entries;  // by ZIP code
    LatitudeIndex m_index;
};

}  // namespace zd
