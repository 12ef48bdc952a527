#include "census/censussource.h"
#include "census/censusvariables.h"

#include "tests/support/wholefile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace zd {
namespace {

TEST(CensusSettings, TheBuiltInSetIsAboutFortyFiguresAndAMarginPairsWithItsEstimate)
{
    const QList<CensusVariable>& set = builtInCensusVariables();
    EXPECT_GE(set.size(), 38);
    EXPECT_LE(set.size(), 45);
    EXPECT_EQ(marginOfErrorId("DP03_0009PE"), "DP03_0009PM");
    EXPECT_EQ(marginOfErrorId("DP05_0001E"), "DP05_0001M");
}

TEST(CensusSettings, AUsersSetIsReadOrRefusedWithTheLine)
{
    const CensusVariableSet good = parseCensusVariableSet("# mine\r\nDP05_0001E\n\nDP03_0062E\tdollars\n", "f");
    ASSERT_TRUE(good.error.isEmpty()) << good.error.toStdString();
    ASSERT_EQ(good.variables.size(), 2);
    EXPECT_EQ(good.variables[1].kind, FigureKind::Dollars);
    EXPECT_EQ(parseCensusVariableSet("DP03_0009PE\n", "f").variables[0].kind, FigureKind::Percent);
    EXPECT_FALSE(good.variables[0].kindGiven);  // its label may still make it dollars
    EXPECT_TRUE(good.variables[1].kindGiven);

    EXPECT_EQ(parseCensusVariableSet("DP05_0001E\nB01003_001E\n", "\"v.txt\"").error,
              "\"v.txt\", line 2: \"B01003_001E\" is not a data-profile estimate (DPnn_nnnnE or DPnn_nnnnPE)");
    EXPECT_TRUE(parseCensusVariableSet("DP05_0001M\n", "f").error.contains("line 1"));
    EXPECT_TRUE(parseCensusVariableSet("DP05_0001E\tpeople\n", "f").error.contains("\"people\" is not a kind"));
    EXPECT_TRUE(parseCensusVariableSet("DP05_0001E\nDP05_0001E\n", "f").error.contains("listed twice"));
    EXPECT_EQ(parseCensusVariableSet("# nothing\n", "f").error, "f names no figure");
    EXPECT_TRUE(readCensusVariableFile("/nonexistent/v.txt").error.startsWith("cannot read"));
}

TEST(CensusSettings, SourceYearAndAddressAreCheckedWithTheReason)
{
    EXPECT_EQ(dataSourceNamed("census"), DataSource::Census);
    EXPECT_EQ(dataSourceNamed("site"), DataSource::Site);
    EXPECT_EQ(sourceSettingError({"acs", "--source"}), "--source \"acs\" names no source: it is site or census");
    EXPECT_EQ(parseCensusYear("2022"), 2022);
    for (const char* bad : {"2008", "22", "20222", "x", ""})
        EXPECT_FALSE(parseCensusYear(bad)) << bad;
    EXPECT_EQ(censusUrlProblem("https://api.census.gov"), "");
    EXPECT_EQ(censusUrlProblem("http://127.0.0.1:8080"), "");
    EXPECT_EQ(censusUrlProblem("http://[::1]:8080/"), "");
    EXPECT_TRUE(censusUrlProblem("http://api.census.gov").contains("loopback"));
    EXPECT_FALSE(censusUrlProblem("https://api.census.gov/data").isEmpty());
    EXPECT_FALSE(censusUrlProblem("ftp://127.0.0.1").isEmpty());
    EXPECT_FALSE(censusUrlProblem("api.census.gov").isEmpty());
}

TEST(CensusSettings, TheKeyFileGivesItsFirstLineAndAMessageNeverHoldsTheKey)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("key");
    ASSERT_TRUE(test::writeWholeFile(path, "  0123secretkey4567 \nsecond line\n"));
    QString error;
    EXPECT_EQ(readCensusKeyFile(path, error), "0123secretkey4567");
    EXPECT_TRUE(error.isEmpty());
    ASSERT_TRUE(test::writeWholeFile(path, "\n"));
    EXPECT_EQ(readCensusKeyFile(path, error), "");
    EXPECT_TRUE(error.contains("holds no key"));
    EXPECT_EQ(readCensusKeyFile(dir.filePath("missing"), error), "");
    EXPECT_TRUE(error.startsWith("cannot read the key file"));
}

}  // namespace
}  // namespace zd
