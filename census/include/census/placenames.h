#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace zd {

// A ZIP code's place: its city and state, with the coordinates kept for maps.
struct Place {
    QString city;
    QString state;
    double latitude = 0;
    double longitude = 0;

    QString name() const { return city + ", " + state; }  // "Londonderry, NH"
};

// The table of ZIP code -> place that names a ZCTA (the API calls it only
// "ZCTA5 03053"): data/place-names.tsv, one ZIP code a line,
// ZIP<TAB>CITY<TAB>STATE<TAB>LATITUDE<TAB>LONGITUDE.
class PlaceNames {
public:
    // The table in a file; empty when the file cannot be read. Lines that do not
    // hold a five-digit ZIP code, a city and a two-letter state are skipped.
    static PlaceNames read(const QString& path);
    // The program's table: beside the program (as in the build tree), else in
    // ../share/zipdemographics/ beside its folder (as installed); read once.
    static const PlaceNames& installed();

    std::optional<Place> find(const QString& zip) const;
    qsizetype size() const { return m_places.size(); }
    // Every ZIP code of the table with its place, in no order.
    const QHash<QString, Place>& places() const { return m_places; }

private:
    QHash<QString, Place> m_places;
};

}  // namespace zd
