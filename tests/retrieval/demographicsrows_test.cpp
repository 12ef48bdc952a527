#include "retrieval/demographicsrows.h"

#include "core/apperror.h"
#include "core/listmodel.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"

#include <gtest/gtest.h>

namespace zd {
namespace {


class DemographicsRows : public ::testing::Test {
protected:
    DemographicsRows()
    {
        m_list.addColumn("Demographics");
        m_list.addColumn(" Value");
    }

    // Each row as "first column | second column".
    QStringList rows() const
    {
        QStringList texts;
        for (int position = 1; position <= m_list.rowCount(); ++position)
            texts.append(m_list.cellText(position, 1) + " | " + m_list.cellText(position, 2));
        return texts;
    }

    static SamplePageContent ashCreek()
    {
        SamplePageContent page;
        page.zip = "55123";
        page.nameCellHtml = "<nobr>Ash&nbsp;Creek,&nbsp;MN</nobr>";
        page.figures = {{"Population", "1,204"}, {"Median&nbsp;age", "41.2"}};
        page.incomeRows = {{"Less than $10,000", "<nobr>1&nbsp;022</nobr>"}, {"$10,000 or more", "88"}};
        return page;
    }

    test::TestSite m_site;
    ListModel m_list;
};

TEST_F(DemographicsRows, LocationNameRowHasEmptyValueAndCostsOneFetch)
{
    m_site.setPage("55123", renderSamplePage(ashCreek()));
    ShowLocationName(m_list, "55123");
    EXPECT_EQ(rows(), QStringList{"AshCreek,MN | "});
    EXPECT_EQ(m_site.requestCount(), 1);
}

TEST_F(DemographicsRows, LocationNameOfEmptyZipFetchesNothing)
{
    ShowLocationName(m_list, "");
    EXPECT_EQ(m_list.rowCount(), 0);
    EXPECT_EQ(m_site.requestCount(), 0);
}

TEST_F(DemographicsRows, LocationNameUsesTheZipUntrimmedAndAddsNothingWithoutAName)
{
    ShowLocationName(m_list, " 1234");
    EXPECT_EQ(m_list.rowCount(), 0);
    EXPECT_EQ(m_site.requestedZips(), QList<QByteArray>{"%201234"});
}

TEST_F(DemographicsRows, DemographicsAddFiguresThenIncomesWithTwoFetches)
{
    m_site.setPage("55123", renderSamplePage(ashCreek()));
    ShowDemographics(m_list, "55123");
    EXPECT_EQ(rows(), (QStringList{"Population | 1,204", "Medianage | 41.2",
                                   "household income Less than $10,000 | 1022",
                                   "household income $10,000 or more | 88"}));
    EXPECT_EQ(m_site.requestedZips(), (QList<QByteArray>{"55123", "55123"}));
}

TEST_F(DemographicsRows, EachPassReadsItsOwnFreshlyFetchedPage)
{
    SamplePageContent first = ashCreek();
    first.incomeRows.clear();
    SamplePageContent second = ashCreek();
    second.figures.clear();
    second.incomeRows = {{"Over $200,000", "3"}};
    m_site.queuePages({renderSamplePage(first), renderSamplePage(second)});
    ShowDemographics(m_list, "55123");
    EXPECT_EQ(rows(), (QStringList{"Population | 1,204", "Medianage | 41.2",
                                   "household income Over $200,000 | 3"}));
}

TEST_F(DemographicsRows, DemographicsOfEmptyZipStillFetchTwice)
{
    ShowDemographics(m_list, "");
    EXPECT_EQ(m_list.rowCount(), 0);
    EXPECT_EQ(m_site.requestedZips(), (QList<QByteArray>{"", ""}));
}

TEST_F(DemographicsRows, SecondZipsBlockFollowsTheFirst)
{
    SamplePageContent other;
    other.zip = "02134";
    other.nameCellHtml = "<b>Birch Hollow";
    other.figures = {{"Population", "77"}};
    m_site.setPage("55123", renderSamplePage(ashCreek()));
    m_site.setPage("02134", renderSamplePage(other));
    for (const QString zip : {"55123", "02134"}) {
        ShowLocationName(m_list, zip);
        ShowDemographics(m_list, zip);
    }
    ASSERT_EQ(m_list.rowCount(), 7);
    EXPECT_EQ(m_list.cellText(1, 1), "AshCreek,MN");
    EXPECT_EQ(m_list.cellText(6, 1), "Birch Hollow");
    EXPECT_EQ(rows().last(), "Population | 77");
    EXPECT_EQ(m_site.requestCount(), 6);
}

// A cut-short row ends the work with the rows before it kept.

TEST_F(DemographicsRows, BreakInFigurePassKeepsEarlierRowsAndSkipsSecondPass)
{
    m_site.setPage("55123", renderSamplePage(ashCreek()).replace(
                                 "<td class=\"figure\">41.2", "41.2"));
    try {
        ShowDemographics(m_list, "55123");
        FAIL() << "expected a failure";
    } catch (const AppError& error) {
        EXPECT_EQ(error.description(), "Subscript out of range");
    }
    EXPECT_EQ(rows(), QStringList{"Population | 1,204"});
    EXPECT_EQ(m_site.requestCount(), 1);
}

TEST_F(DemographicsRows, BreakInIncomePassKeepsFiguresAndEarlierIncomeRows)
{
    m_site.setPage("55123", renderSamplePage(ashCreek()) + "</tr><tr><td class=\"text\" align=\"right\">cut");
    EXPECT_THROW(ShowDemographics(m_list, "55123"), AppError);
    EXPECT_EQ(m_list.rowCount(), 4);
    EXPECT_EQ(m_site.requestCount(), 2);
}

// The rows of an entry cut out of one page already fetched, as the command line builds them.

TEST_F(DemographicsRows, EntryRowsOfOnePageMatchTheWindowsThreeFetches)
{
    m_site.setPage("55123", renderSamplePage(ashCreek()));
    ShowLocationName(m_list, "55123");
    ShowDemographics(m_list, "55123");
    const QStringList fetchedThrice = rows();
    m_list.clearRows();
    EXPECT_EQ(appendEntryRows(m_list, "55123", renderSamplePage(ashCreek())), std::nullopt);
    EXPECT_EQ(rows(), fetchedThrice);
    m_list.clearRows();
    appendEntryRows(m_list, "", renderSamplePage(ashCreek()));
    EXPECT_EQ(rows().first(), "Population | 1,204");  // no name row for an empty entry
}

TEST_F(DemographicsRows, EntryRowsNameThePartThatBrokeOffAndKeepWhatCameBefore)
{
    const QString figureBreak =
        renderSamplePage(ashCreek()).replace("<td class=\"figure\">41.2", "41.2");
    EXPECT_EQ(appendEntryRows(m_list, "55123", figureBreak), PagePart::Figures);
    EXPECT_EQ(rows(), (QStringList{"AshCreek,MN | ", "Population | 1,204"}));
    m_list.clearRows();
    const QString incomeBreak =
        renderSamplePage(ashCreek()) + "</tr><tr><td class=\"text\" align=\"right\">cut";
    EXPECT_EQ(appendEntryRows(m_list, "55123", incomeBreak), PagePart::HouseholdIncome);
    EXPECT_EQ(m_list.rowCount(), 5);
}

}  // namespace
}  // namespace zd
