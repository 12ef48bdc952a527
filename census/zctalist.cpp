#include "census/zctalist.h"

#include "census/censussource.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace zd {
namespace {

// A run without a year makes its selections over the newest year's ZCTAs before
// it knows the year the API has: the years it may step back to share them.
static_assert(zctaVintageOfYear(kNewestCensusYear - kCensusYearStepsBack) == zctaVintageOfYear(kNewestCensusYear));

// The number of a five-digit ZIP code; -1 for any other text.
template <typename Text>
int zipNumber(const Text& text)
{
    if (text.size() != 5)
        return -1;
    int number = 0;
    for (const auto c : text) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<double> finiteNumber(const QByteArray& text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
}

// A line's ZCTA: five digits alone, or with its point and land area.
std::optional<Zcta> zctaOfLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split('\t');
    const int number = zipNumber(fields[0].trimmed());
    if (number < 0)
        return std::nullopt;
    if (fields.size() == 1)
        return Zcta{number};
    if (fields.size() != 4)
        return std::nullopt;
    const auto latitude = finiteNumber(fields[1]);
    const auto longitude = finiteNumber(fields[2]);
    const auto land = finiteNumber(fields[3]);
    if (!latitude || !longitude || !land || std::abs(*latitude) > 90 || std::abs(*longitude) > 180 || *land < 0)
        return std::nullopt;
    return Zcta{number, *latitude, *longitude, *land};
}

}  // namespace

ZctaList ZctaList::parse(const QByteArray& text)
{
    ZctaList list;
    for (const QByteArray& line : text.split('\n')) {
        if (const std::optional<Zcta> zcta = zctaOfLine(line))
            list.m_zctas.push_back(*zcta);
    }
    const auto byNumber = [](const Zcta& a, const Zcta& b) { return a.number < b.number; };
    std::stable_sort(list.m_zctas.begin(), list.m_zctas.end(), byNumber);
    const auto sameNumber = [](const Zcta& a, const Zcta& b) { return a.number == b.number; };
    list.m_zctas.erase(std::unique(list.m_zctas.begin(), list.m_zctas.end(), sameNumber), list.m_zctas.end());
    return list;
}

const ZctaList& ZctaList::builtIn(int vintage)
{
    const auto read = [](const char* path) {
        QFile file(QString::fromLatin1(path));
        return file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : ZctaList();
    };
    static const ZctaList of2010 = read(":/census/zcta-2010.tsv");
    static const ZctaList of2020 = read(":/census/zcta-2020.tsv");
    return vintage == 2010 ? of2010 : of2020;
}

std::optional<Zcta> ZctaList::find(const QString& zip) const
{
    const QByteArray latin = zip.toLatin1();
    const int number = zip.size() == 5 ? zipNumber(QByteArrayView(latin)) : -1;
    if (number < 0)
        return std::nullopt;
    const auto found = std::lower_bound(m_zctas.begin(), m_zctas.end(), number,
                                        [](const Zcta& zcta, int wanted) { return zcta.number < wanted; });
    if (found == m_zctas.end() || found->number != number)
        return std::nullopt;
    return *found;
}

}  // namespace zd
