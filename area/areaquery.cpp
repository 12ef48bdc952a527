#include "area/areaquery.h"

#include <QRegularExpression>

#include <cmath>

namespace zd {
namespace {

const QRegularExpression& plainDecimal()
{
    // Anchored whole: "$" alone would let a final line end through ("5\n").
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)")));
    return pattern;
}

std::optional<double> decimal(const QString& text)
{
    if (!plainDecimal().match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
}

bool isZipCode(const QString& text)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{5}")));
    return pattern.match(text).hasMatch();
}

QString milesText(double miles) { return QString::number(miles, 'g', 10); }

// "LAT,LON" in decimal degrees; nullopt with the error in words.
std::optional<GeoPoint> readPoint(const QString& text, QString& error)
{
    const QStringList parts = text.split(',');
    const auto latitude = parts.size() == 2 ? decimal(parts[0].trimmed()) : std::nullopt;
    const auto longitude = parts.size() == 2 ? decimal(parts[1].trimmed()) : std::nullopt;
    if (!latitude || !longitude) {
        error = "\"" + text + "\" is neither a five-digit ZIP code nor LAT,LON in decimal degrees";
        return std::nullopt;
    }
    if (std::abs(*latitude) > 90 || std::abs(*longitude) > 180) {
        error = "\"" + text + "\" is off the globe: the latitude goes from -90 to 90, the longitude from -180 to 180";
        return std::nullopt;
    }
    return GeoPoint{*latitude, *longitude};
}

// The centre a ZIP code names; nullopt with the error in words.
std::optional<GeoPoint> zipCentre(const ZipAreas& areas, const QString& zip, QString& error)
{
    const std::optional<Place> place = areas.place(zip);
    if (!place) {
        error = "unknown ZIP code " + zip + ": the place table does not have it";
        return std::nullopt;
    }
    if (!areas.isLocated(*place)) {
        error = "ZIP code " + zip + " (" + place->name() + ") has no coordinates in the place table";
        return std::nullopt;
    }
    return GeoPoint{place->latitude, place->longitude};
}

// An empty table is a program installed without its place table, not a place unknown.
bool tableMissing(const ZipAreas& areas, AreaAnswer& answer)
{
    if (areas.size() == 0)
        answer.error = QStringLiteral("the place table cannot be read: place-names.tsv is neither beside the "
                                      "program nor in ../share/zipdemographics/");
    return areas.size() == 0;
}

}  // namespace

std::optional<double> readMiles(const QString& text, QString& error)
{
    const std::optional<double> miles = decimal(text);
    if (!miles || *miles < 0 || *miles > kWidestMiles) {
        error = "the distance must be a number of miles from 0 to " + milesText(kWidestMiles) + ", not \"" + text
                + "\"";
        return std::nullopt;
    }
    return miles;
}

AreaAnswer selectNear(const ZipAreas& areas, const QString& where, double miles)
{
    AreaAnswer answer;
    if (tableMissing(areas, answer))
        return answer;
    const std::optional<GeoPoint> centre =
        isZipCode(where) ? zipCentre(areas, where, answer.error) : readPoint(where, answer.error);
    if (!centre)
        return answer;
    answer.zips = areas.near(*centre, miles);
    if (answer.zips.isEmpty())
        answer.error = "no ZIP code lies within " + milesText(miles) + (miles == 1 ? " mile of " : " miles of ") + where;
    return answer;
}

AreaAnswer selectState(const ZipAreas& areas, const QString& state)
{
    AreaAnswer answer;
    if (tableMissing(areas, answer))
        return answer;
    static const QRegularExpression twoLetters(QStringLiteral("^[A-Za-z]{2}$"));
    if (!twoLetters.match(state).hasMatch()) {
        answer.error = "a state is given by its two letters (NH), not \"" + state + "\"";
        return answer;
    }
    answer.zips = areas.ofState(state);
    if (answer.zips.isEmpty())
        answer.error = "unknown state \"" + state + "\": the place table has no ZIP code there";
    return answer;
}

AreaAnswer selectTown(const ZipAreas& areas, const QString& town)
{
    AreaAnswer answer;
    if (tableMissing(areas, answer))
        return answer;
    const qsizetype comma = town.lastIndexOf(',');
    const QString name = town.left(comma).simplified();
    const QString state = town.mid(comma + 1).trimmed();
    if (comma < 0 || name.isEmpty() || state.size() != 2) {
        answer.error = "a town is given as \"NAME, ST\" (\"Londonderry, NH\"), not \"" + town + "\"";
        return answer;
    }
    answer.zips = areas.ofTown(name, state);
    if (answer.zips.isEmpty())
        answer.error = "unknown town \"" + town + "\": the place table has no ZIP code of that name in that state";
    return answer;
}

QStringList zipsOf(const QList<AreaZip>& zips)
{
    QStringList list;
    list.reserve(zips.size());
    for (const AreaZip& zip : zips)
        list.append(zip.zip);
    return list;
}

}  // namespace zd
