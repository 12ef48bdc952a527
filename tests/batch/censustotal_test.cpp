// The running total over a run's answers: each ZCTA once, the zero-estimate rule
// on real answer rows, the API's annotation values, a percent from its count and
// base when those arrived in another answer than the percent.
#include "batch/censustotal.h"
#include "census/censusanswer.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// Population (a count), owner-occupied (a percent, its count and base asked for
// beside it in a second answer) and a median. 60614 has no population estimate.
CensusFigures threePlaces()
{
    CensusFigures figures;
    figures.variables = {CensusVariable{"DP05_0001E", FigureKind::Count}, CensusVariable{"DP04_0046PE", FigureKind::Percent},
                         CensusVariable{"DP05_0018E", FigureKind::Years}};
    figures.labels = {"Total population", "Owner-occupied", "Median age"};
    const QList<QByteArray> bodies = {
        R"([["DP05_0001E","DP05_0001M","DP04_0046PE","DP04_0046PM","DP05_0018E","DP05_0018M","zip code tabulation area"],
            ["1200","300","40.0","3.0","39.1","1.0","03053"],
            ["800","400","60.0","5.0","41.0","2.0","01830"],
            ["0","89","0.0","1.0","-666666666","-222222222","00503"],
            ["0","120","0.0","1.0","30.0","1.0","00501"]])",
        R"([["DP04_0046E","DP04_0046M","DP04_0045E","DP04_0045M","zip code tabulation area"],
            ["400","30","1000","40","03053"],
            ["300","40","500","30","01830"],
            ["0","7","0","9","00503"],
            ["0","10","0","10","00501"]])",
    };
    for (const QByteArray& body : bodies) {
        CensusAnswer answer = parseCensusAnswer(200, body);
        EXPECT_EQ(answer.kind, CensusAnswerKind::Table);
        figures.keep(std::move(answer));
    }
    return figures;
}

QList<FigureTotalRule> rules()
{
    return {{TotalWay::Sum, {}, {}, NoTotalReason::NotApplicable},
            {TotalWay::Share, "DP04_0046E", "DP04_0045E", NoTotalReason::NotApplicable},
            {TotalWay::None, {}, {}, NoTotalReason::Median}};
}

TEST(CensusTotal, EachZctaCountsOnceAndOnlyTheLargestZeroMarginIsTaken)
{
    CensusTotal total(threePlaces(), rules(), {"DP04_0046E", "DP04_0045E"}, true);
    for (const char* zcta : {"03053", "01830", "03053", "00503", "00501", "99999"})
        total.add(zcta);
    EXPECT_EQ(total.placeCount(), 4);
    const EntryResult result = total.result();
    EXPECT_EQ(result.entry, "total");
    EXPECT_EQ(result.location, "total of 4 ZIP Code Tabulation Areas");
    ASSERT_EQ(result.figures.size(), 3);
    // 2,000 people; sqrt(300² + 400² + 120²): of the two zero estimates the larger
    // margin alone (both would make 522, the first one 508).
    EXPECT_EQ(result.figures[0].value, "2,000");
    EXPECT_EQ(result.figures[0].margin, "514");
    EXPECT_EQ(result.figures[0].variable, "DP05_0001E");
    EXPECT_EQ(result.figures[0].marginVariable, "DP05_0001M");
    // 700 of 1,500, not the mean of the places' percents, with the zero rule on
    // the count's and base's margins: sqrt(30²+40²+10²) and sqrt(40²+30²+10²), so
    // (1/1500)·sqrt(2600 − 0.4667²·2600) = 3.0%.
    EXPECT_EQ(result.figures[1].value, "46.7%");
    EXPECT_EQ(result.figures[1].margin, "3.0%");
    EXPECT_EQ(result.figures[2].value, "");
    EXPECT_EQ(result.figures[2].margin, "");
    EXPECT_EQ(result.note, "no total for Median age (medians cannot be added)");
}

TEST(CensusTotal, APlaceWithoutAnEstimateLeavesThatFigureWithoutATotalAndSaysSo)
{
    CensusFigures figures = threePlaces();
    figures.answers[0] = parseCensusAnswer(
        200, R"([["DP05_0001E","DP05_0001M","DP04_0046PE","DP04_0046PM","DP05_0018E","DP05_0018M","zip code tabulation area"],
                 ["1200","300","40.0","3.0","39.1","1.0","03053"],
                 ["-666666666","-222222222","60.0","5.0","41.0","2.0","01830"]])");
    CensusTotal total(figures, rules(), {"DP04_0046E", "DP04_0045E"}, false);
    total.add("03053");
    total.add("01830");
    total.leaveOut("10001");
    const EntryResult result = total.result();
    EXPECT_EQ(result.figures[0].value, "");  // not 1,200 as though 01830 had none
    EXPECT_FALSE(result.figures[0].margin);  // no margins asked for
    EXPECT_EQ(result.figures[1].value, "46.7%");
    EXPECT_TRUE(result.note.startsWith("the total lacks 1 ZIP code whose figures could not be had; "))
        << result.note.toStdString();
    EXPECT_TRUE(result.note.contains("no total for Total population (no estimate for 01830); Median age (medians "
                                     "cannot be added)"))
        << result.note.toStdString();
}

// An empty total or margin names the ZCTAs that emptied it, the first ten and
// how many more; a total of nothing but failed entries is no found total.
TEST(CensusTotal, TheNoteNamesTheZctasThatLeftATotalOrItsMarginEmpty)
{
    CensusFigures figures;
    figures.variables = {CensusVariable{"DP05_0001E", FigureKind::Count}, CensusVariable{"DP05_0002E", FigureKind::Count}};
    figures.labels = {"Total population", "Male"};
    figures.universes = {"Total population", "Total population"};
    QByteArray body = R"([["DP05_0001E","DP05_0001M","DP05_0002E","DP05_0002M","zip code tabulation area"])";
    for (int zcta = 1; zcta <= 12; ++zcta)
        body += QStringLiteral(R"(,["-666666666","-222222222","%1","%2","%3"])")
                    .arg(zcta)
                    .arg(zcta == 3 ? "-999999999" : "4")
                    .arg(10000 + zcta)
                    .toUtf8();
    figures.keep(parseCensusAnswer(200, body + "]"));
    CensusTotal total(figures, {{TotalWay::Sum, {}, {}, {}}, {TotalWay::Sum, {}, {}, {}}}, {}, true);
    for (int zcta = 1; zcta <= 12; ++zcta)
        total.add(QString::number(10000 + zcta));
    const EntryResult result = total.result();
    EXPECT_EQ(result.status, EntryStatus::Found);
    EXPECT_EQ(result.figures[1].value, "78");
    EXPECT_EQ(result.figures[1].margin, "");
    EXPECT_EQ(result.figures[1].unit, "count");
    EXPECT_EQ(result.figures[1].universe, "Total population");
    EXPECT_EQ(result.note, "no total for Total population (no estimate for 10001, 10002, 10003, 10004, 10005, "
                           "10006, 10007, 10008, 10009, 10010 and 2 more); no margin of error for Male (10003 "
                           "gave none)");

    CensusTotal failed(figures, {{TotalWay::Sum, {}, {}, {}}, {TotalWay::Sum, {}, {}, {}}}, {}, true);
    failed.leaveOut("10001");
    EXPECT_EQ(failed.result().status, EntryStatus::Failed);
    EXPECT_EQ(CensusTotal(figures, {}, {}, false).result().status, EntryStatus::NotFound);
}

// -999999999: no margin could be worked out, so the total's is unknown, not
// understated; -555555555: the estimate is controlled, its margin 0.
TEST(CensusTotal, AMarginsAnnotationLeavesTheTotalsMarginUnknownOrAddsZeroAsItSays)
{
    struct Case {
        QByteArray countMargin;
        const char* shareMargin;
    };
    for (const Case& each : {Case{"-999999999", ""}, Case{"-555555555", "2.2%"}, Case{"0", "2.2%"}}) {
        CensusFigures figures = threePlaces();
        figures.answers[1] = parseCensusAnswer(
            200, R"([["DP04_0046E","DP04_0046M","DP04_0045E","DP04_0045M","zip code tabulation area"],
                     ["400",")" + each.countMargin + R"(","1000","40","03053"],
                     ["300","40","500","30","01830"]])");
        CensusTotal total(figures, rules(), {"DP04_0046E", "DP04_0045E"}, true);
        total.add("03053");
        total.add("01830");
        const EntryResult result = total.result();
        EXPECT_EQ(result.figures[0].margin, "500");
        EXPECT_EQ(result.figures[1].value, "46.7%");
        EXPECT_EQ(result.figures[1].margin, each.shareMargin) << each.countMargin.constData();
    }
}

// A top-coded value is a bound, never a number to add (-333333333 beside it).
TEST(CensusTotal, ACodedValueIsNeverAdded)
{
    CensusFigures figures = threePlaces();
    figures.answers[0] = parseCensusAnswer(
        200, R"([["DP05_0001E","DP05_0001M","DP04_0046PE","DP04_0046PM","DP05_0018E","DP05_0018M","zip code tabulation area"],
                 ["1200","300","40.0","3.0","39.1","1.0","03053"],
                 ["250001","-333333333","60.0","5.0","41.0","2.0","01830"]])");
    CensusTotal total(figures, rules(), {"DP04_0046E", "DP04_0045E"}, true);
    total.add("03053");
    total.add("01830");
    const EntryResult result = total.result();
    EXPECT_EQ(result.figures[0].value, "");
    EXPECT_TRUE(result.note.contains("Total population (no estimate for 01830)")) << result.note.toStdString();
}

TEST(CensusTotal, TheApisAnnotationValuesAreNoNumbers)
{
    // As the running total reads them, straight from an answer's row.
    EXPECT_EQ(censusNumber(QByteArrayView("1234")), 1234);
    EXPECT_EQ(censusNumber(QByteArrayView("-2.5")), -2.5);  // a change may be negative
    EXPECT_EQ(censusNumber(QByteArrayView(" 0.5 ")), 0.5);
    for (const char* refused : {"", "  ", "-666666666", "-888888888.0", "-555555555", "*****", "12a", "1 2", "nan",
                                "inf", "1e999", "--1"})
        EXPECT_FALSE(censusNumber(QByteArrayView(refused))) << refused;
}

}  // namespace
}  // namespace zd
