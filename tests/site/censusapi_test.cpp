#include "census/censusanswer.h"
#include "census/censuslabels.h"
#include "census/censusrequest.h"
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

TEST(CensusApiSite, VariableListsForItsYearsDifferWhereANumberMoved)
{
    SiteProcess site;
    const RawResponse newest = rawGet(site.port(), listOf(2023));
    const RawResponse older = rawGet(site.port(), listOf(2022));
    EXPECT_EQ(rawGet(site.port(), listOf(2024)).status, 404);
    const std::optional<CensusLabels> labels2023 = CensusLabels::parse(newest.body);
    const std::optional<CensusLabels> labels2022 = CensusLabels::parse(older.body);
    ASSERT_TRUE(labels2023 && labels2022);
    EXPECT_EQ(labels2023->label("DP05_0001M"), "Margin of Error!!SEX AND AGE!!Total population");
    EXPECT_EQ(labels2023->label("DP03_0009PM"), "Percent Margin of Error!!EMPLOYMENT STATUS!!Civilian labor force!!Unemployment Rate");
    EXPECT_TRUE(labelMatchesConcept(labels2023->label("DP02_0016E"), "Average household size"));
    EXPECT_FALSE(labelMatchesConcept(labels2022->label("DP02_0016E"), "Average household size"));
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
