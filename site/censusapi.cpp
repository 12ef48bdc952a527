#include "site/censusapi.h"

#include "site/censusprofile.h"
#include "site/samplepages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

namespace zd {
namespace {

const QByteArray kJson = "application/json;charset=utf-8";
const QByteArray kHtml = "text/html;charset=utf-8";
const QByteArray kText = "text/plain;charset=utf-8";
const QString kGeography = QStringLiteral("zip code tabulation area");
constexpr int kMaxVariables = 50;

// FNV-1a: the same figures in every run of the site.
int hashOf(const QString& text)
{
    quint32 hash = 2166136261u;
    for (const char byte : text.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return int(hash & 0x7fffffff);
}

QByteArray htmlPage(const QString& title, const QString& text)
{
    return ("<html><head><title>" + title + "</title></head><body><div class=\"content\"><h1>" + title
            + "</h1><p>" + text + "</p></div></body></html>\n").toUtf8();
}

CensusApiReply textReply(int status, const QString& text, const QString& what)
{
    return {status, kText, text.toUtf8(), what};
}

QString queryValue(const QByteArray& query, const QByteArray& name)
{
    for (const QByteArray& pair : query.split('&')) {
        if (pair.startsWith(name + '='))
            return QUrl::fromPercentEncoding(pair.mid(name.size() + 1));
    }
    return {};
}

std::optional<int> yearOfPath(const QByteArray& path, const QByteArray& tail)
{
    static const QRegularExpression pattern(QStringLiteral("^/data/(\\d{4})/acs/acs5/profile(.*)$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(path));
    if (!match.hasMatch() || match.captured(2).toLatin1() != tail)
        return std::nullopt;
    return match.captured(1).toInt();
}

}  // namespace

const QList<int> CensusApi::kYears = CensusProfile::years();

std::optional<QString> censusApiLabel(const QString& variable, int year)
{
    const CensusProfile* profile = CensusProfile::ofYear(year);
    return profile ? profile->label(variable) : std::nullopt;
}

QByteArray censusApiVariablesJson(int year)
{
    const CensusProfile* profile = CensusProfile::ofYear(year);
    if (!profile)
        return {};
    QJsonObject variables;
    variables.insert("for", QJsonObject{{"label", "Census API FIPS 'for' clause"}, {"concept", "Census API Geography Specification"}});
    variables.insert("NAME", QJsonObject{{"label", "Geographic Area Name"}, {"predicateType", "string"}});
    for (const QString& estimate : profile->variables()) {
        for (const QString& id : {estimate, estimate.chopped(1) + 'M'}) {
            variables.insert(id, QJsonObject{{"label", *profile->label(id)}, {"group", id.left(4)},
                                             {"predicateType", id.endsWith("PE") || id.endsWith("PM") ? "float" : "int"}});
        }
    }
    return QJsonDocument(QJsonObject{{"variables", variables}}).toJson(QJsonDocument::Indented);
}

CensusApi::CensusApi(bool everyZip, QString refuseKey) : m_everyZip(everyZip), m_refuseKey(std::move(refuseKey)) {}

bool CensusApi::isApiTarget(const QByteArray& pathAndQuery) { return pathAndQuery.startsWith("/data/"); }

QByteArray CensusApi::withoutKey(const QByteArray& pathAndQuery)
{
    static const QRegularExpression key(QStringLiteral("([?&]key=)[^&]*"));
    return QString::fromLatin1(pathAndQuery).replace(key, QStringLiteral("\\1***")).toLatin1();
}

bool CensusApi::isZcta(const QString& zcta) const
{
    if (zcta == "00503")
        return true;
    if (sampleNameCell(zcta))
        return !zcta.startsWith("00");  // the fault-mode codes are no ZCTAs
    static const QRegularExpression fiveDigits(QStringLiteral("^\\d{5}$"));
    if (!m_everyZip || !fiveDigits.match(zcta).hasMatch() || zcta < "00501")
        return false;
    return hashOf("zcta " + zcta) % 100 < 35;
}

std::optional<QString> CensusApi::madeUpValue(const QString& zcta, const QString& variable, int year)
{
    CensusProfile::Memo memo;
    return madeUpValue(zcta, variable, year, memo);
}

std::optional<QString> CensusApi::madeUpValue(const QString& zcta, const QString& variable, int year,
                                              CensusProfile::Memo& memo)
{
    const CensusProfile* profile = CensusProfile::ofYear(year);
    if (!profile || !profile->label(variable))
        return std::nullopt;
    // The samples' gaps are fixed (01830 has no median income and an annotation for
    // its home value); invented places get theirs at random.
    const int h = hashOf(zcta + ' ' + variable);
    const bool sample = sampleNameCell(zcta).has_value();
    if ((!sample && h % 97 == 0) || (zcta == "01830" && variable.startsWith("DP04_0089")))
        return QStringLiteral("-666666666");
    if ((!sample && h % 89 == 0) || (zcta == "01830" && variable.startsWith("DP03_0062")))
        return std::nullopt;
    return profile->value(zcta, variable, memo);
}

int CensusApi::nextTry(const QByteArray& request)
{
    std::lock_guard lock(m_triesMutex);
    return ++m_tries[request];
}

namespace {

// The pages to which the API sends a request without a key or with a bad one.
const QByteArray kMissingKeyPath = "/data/missing_key.html";
const QByteArray kInvalidKeyPath = "/data/invalid_key.html";

CensusApiReply missingKeyPage()
{
    return {200, kHtml,
            htmlPage("Missing Key", "A valid <em>key</em> must be included with each data API request. "
                                    "You did not include a key with this request. If you do not have a key you "
                                    "may sign up for one <a href=\"key_signup.html\">here</a>."),
            "census: the missing-key page"};
}

CensusApiReply invalidKeyPage(const QString& what)
{
    return {200, kHtml,
            htmlPage("Invalid Key", "A valid <em>key</em> must be included with each data API request. "
                                    "You included a key with this request, however, it is not valid. Please "
                                    "check your key and try again. If you do not have a key you may sign up for "
                                    "one <a href=\"key_signup.html\">here</a>."),
            what};
}

}  // namespace

// The key rule's answer to a request, if it stops there.
std::optional<CensusApiReply> CensusApi::keyReply(const QByteArray& path, const QByteArray& query) const
{
    if (path == kMissingKeyPath)
        return missingKeyPage();
    if (path == kInvalidKeyPath)
        return invalidKeyPage("census: the invalid-key page");
    const QString key = queryValue(query, "key");
    if (key.isEmpty())
        return CensusApiReply{302, kHtml, htmlPage("302 Found", "The document has moved."),
                              "census: no key, redirected", {{"Location", kMissingKeyPath}}};
    if (!m_refuseKey.isEmpty() && key == m_refuseKey) {
        CensusApiReply refused = invalidKeyPage("census: key refused");
        refused.headers.append(qMakePair(QByteArray("X-DataWebAPI-KeyError"), QByteArray("Invalid key")));
        return refused;
    }
    return std::nullopt;
}

CensusApiReply CensusApi::answer(const QByteArray& pathAndQuery)
{
    const qsizetype question = pathAndQuery.indexOf('?');
    const QByteArray path = question < 0 ? pathAndQuery : pathAndQuery.left(question);
    const QByteArray query = question < 0 ? QByteArray() : pathAndQuery.mid(question + 1);
    if (std::optional<CensusApiReply> reply = keyReply(path, query))
        return std::move(*reply);
    if (const std::optional<int> year = yearOfPath(path, "/variables.json")) {
        if (!kYears.contains(*year))
            return {404, kHtml, htmlPage("404 Not Found", "No such dataset."), "census: no variables for that year"};
        return {200, kJson, censusApiVariablesJson(*year), "census: variables of " + QString::number(*year)};
    }
    const std::optional<int> year = yearOfPath(path, "");
    if (!year || !kYears.contains(*year))
        return {404, kHtml, htmlPage("404 Not Found", "No such dataset."), "census: no such dataset"};
    return answerData(*year, query);
}

CensusApiReply CensusApi::answerData(int year, const QByteArray& query)
{
    const QStringList variables = queryValue(query, "get").split(',', Qt::SkipEmptyParts);
    const QString geography = queryValue(query, "for");
    if (variables.isEmpty())
        return textReply(400, "error: missing 'get' parameter", "census: no get");
    if (variables.size() > kMaxVariables)
        return textReply(400, "error: You can include up to 50 variables for a single API query.",
                         "census: too many variables");
    for (const QString& variable : variables) {
        if (variable != "NAME" && !censusApiLabel(variable, year))
            return textReply(400, "error: unknown variable '" + variable + "'", "census: unknown variable");
    }
    if (!geography.startsWith(kGeography + ':'))
        return textReply(400, "error: unknown/unsupported geography hierarchy", "census: unknown geography");
    const QStringList asked = geography.mid(kGeography.size() + 1).split(',');
    if (asked.contains("00503") && nextTry(withoutKey(query)) <= 2)
        return textReply(500, "There was an error while running your query.  We've logged the error and we'll "
                              "correct it ASAP.  Sorry for the inconvenience.",
                         "census: general error");
    QStringList zctas;
    if (asked == QStringList{"*"}) {
        for (int n = 0; n <= 99999; ++n) {
            const QString zcta = QStringLiteral("%1").arg(n, 5, 10, QChar('0'));
            if (isZcta(zcta))
                zctas.append(zcta);
        }
    } else {
        for (const QString& zcta : asked) {
            if (isZcta(zcta))
                zctas.append(zcta);
        }
    }
    if (zctas.isEmpty())
        return {204, {}, {}, "census: no data"};
    return tableFor(year, variables, zctas);
}

CensusApiReply CensusApi::tableFor(int year, const QStringList& variables, const QStringList& zctas) const
{
    QJsonArray header;
    for (const QString& variable : variables)
        header.append(variable);
    header.append(kGeography);
    QByteArray body = "[" + QJsonDocument(header).toJson(QJsonDocument::Compact);
    for (const QString& zcta : zctas) {
        QJsonArray row;
        CensusProfile::Memo memo;  // what this ZCTA's figures are worked out from
        for (const QString& variable : variables) {
            if (variable == "NAME") {
                row.append("ZCTA5 " + zcta);
                continue;
            }
            const std::optional<QString> value = madeUpValue(zcta, variable, year, memo);
            row.append(value ? QJsonValue(*value) : QJsonValue());
        }
        row.append(zcta);
        body += ",\n" + QJsonDocument(row).toJson(QJsonDocument::Compact);
    }
    body += "]";
    return {200, kJson, body, "census: " + QString::number(zctas.size()) + " rows"};
}

}  // namespace zd
