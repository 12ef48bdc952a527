#include "batch/censusentries.h"
#include "census/censusfigure.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// Three figures asked for in two requests, as a long list with margins is: the
// first answer holds two of them (in another order than asked, with a margin
// missing), the second the third, and one ZCTA is only in the first.
CensusFigures figuresInTwoAnswers()
{
    CensusFigures figures;
    figures.variables = {CensusVariable{"DP05_0001E", FigureKind::Count}, CensusVariable{"DP03_0062E", FigureKind::Dollars},
                         CensusVariable{"DP02_0068PE", FigureKind::Percent}};
    figures.labels = {"Population", "Median household income", "Bachelor's degree or higher"};
    const QList<QByteArray> bodies = {
        R"([["DP03_0062E","DP05_0001E","DP05_0001M","DP03_0062M","zip code tabulation area"],
            ["136900","19756","412",null,"03053"],
            ["-666666666","0","12","-222222222","01830"]])",
        R"([["DP02_0068PM","DP02_0068PE","zip code tabulation area"],
            ["1.9","41.3","03053"]])",
    };
    for (const QByteArray& body : bodies) {
        CensusAnswer answer = parseCensusAnswer(200, body);
        EXPECT_EQ(answer.kind, CensusAnswerKind::Table);
        figures.keep(std::move(answer));
    }
    figures.failedZctas.insert("10001", "the transfer failed");
    return figures;
}

QString shown(const char* value, FigureKind kind) { return censusDisplayValue(QString(value), kind); }
QString noEstimate(FigureKind kind) { return censusDisplayValue(std::nullopt, kind); }

TEST(CensusEntries, EachFigureAndMarginIsReadFromItsOwnColumnWhicheverAnswerHoldsIt)
{
    const CensusFigures figures = figuresInTwoAnswers();
    const EntryResult found = censusEntryResult(" 03053 ", figures, true);
    ASSERT_EQ(found.status, EntryStatus::Found);
    ASSERT_EQ(found.figures.size(), 3);
    EXPECT_EQ(found.figures[0].label, "Population");
    EXPECT_EQ(found.figures[0].value, shown("19756", FigureKind::Count));
    EXPECT_EQ(found.figures[0].margin, shown("412", FigureKind::Count));
    EXPECT_EQ(found.figures[0].marginVariable, "DP05_0001M");
    EXPECT_EQ(found.figures[1].value, shown("136900", FigureKind::Dollars));
    EXPECT_EQ(found.figures[1].margin, noEstimate(FigureKind::Dollars));
    EXPECT_EQ(found.figures[2].variable, "DP02_0068PE");
    EXPECT_EQ(found.figures[2].value, shown("41.3", FigureKind::Percent));
    EXPECT_EQ(found.figures[2].margin, shown("1.9", FigureKind::Percent));

    // A ZCTA that the second answer lacks, annotations standing for no estimate.
    const EntryResult partial = censusEntryResult("01830", figures, true);
    ASSERT_EQ(partial.figures.size(), 3);
    EXPECT_EQ(partial.figures[0].value, shown("0", FigureKind::Count));
    EXPECT_EQ(partial.figures[1].value, noEstimate(FigureKind::Dollars));
    EXPECT_EQ(partial.figures[1].margin, noEstimate(FigureKind::Dollars));
    EXPECT_EQ(partial.figures[2].value, noEstimate(FigureKind::Percent));

    // Without margins nothing of them is set.
    const EntryResult plain = censusEntryResult("03053", figures, false);
    ASSERT_EQ(plain.figures.size(), 3);
    EXPECT_EQ(plain.figures[0].margin, std::nullopt);
    EXPECT_TRUE(plain.figures[0].marginVariable.isEmpty());
    EXPECT_EQ(plain.figures[2].value, shown("41.3", FigureKind::Percent));
}

TEST(CensusEntries, AnEntryWithoutFiguresSaysWhy)
{
    const CensusFigures figures = figuresInTwoAnswers();
    EXPECT_EQ(censusEntryResult("   ", figures, false).status, EntryStatus::Blank);
    EXPECT_EQ(censusEntryResult("1234", figures, false).status, EntryStatus::NotFiveCharacters);
    EXPECT_EQ(censusEntryResult("123456", figures, false).status, EntryStatus::NotFiveCharacters);
    EXPECT_EQ(censusEntryResult("abcde", figures, false).status, EntryStatus::NotFound);
    EXPECT_EQ(censusEntryResult("99999", figures, false).status, EntryStatus::NotFound);
    const EntryResult failed = censusEntryResult("10001", figures, false);
    EXPECT_EQ(failed.status, EntryStatus::Failed);
    EXPECT_TRUE(failed.figures.isEmpty());
}

TEST(CensusEntries, AValueIsFoundByItsColumnInARowOfBytes)
{
    const CensusAnswer answer = parseCensusAnswer(
        200, R"([["A_E","B_E","C_E","zip code tabulation area"],["1",null,"3.5","03053"]])");
    ASSERT_EQ(answer.kind, CensusAnswerKind::Table);
    EXPECT_EQ(answer.value("03053", 0), QString("1"));
    EXPECT_EQ(answer.value("03053", 1), std::nullopt);
    EXPECT_EQ(answer.value("03053", 2), QString("3.5"));
    EXPECT_EQ(answer.value("03053", 3), std::nullopt);
    EXPECT_EQ(answer.value("03053", -1), std::nullopt);
    EXPECT_EQ(answer.value("01830", 0), std::nullopt);
}

}  // namespace
}  // namespace zd
