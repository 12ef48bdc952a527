#include "site/censusapi.h"

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
constexpr int kMadeUpFigures = 150;  // DPnn_0001 .. DPnn_0150 in each table

// The labels of the variables the programs show by default, as the API words them.
const QHash<QString, QString>& namedLabels()
{
    static const QHash<QString, QString> labels = {
        {"DP05_0001E", "Estimate!!SEX AND AGE!!Total population"},
        {"DP05_0002E", "Estimate!!SEX AND AGE!!Total population!!Male"},
        {"DP05_0003E", "Estimate!!SEX AND AGE!!Total population!!Female"},
        {"DP05_0005E", "Estimate!!SEX AND AGE!!Total population!!Under 5 years"},
        {"DP05_0018E", "Estimate!!SEX AND AGE!!Total population!!Median age (years)"},
        {"DP05_0019E", "Estimate!!SEX AND AGE!!Total population!!Under 18 years"},
        {"DP05_0021E", "Estimate!!SEX AND AGE!!Total population!!18 years and over"},
        {"DP05_0024E", "Estimate!!SEX AND AGE!!Total population!!65 years and over"},
        {"DP05_0035E", "Estimate!!RACE!!Total population!!Two or More Races"},
        {"DP05_0037E", "Estimate!!RACE!!Total population!!One race!!White"},
        {"DP05_0038E", "Estimate!!RACE!!Total population!!One race!!Black or African American"},
        {"DP05_0039E", "Estimate!!RACE!!Total population!!One race!!American Indian and Alaska Native"},
        {"DP05_0044E", "Estimate!!RACE!!Total population!!One race!!Asian"},
        {"DP05_0052E", "Estimate!!RACE!!Total population!!One race!!Native Hawaiian and Other Pacific Islander"},
        {"DP05_0057E", "Estimate!!RACE!!Total population!!One race!!Some Other Race"},
        {"DP05_0073E", "Estimate!!HISPANIC OR LATINO AND RACE!!Total population!!Hispanic or Latino (of any race)"},
        {"DP02_0001E", "Estimate!!HOUSEHOLDS BY TYPE!!Total households"},
        {"DP02_0016E", "Estimate!!HOUSEHOLDS BY TYPE!!Total households!!Average household size"},
        {"DP02_0067PE", "Percent!!EDUCATIONAL ATTAINMENT!!Population 25 years and over!!High school graduate or higher"},
        {"DP02_0068PE", "Percent!!EDUCATIONAL ATTAINMENT!!Population 25 years and over!!Bachelor's degree or higher"},
        {"DP03_0009PE", "Percent!!EMPLOYMENT STATUS!!Civilian labor force!!Unemployment Rate"},
        {"DP03_0025E", "Estimate!!COMMUTING TO WORK!!Workers 16 years and over!!Mean travel time to work (minutes)"},
        {"DP03_0062E", "Estimate!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Total households!!Median household income (dollars)"},
        {"DP03_0088E", "Estimate!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Per capita income (dollars)"},
        {"DP03_0096PE", "Percent!!HEALTH INSURANCE COVERAGE!!Civilian noninstitutionalized population!!With health insurance coverage"},
        {"DP03_0099PE", "Percent!!HEALTH INSURANCE COVERAGE!!Civilian noninstitutionalized population!!No health insurance coverage"},
        {"DP03_0128PE", "Percent!!PERCENTAGE OF FAMILIES AND PEOPLE WHOSE INCOME IN THE PAST 12 MONTHS IS BELOW THE POVERTY LEVEL!!All people"},
        {"DP04_0001E", "Estimate!!HOUSING OCCUPANCY!!Total housing units"},
        {"DP04_0046PE", "Percent!!HOUSING TENURE!!Occupied housing units!!Owner-occupied"},
        {"DP04_0089E", "Estimate!!VALUE!!Owner-occupied units!!Median (dollars)"},
        {"DP04_0134E", "Estimate!!GROSS RENT!!Occupied units paying rent!!Median (dollars)"},
    };
    return labels;
}

const QStringList kIncomeBrackets = {"Less than $10,000",     "$10,000 to $14,999",   "$15,000 to $24,999",
                                     "$25,000 to $34,999",    "$35,000 to $49,999",   "$50,000 to $74,999",
                                     "$75,000 to $99,999",    "$100,000 to $149,999", "$150,000 to $199,999",
                                     "$200,000 or more"};

// An estimate's label in 2023; the other year differs in one place only.
std::optional<QString> estimateLabel(const QString& estimate)
{
    if (const auto named = namedLabels().constFind(estimate); named != namedLabels().constEnd())
        return *named;
    static const QRegularExpression pattern(QStringLiteral("^DP0([2-5])_(\\d{4})(P?)E$"));
    const QRegularExpressionMatch match = pattern.match(estimate);
    if (!match.hasMatch())
        return std::nullopt;
    const int number = match.captured(2).toInt();
    if (number < 1 || number > kMadeUpFigures)
        return std::nullopt;
    const QString kind = match.captured(3).isEmpty() ? "Estimate" : "Percent";
    if (match.captured(1) == "3" && number >= 52 && number <= 61)
        return kind + "!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Total households!!"
               + kIncomeBrackets[number - 52];
    return kind + "!!MADE-UP TABLE DP0" + match.captured(1) + "!!Figure " + match.captured(2);
}

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

const QList<int> CensusApi::kYears = {2022, 2023};

std::optional<QString> censusApiLabel(const QString& variable, int year)
{
    if (!CensusApi::kYears.contains(year))
        return std::nullopt;
    // Between the years the data profile renumbered its household size row.
    if (year == 2022 && variable.startsWith("DP02_0016"))
        return variable.endsWith('E') ? std::optional<QString>("Estimate!!HOUSEHOLDS BY TYPE!!Total households!!Householder living alone")
                                      : std::nullopt;
    const bool margin = variable.endsWith('M');
    const std::optional<QString> label = estimateLabel(margin ? variable.chopped(1) + 'E' : variable);
    if (!label || !margin)
        return label;
    QString marginLabel = *label;
    return marginLabel.replace(QRegularExpression("^(Estimate|Percent)"), margin && variable.endsWith("PM")
                                                                                  ? "Percent Margin of Error"
                                                                                  : "Margin of Error");
}

QByteArray censusApiVariablesJson(int year)
{
    QJsonObject variables;
    variables.insert("for", QJsonObject{{"label", "Census API FIPS 'for' clause"}, {"concept", "Census API Geography Specification"}});
    variables.insert("NAME", QJsonObject{{"label", "Geographic Area Name"}, {"predicateType", "string"}});
    QStringList ids = namedLabels().keys();
    for (const char* table : {"DP02", "DP03", "DP04", "DP05"}) {
        for (int number = 1; number <= kMadeUpFigures; ++number) {
            const QString base = QStringLiteral("%1_%2").arg(table).arg(number, 4, 10, QChar('0'));
            ids << base + "E" << base + "PE";
        }
    }
    for (const QString& estimate : ids) {
        for (const QString& id : {estimate, estimate.chopped(1) + 'M'}) {
            if (const std::optional<QString> label = censusApiLabel(id, year))
                variables.insert(id, QJsonObject{{"label", *label}, {"group", id.left(4)},
                                                 {"predicateType", id.endsWith('E') ? "int" : "float"}});
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

std::optional<QString> CensusApi::madeUpValue(const QString& zcta, const QString& variable)
{
    return madeUpValue(zcta, variable, censusApiLabel(variable, 2023).value_or(QString()));
}

std::optional<QString> CensusApi::madeUpValue(const QString& zcta, const QString& variable, const QString& text)
{
    // The samples' gaps are fixed (01830 has no median income and an annotation for
    // its home value); invented places get theirs at random.
    const int h = hashOf(zcta + ' ' + variable);
    const bool sample = sampleNameCell(zcta).has_value();
    if ((!sample && h % 97 == 0) || (zcta == "01830" && variable.startsWith("DP04_0089")))
        return QStringLiteral("-666666666");
    if ((!sample && h % 89 == 0) || (zcta == "01830" && variable.startsWith("DP03_0062")))
        return std::nullopt;
    const bool margin = variable.endsWith('M');
    QString value;
    if (text.startsWith("Percent"))
        value = QString::number((h % 1000) / 10.0, 'f', 1);
    else if (text.contains("(dollars)"))
        value = QString::number(20000 + h % 230000);
    else if (text.contains("(years)") || text.contains("(minutes)"))
        value = QString::number(10 + (h % 500) / 10.0, 'f', 1);
    else if (text.contains("household size"))
        value = QString::number(1.5 + (h % 200) / 100.0, 'f', 2);
    else
        value = QString::number(h % 40000);
    return margin ? QString::number(h % 900 / (text.startsWith("Percent") ? 10.0 : 1.0)) : value;
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
    return tableFor(variables, zctas);
}

CensusApiReply CensusApi::tableFor(const QStringList& variables, const QStringList& zctas) const
{
    QJsonArray header;
    QStringList labels;
    for (const QString& variable : variables) {
        header.append(variable);
        labels.append(censusApiLabel(variable, 2023).value_or(QString()));
    }
    header.append(kGeography);
    QByteArray body = "[" + QJsonDocument(header).toJson(QJsonDocument::Compact);
    for (const QString& zcta : zctas) {
        QJsonArray row;
        for (qsizetype v = 0; v < variables.size(); ++v) {
            if (variables[v] == "NAME") {
                row.append("ZCTA5 " + zcta);
                continue;
            }
            const std::optional<QString> value = madeUpValue(zcta, variables[v], labels[v]);
            row.append(value ? QJsonValue(*value) : QJsonValue());
        }
        row.append(zcta);
        body += ",\n" + QJsonDocument(row).toJson(QJsonDocument::Compact);
    }
    body += "]";
    return {200, kJson, body, "census: " + QString::number(zctas.size()) + " rows"};
}

}  // namespace zd
