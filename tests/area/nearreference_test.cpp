// The ZIP codes near a few hundred random points of the bundled table, against
// the distances a short Python script works out on its own from the same file.
#include "area/zipareas.h"
#include "census/zctalist.h"
#include "census/placenames.h"
#include "tests/support/childprocess.h"

#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

// Prints one line a probe: LAT<TAB>LON<TAB>MILES<TAB>ZIP:DISTANCE ..., every ZIP
// code within MILES + 0.05 with its distance (atan2 form of the haversine, on the
// same sphere), for ZIP codes' own points and for points anywhere in the country.
const char* const kReference = R"PY(
import math, random, sys
R = 3958.8
places = []
for line in open(sys.argv[1], encoding="utf-8"):
    f = line.rstrip("\n").split("\t")
    lat, lon = float(f[3]), float(f[4])
    if lat != 0 or lon != 0:
        places.append((f[0], lat, lon))
def miles(a, b):
    p1, p2 = math.radians(a[0]), math.radians(b[0])
    dp, dl = p2 - p1, math.radians(b[1] - a[1])
    h = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * R * math.atan2(math.sqrt(h), math.sqrt(1 - h))
rng = random.Random(2023)
for probe in range(300):
    if probe % 2:
        _, lat, lon = rng.choice(places)
    elif probe % 10 == 4:
        lat, lon = rng.uniform(51, 71), rng.uniform(-179.9, -130)
    else:
        lat, lon = rng.uniform(24, 49.5), rng.uniform(-125, -66)
    within = rng.choice([0, 0.5, 2, 5, 10, 25, 50, 60, 150, rng.uniform(0, 80)])
    # A degree of latitude is over 60 miles anywhere: nothing farther in latitude can be near.
    band = within / 60 + 0.01
    found = sorted((miles((lat, lon), (pl, po)), z) for z, pl, po in places if abs(pl - lat) <= band)
    near = ["%s:%.9f" % (z, d) for d, z in found if d <= within + 0.05]
    print("%r\t%r\t%r\t%s" % (lat, lon, within, " ".join(near)))
)PY";

struct Probe {
    GeoPoint centre;
    double miles = 0;
    QStringList zips;            // the reference's order
    QHash<QString, double> distance;
};

QList<Probe> referenceProbes()
{
    const ChildRun run = runChild("python3", {"-c", kReference, ZD_PLACE_TABLE}, {.timeoutMs = 600000});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QList<Probe> probes;
    for (const QByteArray& line : run.out.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4)
            continue;
        Probe probe{{fields[0].toDouble(), fields[1].toDouble()}, fields[2].toDouble(), {}, {}};
        for (const QByteArray& pair : fields[3].split(' ')) {
            if (const qsizetype colon = pair.indexOf(':'); colon > 0) {
                probe.zips.append(QString::fromLatin1(pair.left(colon)));
                probe.distance.insert(probe.zips.last(), pair.mid(colon + 1).toDouble());
            }
        }
        probes.append(probe);
    }
    return probes;
}

TEST(NearAgainstPython, SameZipCodesSameDistancesNearestFirst)
{
    const ZipAreas areas(PlaceNames::read(QStringLiteral(ZD_PLACE_TABLE)), ZctaList::builtIn(2010));
    const QList<Probe> probes = referenceProbes();
    ASSERT_EQ(probes.size(), 300);
    qsizetype compared = 0;
    for (const Probe& probe : probes) {
        const QList<AreaZip> ours = areas.near(probe.centre, probe.miles);
        const std::string where = QString("%1,%2 within %3").arg(probe.centre.latitude).arg(probe.centre.longitude)
                                      .arg(probe.miles).toStdString();
        QSet<QString> oursSet;
        for (qsizetype i = 0; i < ours.size(); ++i) {
            const AreaZip& zip = ours[i];
            oursSet.insert(zip.zip);
            ASSERT_TRUE(probe.distance.contains(zip.zip)) << where << ": " << zip.zip.toStdString();
            EXPECT_NEAR(zip.miles, probe.distance[zip.zip], 1e-6) << where;
            // Nearest first; ties within 0.05 miles may come in either order.
            if (i > 0) {
                EXPECT_GE(probe.distance[zip.zip], probe.distance[ours[i - 1].zip] - 0.05) << where;
            }
        }
        // Everything the reference finds clearly inside is ours; what lies
        // within 0.05 miles of the boundary may fall either way.
        for (const QString& zip : probe.zips) {
            if (probe.distance[zip] <= probe.miles - 0.05) {
                EXPECT_TRUE(oursSet.contains(zip)) << where << ": " << zip.toStdString();
            }
        }
        compared += ours.size();
    }
    EXPECT_GT(compared, 10000);  // the probes reach into cities, not only empty land
}

}  // namespace
}  // namespace zd::test
