#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace zd {

// A ZIP Code Tabulation Area of a vintage: its number, the Census Bureau's
// internal point and its land area (0, 0 and 0 where its line gives none).
struct Zcta {
    int number = 0;
    double latitude = 0;
    double longitude = 0;
    double landSquareMiles = 0;

    QString code() const { return QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')); }  // "03053"
};

// The ACS 5-year releases are tabulated on the ZCTAs of 2010 up to 2016-2020
// (year 2020), on those of 2020 from 2017-2021 (year 2021) on.
constexpr int kFirstYearOf2020Zctas = 2021;
constexpr int zctaVintageOfYear(int acsYear) { return acsYear < kFirstYearOf2020Zctas ? 2010 : 2020; }

// The ZIP codes that have a ZIP Code Tabulation Area of the same number in one
// vintage, which the Census Bureau publishes figures for. Others (PO boxes,
// single buildings, military mail) are served by the ZCTA around them and have
// no figures of their own. The program's lists are data/zcta-2010.tsv and
// data/zcta-2020.tsv (made by scripts/import-zcta-lists), built in.
class ZctaList {
public:
    // One ZCTA a line: five digits, optionally a TAB and the internal point's
    // latitude, longitude and land area, TAB-separated. A line whose first field
    // is not five digits, or whose numbers do not read, is skipped. Empty when
    // the text is.
    static ZctaList parse(const QByteArray& text);
    // The built-in list of the vintage: 2010, else 2020's; read once.
    static const ZctaList& builtIn(int vintage);
    // The built-in list the ACS 5-year release of the year is tabulated on.
    static const ZctaList& ofYear(int acsYear) { return builtIn(zctaVintageOfYear(acsYear)); }

    bool contains(const QString& zip) const { return find(zip).has_value(); }
    std::optional<Zcta> find(const QString& zip) const;
    std::size_t size() const { return m_zctas.size(); }
    // Every ZCTA, by number.
    const std::vector<Zcta>& zctas() const { return m_zctas; }

private:
    std::vector<Zcta> m_zctas;  // sorted by number, each once
};

}  // namespace zd
