#include "area/zipareas.h"

#include <algorithm>

namespace zd {
namespace {

constexpr double kFirstSearchMiles = 10.0;
constexpr double kWidestSearchMiles = 12500.0;  // more than half the Earth's circumference

// The nearest of the points to `centre` (of two as near, the first by id);
// nullopt when there are none.
std::optional<int> nearestId(const LatitudeIndex& index, GeoPoint centre)
{
    for (double miles = kFirstSearchMiles;; miles *= 2) {
        const std::vector<PointWithin> found = index.within(centre, miles);
        if (found.empty()) {
            if (miles >= kWidestSearchMiles)
                return std::nullopt;
            continue;
        }
        return std::min_element(found.begin(), found.end(),
                                [](const PointWithin& a, const PointWithin& b) {
                                    return a.miles != b.miles ? a.miles < b.miles : a.id < b.id;
                                })
            ->id;
    }
}

}  // namespace

ZipAreas::ZipAreas(const PlaceNames& places, ZctaList zctas, TableLacking lacking)
    : m_zctas(std::move(zctas)), m_index({})
{
    for (auto it = places.places().cbegin(); it != places.places().cend(); ++it)
        m_entries.push_back({it.key(), it.value(), m_zctas.contains(it.key())});
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.zip < b.zip; });
    indexLocated();
    if (lacking == TableLacking::Added)
        addLackingZctas();
}

void ZipAreas::indexLocated()
{
    std::vector<IndexedPoint> located;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Place& place = m_entries[i].place;
        if (isLocated(place))
            located.push_back({{place.latitude, place.longitude}, int(i)});
    }
    m_index = LatitudeIndex(std::move(located));
}

// Each ZCTA the table lacks joins at its internal point, named by the table's
// place nearest to it; the index is made anew over all of them.
void ZipAreas::addLackingZctas()
{
    std::vector<Entry> lacking;
    for (const Zcta& zcta : m_zctas.zctas()) {
        const QString zip = zcta.code();
        if (entryOf(zip))
            continue;
        const Place point{{}, {}, zcta.latitude, zcta.longitude};
        const std::optional<int> nearest = isLocated(point) ? nearestId(m_index, {zcta.latitude, zcta.longitude})
                                                            : std::nullopt;
        Place place = nearest ? m_entries[std::size_t(*nearest)].place : Place();
        place.latitude = zcta.latitude;
        place.longitude = zcta.longitude;
        lacking.push_back({zip, place, true, true});
    }
    if (lacking.empty())
        return;
    m_entries.insert(m_entries.end(), lacking.begin(), lacking.end());
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.zip < b.zip; });
    indexLocated();
}

const ZipAreas& ZipAreas::installed()
{
    static const ZipAreas areas(PlaceNames::installed(), ZctaList::builtIn(2010));
    return areas;
}

const ZipAreas& ZipAreas::ofYear(int acsYear)
{
    static const ZipAreas of2010(PlaceNames::installed(), ZctaList::builtIn(2010), TableLacking::Added);
    static const ZipAreas of2020(PlaceNames::installed(), ZctaList::builtIn(2020), TableLacking::Added);
    return zctaVintageOfYear(acsYear) == 2010 ? of2010 : of2020;
}

const ZipAreas::Entry* ZipAreas::entryOf(const QString& zip) const
{
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), zip,
                                        [](const Entry& entry, const QString& key) { return entry.zip < key; });
    return found == m_entries.end() || found->zip != zip ? nullptr : &*found;
}

std::optional<Place> ZipAreas::place(const QString& zip) const
{
    const Entry* entry = entryOf(zip);
    return entry ? std::optional(entry->place) : std::nullopt;
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
        if (!entry.outsideTable && keep(entry.place))
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

QList<ZctaPlace> ZipAreas::everyZcta() const
{
    QList<ZctaPlace> every;
    every.reserve(qsizetype(m_zctas.size()));
    for (const Zcta& zcta : m_zctas.zctas()) {
        const Entry* entry = entryOf(zcta.code());
        QString name;
        if (entry && !entry->place.city.isEmpty())
            name = (entry->outsideTable ? "near " : "") + entry->place.name();
        every.append({zcta, name});
    }
    return every;
}

}  // namespace zd
