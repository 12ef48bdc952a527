#include "census/censusanswer.h"
#include "census/censusfigure.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(CensusAnswer, ATableGivesEachZctasValuesWithNullsAndAnnotationsAsNoEstimate)
{
    const QByteArray body = R"([["DP05_0001E","DP03_0062E","DP04_0089E","zip code tabulation area"],
        ["19756","136900",null,"03053"],
        ["0","-666666666","-999999999","01830"],
        ["12","-222222222","-555555555","99999"]])";
    const CensusAnswer answer = parseCensusAnswer(200, body);
    ASSERT_EQ(answer.kind, CensusAnswerKind::Table);
    ASSERT_EQ(answer.rows.size(), 3);
    EXPECT_EQ(answer.value("03053", "DP05_0001E"), QString("19756"));
    EXPECT_EQ(answer.value("03053", "DP04_0089E"), std::nullopt);
    EXPECT_EQ(answer.value("01830", "DP05_0001E"), QString("0"));
    for (const char* zcta : {"01830", "99999"}) {
        EXPECT_EQ(answer.value(zcta, "DP03_0062E"), std::nullopt) << zcta;
        EXPECT_EQ(answer.value(zcta, "DP04_0089E"), std::nullopt) << zcta;
    }
    EXPECT_FALSE(answer.rows.contains("90210"));
    const QSet<QString> wanted = {"01830", "90210"};
    EXPECT_EQ(parseCensusAnswer(200, body, &wanted).rows.keys(), QStringList({"01830"}));
}

TEST(CensusAnswer, EachOtherShapeIsToldApart)
{
    EXPECT_EQ(parseCensusAnswer(204, "").kind, CensusAnswerKind::NoData);
    const CensusAnswer unknown = parseCensusAnswer(400, "error: unknown variable 'DP99_0001E'\n");
    EXPECT_EQ(unknown.kind, CensusAnswerKind::UserError);
    EXPECT_EQ(unknown.message, "error: unknown variable 'DP99_0001E'");
    EXPECT_EQ(parseCensusAnswer(200, "<html><head><title>Invalid Key</title></head><body>...</body></html>").kind,
              CensusAnswerKind::KeyRefused);
    EXPECT_EQ(parseCensusAnswer(200, "\n<div class=\"content\"><h1>Invalid Key</h1></div>").kind,
              CensusAnswerKind::KeyRefused);
    const QByteArray general = "There was an error while running your query.  We've logged the error and we'll "
                               "correct it ASAP.  Sorry for the inconvenience.";
    EXPECT_EQ(parseCensusAnswer(200, general).kind, CensusAnswerKind::Transient);
    EXPECT_EQ(parseCensusAnswer(500, general).kind, CensusAnswerKind::Transient);
    EXPECT_EQ(parseCensusAnswer(503, "").kind, CensusAnswerKind::Transient);
}

TEST(CensusAnswer, AnswersThatAreNotTheApisTableAreUnreadableNotEmpty)
{
    for (const QByteArray& body : {QByteArray("[[\"DP05_0001E\"],[\"5\"]]"), QByteArray("{\"a\":1}"),
                                  QByteArray("[[\"DP05_0001E\",\"zip code tabulation"), QByteArray("")}) {
        EXPECT_EQ(parseCensusAnswer(200, body).kind, CensusAnswerKind::Unreadable) << body.toStdString();
    }
    EXPECT_EQ(parseCensusAnswer(404, "<html>Not found</html>").kind, CensusAnswerKind::Unreadable);
}

TEST(CensusFigure, ValuesAreShownForTheirKindAndNoEstimateStaysEmpty)
{
    EXPECT_EQ(censusDisplayValue(QString("19756"), FigureKind::Count), "19,756");
    EXPECT_EQ(censusDisplayValue(QString("2.57"), FigureKind::Count), "2.57");
    EXPECT_EQ(censusDisplayValue(QString("1234567.5"), FigureKind::Count), "1,234,567.5");
    EXPECT_EQ(censusDisplayValue(QString("18.7"), FigureKind::Percent), "18.7%");
    EXPECT_EQ(censusDisplayValue(QString("136900"), FigureKind::Dollars), "$136,900");
    EXPECT_EQ(censusDisplayValue(QString("41.2"), FigureKind::Years), "41.2 years");
    EXPECT_EQ(censusDisplayValue(QString("27.3"), FigureKind::Minutes), "27.3 minutes");
    EXPECT_EQ(censusDisplayValue(std::nullopt, FigureKind::Dollars), "");
    EXPECT_EQ(censusDisplayValue(QString("N"), FigureKind::Count), "N");
}

}  // namespace
}  // namespace zd
