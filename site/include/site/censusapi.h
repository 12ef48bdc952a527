#pragma once

#include "site/censusprofile.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

namespace zd {

// What the sample site's imitation of the Census Data API answers: status,
// content type and body.
struct CensusApiReply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QString what;  // for the site's log
    QList<QPair<QByteArray, QByteArray>> headers{};  // beside the usual ones: Location, the key error
};

// The Census Data API's ACS 5-year data profile, made up: the same paths, query
// and answer shapes as the real one, with invented figures.
//   /data/YEAR/acs/acs5/profile?get=V1,V2&for=zip%20code%20tabulation%20area:Z1,Z2[&key=K]
//   /data/YEAR/acs/acs5/profile/variables.json
// It has the years kYears, each with the real variable list of that year and
// made-up figures that hang together (see CensusProfile); its ZCTAs are the
// site's known ZIP codes, or with everyZip about a third of all five-digit
// codes. Some figures are null or an annotation value; a request
// with more than 50 variables or one it does not know gets 400 with the API's
// error text; none of the ZCTAs asked for gives 204; ZCTA 00503 in a request
// gets the API's general error on the 1st and 2nd try of that request.
// Every request needs a key, as the real API's do: one without "key=" is
// redirected (302) to /data/missing_key.html, an HTML page answered with 200;
// refuseKey gets the invalid-key HTML page with 200 and the header
// X-DataWebAPI-KeyError; any other key is taken.
class CensusApi {
public:
    static const QList<int> kYears;

    CensusApi(bool everyZip, QString refuseKey);

    // Whether the target is for the API (its path starts with /data/).
    static bool isApiTarget(const QByteArray& pathAndQuery);
    CensusApiReply answer(const QByteArray& pathAndQuery);

    // The target with the key's value replaced by "***", for the log.
    static QByteArray withoutKey(const QByteArray& pathAndQuery);

    // Whether the ZCTA is one of the API's; the made-up figure of a variable in
    // a year, as the API writes it (nothing for null, and for a variable the
    // year does not have).
    bool isZcta(const QString& zcta) const;
    static std::optional<QString> madeUpValue(const QString& zcta, const QString& variable, int year = 2023);

private:
    std::optional<CensusApiReply> keyReply(const QByteArray& path, const QByteArray& query) const;
    CensusApiReply answerData(int year, const QByteArray& query);
    CensusApiReply tableFor(int year, const QStringList& variables, const QStringList& zctas) const;
    static std::optional<QString> madeUpValue(const QString& zcta, const QString& variable, int year,
                                              CensusProfile::Memo& memo);
    int nextTry(const QByteArray& request);

    bool m_everyZip = false;
    QString m_refuseKey;
    std::mutex m_triesMutex;
    QHash<QByteArray, int> m_tries;
};

// The label of a variable in a year's list; nothing for one the year lacks.
std::optional<QString> censusApiLabel(const QString& variable, int year);
// A year's variables.json.
QByteArray censusApiVariablesJson(int year);

}  // namespace zd
