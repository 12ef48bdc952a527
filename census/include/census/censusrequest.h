#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

// The requests for a set of variables and ZCTAs, as few as the API allows: at
// most kMaxVariablesPerRequest variables a request; the ZCTAs joined into one
// "for=" value, comma-separated, in chunks that keep each address within
// longestAddress bytes; and, for more than everyZctaAbove ZCTAs, one request
// for every ZCTA (":*") per chunk of variables.
struct CensusRequestPlan {
    static constexpr qsizetype kMaxVariablesPerRequest = 50;

    QString baseUrl;      // "https://api.census.gov"
    int year = 0;
    QStringList variables;
    QStringList zctas;    // distinct, five digits each
    qsizetype longestAddress = 8000;  // leaves room for the key within 8 KB
    qsizetype everyZctaAbove = 500;

    // Every address, without the key; variable chunks outermost.
    QStringList addresses() const;
    QList<QStringList> variableChunks() const;
    QList<QStringList> zctaChunks(const QStringList& variableChunk) const;
    bool asksForEveryZcta() const { return zctas.size() > everyZctaAbove; }
};

// The dataset's address: BASE/data/YEAR/acs/acs5/profile.
QString censusDatasetUrl(const QString& baseUrl, int year);
// Its variable list: BASE/data/YEAR/acs/acs5/profile/variables.json.
QString censusVariablesUrl(const QString& baseUrl, int year);
// One data request: DATASET?get=V1,V2&for=zip%20code%20tabulation%20area:Z1,Z2
// (ZCTAs "*" for every one).
QString censusDataUrl(const QString& baseUrl, int year, const QStringList& variables, const QStringList& zctas);

// What goes after an address to send the key ("&key=..."); empty without a key.
QString censusKeySuffix(const QString& key);
// The text with the key replaced by "***", for anything shown: as the value of
// "key=" in an address always, and elsewhere where it stands as a word of its
// own, when it is at least kShortestKeyRedactedAnywhere characters long. A
// shorter one is no key the API gives out (those are 40 characters), and would
// match pieces of other words: "a" must not star every "a" of a message.
inline constexpr qsizetype kShortestKeyRedactedAnywhere = 8;
QString redactCensusKey(QString text, const QString& key);

}  // namespace zd
