#include "census/censusanswer.h"
#include "census/censuslabels.h"
#include "census/censusrequest.h"
#include "site/censusapi.h"
#include "tests/support/rawhttp.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <signal.h>

namespace zd::test {
namespace {

// Every request to the imitation carries a key, as the API's must.
QByteArray data(const QByteArray& query) { return "/data/2023/acs/acs5/profile?" + query + "&key=test-key-1"; }

QByteArray pathOf(const QString& url) { return url.mid(url.indexOf("/data/")).toLatin1() + "&key=test-key-1"; }

QByteArray listOf(int year)
{
    return "/data/" + QByteArray::number(year) + "/acs/acs5/profile/variables.json?key=test-key-1";
}

TEST(CensusApiSite, AnswersInTheApisShapesThatTheProgramReads)
{
    QTemporaryDir folder;
    const QString logPath = folder.filePath("site.log");
    SiteProcess site({"--log", logPath, "--refuse-key", "refused-key-123"});

    const RawResponse table = rawGet(site.port(), pathOf(censusDataUrl("", 2023, {"DP05_0001E", "DP03_0062E"},
                                                                       {"03053", "01830", "99999"})));
    EXPECT_EQ(table.status, 200);
    EXPECT_TRUE(table.body.startsWith("[[\"DP05_0001E\",\"DP03_0062E\",\"zip code tabulation area\"],\n"));
    const CensusAnswer answer = parseCensusAnswer(table.status, table.body);
    ASSERT_EQ(answer.kind, CensusAnswerKind::Table);
    EXPECT_EQ(answer.rows.keys().size(), 2);  // 99999 is no ZCTA of the site's
    EXPECT_TRUE(answer.value("03053", "DP05_0001E").has_value());
    EXPECT_FALSE(answer.value("01830", "DP03_0062E").has_value());  // null in the answer

    const QList<std::tuple<QByteArray, int, CensusAnswerKind, QByteArray>> shapes = {
        {data("get=DP05_0001E&for=zip%20code%20tabulation%20area:99999"), 204, CensusAnswerKind::NoData, ""},
        {data("get=DP05_0001E,DP77_0001E&for=zip%20code%20tabulation%20area:03053"), 400,
         CensusAnswerKind::UserError, "error: unknown variable 'DP77_0001E'"},
        {"/data/2023/acs/acs5/profile?get=DP05_0001E&for=zip%20code%20tabulation%20area:03053&key=refused-key-123",
         200, CensusAnswerKind::KeyRefused, "<html>"},
        {"/data/2031/acs/acs5/profile?get=DP05_0001E&for=zip%20code%20tabulation%20area:03053&key=k", 404,
         CensusAnswerKind::Unreadable, "<html>"},
        {data("get=DP05_0001E&for=zip%20code%20tabulation%20area:00503"), 500, CensusAnswerKind::Transient,
         "There was an error while running your query."},
    };
    for (const auto& [target, status, kind, start] : shapes) {
        const RawResponse response = rawGet(site.port(), target);
        EXPECT_EQ(response.status, status) << target.constData();
        EXPECT_EQ(parseCensusAnswer(response.status, response.body).kind, kind) << target.constData();
        EXPECT_TRUE(response.body.startsWith(start)) << response.body.left(80).constData();
    }
    QStringList many;
    for (int i = 1; i <= 51; ++i)
        many.append(QStringLiteral("DP02_%1E").arg(i, 4, 10, QChar('0')));
    EXPECT_EQ(rawGet(site.port(), pathOf(censusDataUrl("", 2023, many, {"03053"}))).status, 400);

    site.stop(SIGTERM);
    const QByteArray log = readWholeFile(logPath);
    EXPECT_TRUE(log.contains("key=*** 200")) << log.constData();
    EXPECT_FALSE(log.contains("refused-key-123"));
}

TEST(CensusApiSite, EachYearServesItsRealVariableListAndOtherYearsAreNotFound)
{
    SiteProcess site;
    const RawResponse newest = rawGet(site.port(), listOf(2023));
    const RawResponse older = rawGet(site.port(), listOf(2021));
    for (const int missing : {2024, 2022, 2016})
        EXPECT_EQ(rawGet(site.port(), listOf(missing)).status, 404);
    const std::optional<CensusLabels> labels2023 = CensusLabels::parse(newest.body);
    const std::optional<CensusLabels> labels2021 = CensusLabels::parse(older.body);
    ASSERT_TRUE(labels2023 && labels2021);
    EXPECT_EQ(labels2023->label("DP05_0001M"), "Margin of Error!!SEX AND AGE!!Total population");
    EXPECT_EQ(labels2023->label("DP03_0009PM"), "Percent Margin of Error!!EMPLOYMENT STATUS!!Civilian labor force!!Unemployment Rate");
    const QString hispanic = "HISPANIC OR LATINO AND RACE!!Total population!!Hispanic or Latino (of any race)";
    EXPECT_EQ(labels2023->label("DP05_0076E"), "Estimate!!" + hispanic);
    EXPECT_EQ(labels2021->label("DP05_0071E"), "Estimate!!" + hispanic);
    EXPECT_EQ(labels2023->label("DP05_0071E"),
              "Estimate!!Race alone or in combination with one or more other races!!Total population!!American "
              "Indian and Alaska Native");
    EXPECT_GT(labels2023->size(), 2000);

    // A variable is asked for by the ID of the year asked for.
    const QByteArray asked = "get=DP05_0047E&for=zip%20code%20tabulation%20area:03053&key=test-key-1";
    EXPECT_EQ(rawGet(site.port(), "/data/2023/acs/acs5/profile?" + asked).status, 200);
    EXPECT_EQ(rawGet(site.port(), "/data/2017/acs/acs5/profile?" + asked).status, 200);
    EXPECT_EQ(rawGet(site.port(), "/data/2017/acs/acs5/profile?get=DP05_0091E&for=zip%20code%20tabulation%20area:03053&key=test-key-1").status, 400);
}

// The made-up figures of 2023 as numbers; nothing for null or an annotation.
std::optional<double> figure(const QString& zcta, const QString& variable)
{
    const std::optional<QString> value = CensusApi::madeUpValue(zcta, variable, 2023);
    if (!value || value->startsWith('-'))
        return std::nullopt;
    bool ok = false;
    const double number = value->toDouble(&ok);
    EXPECT_TRUE(ok) << variable.toStdString() << " " << value->toStdString();
    return number;
}

QStringList madeUpZctas()
{
    QStringList zctas = {"03053", "01830", "90210"};
    for (int n = 0; n < 60; ++n)
        zctas.append(QString::number(10007 + n * 1499));
    return zctas;
}

TEST(CensusApiFigures, PartsAddUpToTheirWholesAndNeverExceedThem)
{
    struct Sum {
        const char* whole;
        QStringList parts;
    };
    QStringList ages, incomes;
    for (int n = 5; n <= 17; ++n)
        ages.append(QStringLiteral("DP05_%1E").arg(n, 4, 10, QChar('0')));
    for (int n = 52; n <= 61; ++n)
        incomes.append(QStringLiteral("DP03_%1E").arg(n, 4, 10, QChar('0')));
    const QList<Sum> sums = {
        {"DP05_0001E", {"DP05_0002E", "DP05_0003E"}},                 // male and female
        {"DP05_0001E", ages},                                        // the age brackets
        {"DP05_0001E", {"DP05_0019E", "DP05_0021E"}},                 // under 18, 18 and over
        {"DP05_0025E", {"DP05_0026E", "DP05_0027E"}},                 // 18 and over by sex
        {"DP05_0033E", {"DP05_0034E", "DP05_0035E"}},                 // one race, two or more
        {"DP05_0036E", {"DP05_0037E", "DP05_0038E", "DP05_0039E", "DP05_0047E", "DP05_0055E", "DP05_0060E"}},
        {"DP05_0075E", {"DP05_0076E", "DP05_0081E"}},                 // Hispanic or not
        {"DP03_0051E", incomes},                                     // income brackets
        {"DP02_0001E", {"DP03_0051E"}},                               // the same households
        {"DP04_0001E", {"DP04_0002E", "DP04_0003E"}},                 // occupied and vacant
        {"DP04_0045E", {"DP04_0046E", "DP04_0047E"}},                 // owners and renters
        {"DP04_0002E", {"DP04_0045E"}},
    };
    for (const QString& zcta : madeUpZctas()) {
        for (const Sum& sum : sums) {
            const std::optional<double> whole = figure(zcta, sum.whole);
            double parts = 0;
            bool all = whole.has_value();
            for (const QString& part : sum.parts) {
                const std::optional<double> value = figure(zcta, part);
                all = all && value;
                parts += value.value_or(0);
            }
            if (all) {
                EXPECT_EQ(parts, *whole) << zcta.toStdString() << ' ' << sum.whole;
            }
        }
        const std::optional<double> under5 = figure(zcta, "DP05_0005E"), under18 = figure(zcta, "DP05_0019E");
        if (under5 && under18) {
            EXPECT_LE(*under5, *under18) << zcta.toStdString();
        }
    }

    // Any count is at most the count its label sits under, in the whole list.
    const CensusProfile* profile = CensusProfile::ofYear(2023);
    ASSERT_TRUE(profile);
    QHash<QString, QString> idOfLabel;
    for (const QString& id : profile->variables()) {
        if (!id.endsWith("PE") && !idOfLabel.contains(*profile->label(id)))
            idOfLabel.insert(*profile->label(id), id);
    }
    int compared = 0;
    for (const QString& zcta : {QString("03053"), QString("20011")}) {
        for (auto it = idOfLabel.constBegin(); it != idOfLabel.constEnd(); ++it) {
            const QString parentLabel = it.key().left(it.key().lastIndexOf("!!"));
            if (!idOfLabel.contains(parentLabel) || it.key().endsWith("(dollars)"))
                continue;
            const std::optional<QString> part = CensusApi::madeUpValue(zcta, it.value());
            const std::optional<QString> whole = CensusApi::madeUpValue(zcta, idOfLabel.value(parentLabel));
            if (!part || !whole || part->contains('.') || whole->contains('.') || part->startsWith('-')
                || whole->startsWith('-'))
                continue;
            ++compared;
            EXPECT_LE(part->toLongLong(), whole->toLongLong()) << zcta.toStdString() << ' ' << it.key().toStdString();
        }
    }
    EXPECT_GT(compared, 500);
}

TEST(CensusApiFigures, PercentsMatchTheirCountsAndMediansMarginsAndSizesArePlausible)
{
    for (const QString& zcta : madeUpZctas()) {
        const std::optional<double> total = figure(zcta, "DP05_0001E"), male = figure(zcta, "DP05_0002E"),
                                    malePercent = figure(zcta, "DP05_0002PE");
        if (total && male && malePercent) {
            EXPECT_NEAR(*malePercent, 100.0 * *male / *total, 0.051) << zcta.toStdString();
        }
        const std::optional<double> households = figure(zcta, "DP02_0001E"), size = figure(zcta, "DP02_0016E");
        if (total && households && size) {
            EXPECT_NEAR(*total / *households, *size, 0.05) << zcta.toStdString();
        }
        const QList<std::tuple<const char*, double, double>> ranges = {
            {"DP03_0062E", 10000, 300000}, {"DP04_0089E", 50000, 1000000}, {"DP04_0134E", 300, 4000},
            {"DP05_0018E", 18, 65},        {"DP03_0025E", 5, 60},          {"DP03_0009PE", 0, 20},
            {"DP03_0128PE", 0, 50},        {"DP02_0016E", 1.5, 4},         {"DP05_0004E", 60, 170},
            {"DP03_0101PE", 0, 30},        {"DP03_0099PE", 0, 30}};  // the uninsured: of those under 19, of all
        for (const auto& [variable, least, most] : ranges) {
            if (const std::optional<double> value = figure(zcta, variable)) {
                EXPECT_GE(*value, least) << zcta.toStdString() << ' ' << variable;
                EXPECT_LE(*value, most) << zcta.toStdString() << ' ' << variable;
            }
        }
    }
    const CensusProfile* profile = CensusProfile::ofYear(2023);
    for (const QString& zcta : {QString("03053"), QString("31415")}) {
        for (const QString& id : profile->variables()) {
            const std::optional<double> estimate = figure(zcta, id);
            const std::optional<double> margin = figure(zcta, id.chopped(1) + 'M');
            if (id.endsWith("PE") && estimate) {
                EXPECT_GE(*estimate, 0) << id.toStdString();
                EXPECT_LE(*estimate, 100) << id.toStdString();
            }
            if (estimate && margin && *estimate > 0) {
                EXPECT_LT(*margin, *estimate) << zcta.toStdString() << ' ' << id.toStdString();
            }
        }
    }
    // The samples' fixed gaps.
    EXPECT_FALSE(CensusApi::madeUpValue("01830", "DP03_0062E").has_value());
    EXPECT_EQ(CensusApi::madeUpValue("01830", "DP04_0089E"), QString("-666666666"));
    EXPECT_FALSE(CensusApi::madeUpValue("03053", "DP77_0001E").has_value());
}

TEST(CensusApiSite, EveryRequestNeedsAKeyAsTheApisDo)
{
    SiteProcess site({"--refuse-key", "refused-key-123"});
    for (const QByteArray& target : {QByteArray("/data/2023/acs/acs5/profile/variables.json"),
                                     QByteArray("/data/2023/acs/acs5/profile?get=DP05_0001E&for=zip%20code%20"
                                                "tabulation%20area:03053&key="),
                                     QByteArray("/data/2031/acs/acs5/profile/variables.json")}) {
        const RawResponse missing = rawGet(site.port(), target);
        EXPECT_EQ(missing.status, 302) << target.constData();
        EXPECT_EQ(missing.header("Location"), "/data/missing_key.html") << target.constData();
    }
    const RawResponse page = rawGet(site.port(), "/data/missing_key.html");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(parseCensusAnswer(page.status, page.body).kind, CensusAnswerKind::KeyRefused);

    const RawResponse refused = rawGet(site.port(), "/data/2023/acs/acs5/profile/variables.json?key=refused-key-123");
    EXPECT_EQ(refused.status, 200);
    EXPECT_FALSE(refused.header("X-DataWebAPI-KeyError").isEmpty()) << refused.head.constData();
    EXPECT_EQ(parseCensusAnswer(refused.status, refused.body).kind, CensusAnswerKind::KeyRefused);

    const RawResponse taken = rawGet(site.port(), listOf(2023));
    EXPECT_EQ(taken.status, 200);
    EXPECT_TRUE(taken.header("X-DataWebAPI-KeyError").isEmpty());
}

}  // namespace
}  // namespace zd::test
