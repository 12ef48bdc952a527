#include "area/zipareas.h"

#include <algorithm>

namespace zd {

ZipAreas::ZipAreas(const PlaceNames& places, ZctaList zctas) : m_index({})
{
    for (auto it = places.places().cbegin(); it != places.places().cend(); ++it)
        m_entries.push_back({it.key(), it.value(), zctas.contains(it.key())});
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.zip < b.zip; });
    std::vector<IndexedPoint> located;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Place& place = m_entries[i].place;
        if (isLocated(place))
            located.push_back({{place.latitude, place.longitude}, int(i)});
    }
    m_index = LatitudeIndex(std::move(located));
}

const ZipAreas& ZipAreas::installed()
{
    static const ZipAreas areas(PlaceNames::installed(), ZctaList::builtIn());
    return areas;
}

std::optional<Place> ZipAreas::place(const QString& zip) const
{
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), zip,
                                        [](const Entry& entry, const QString& key) { return entry.zip < key; });
    if (found == m_entries.end() || found->zip != zip)
        return std::nullopt;
    return found->place;
}

bool ZipAreas::isLocated(const Place& place) const { return place.latitude != 0 || place.longitude != 0; }

QList<AreaZip> ZipAreas::near(GeoPoint centre, double miles) const
{
    std::vector<PointWithin> found = m_index.within(centre, miles);
    std::sort(found.begin(), found.end(), [](const PointWithin& a, const PointWithin& b) {
        return a.miles != b.miles ? a.miles < b.miles : a.id < b.id;  // ids run by ZIP code
    });
    QList<AreaZip> zips;
    zips.reserve(qsizetype(found.size()));
    for (const PointWithin& point : found) {
        const Entry& entry = m_entries[std::size_t(point.id)];
        zips.append({entry.zip, point.miles, entry.hasZcta});
    }
    return zips;
}

template <typename Keep>
QList<AreaZip> ZipAreas::entriesWhere(Keep keep) const
{
    QList<AreaZip> zips;
    for (const Entry& entry : m_entries) {
        if (keep(entry.place))
            zips.append({entry.zip, 0, entry.hasZcta});
    }
    return zips;
}

QList<AreaZip> ZipAreas::ofState(const QString& state) const
{
    return entriesWhere([&](const Place& place) { return place.state.compare(state, Qt::CaseInsensitive) == 0; });
}

QList<AreaZip> ZipAreas::ofTown(const QString& town, const QString& state) const
{
    const QString wanted = town.simplified();
    return entriesWhere([&](const Place& place) {
        return place.state.compare(state, Qt::CaseInsensitive) == 0
               && place.city.simplified().compare(wanted, Qt::CaseInsensitive) == 0;
    });
}

}  // namespace zd
