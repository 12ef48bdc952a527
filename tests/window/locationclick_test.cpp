#include "tests/window/windowtest.h"

#include "core/siteconfig.h"
#include "window/reportview.h"

#include <QTest>

namespace zd::test {
namespace {

class LocationClick : public WindowTest {
protected:
    void clickLocation(int position)
    {
        ReportView* view = window().listView(2);
        const QRect row = view->visualRect(view->model()->index(position - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
    }
};

TEST_F(LocationClick, ShowsTheClickedLocationsNameFiguresAndIncomes)
{
    openWindow();
    click(5);
    m_pointerHistory.clear();
    clickLocation(2);
    EXPECT_EQ(state().locationList().selectedPosition(), 2);
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("01830")).rows);
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0}));
    clickLocation(1);  // a second click leaves only the second location's rows
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(LocationClick, ClickingTheShownRowAgainFetchesAgain)
{
    openWindow();
    click(5);
    const qsizetype before = m_site.requestCount();
    clickLocation(1);
    EXPECT_EQ(m_site.requestCount() - before, 3);
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
}

TEST_F(LocationClick, WithAnEmptyLocationListNothingHappens)
{
    openWindow();
    state().demographicsList().addRow(QStringLiteral("kept"));
    window().ListView2_Click();
    EXPECT_EQ(state().demographicsList().rowCount(), 1);
    EXPECT_TRUE(m_pointerHistory.isEmpty());
    EXPECT_EQ(m_site.requestCount(), 0);
}

TEST_F(LocationClick, WithNoRowSelectedNothingHappens)
{
    openWindow();
    click(5);
    state().locationList().selectPosition(0);
    m_pointerHistory.clear();
    window().ListView2_Click();
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_TRUE(m_pointerHistory.isEmpty());
}

TEST_F(LocationClick, AStatusRowStillClearsAndShowsWhatItsPageYields)
{
    openWindow();
    click(5);
    m_dialogs.queueInput(QStringLiteral("99999"));
    click(6);
    clickLocation(3);
    EXPECT_EQ(texts(state().locationList(), 2).at(2), QStringLiteral("Zip code not found."));
    EXPECT_TRUE(demographicsRows().isEmpty());
}

TEST_F(LocationClick, AnEntryWithSpacesGoesIntoTheRequestAsItStands)
{
    openWindow();
    m_dialogs.queueInput(QStringLiteral("  03053 "));
    click(6);
    const QList<QByteArray> zips = m_site.requestedZips();
    ASSERT_EQ(zips.size(), 4);
    EXPECT_EQ(zips.at(0), QByteArray("03053"));  // the lookup trims
    for (int fetch = 1; fetch <= 3; ++fetch)      // the demographics do not
        EXPECT_EQ(zips.at(fetch), QByteArray("%20%2003053%20"));
}

TEST_F(LocationClick, AnUnreachableSiteGivesAnEmptyListWithoutAMessage)
{
    openWindow();
    click(5);
    setDemographicsHostOverride(QStringLiteral("127.0.0.1:%1").arg(refusingLoopbackPort()));
    clickLocation(2);
    EXPECT_TRUE(demographicsRows().isEmpty());
    EXPECT_EQ(state().mousePointer(), 0);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(LocationClick, TheUsersClickOnAPageThatBreaksOffIsReportedAndThePointerReturns)
{
    openWindow();
    click(5);
    m_site.setPage(QStringLiteral("01830"), brokenPage(QStringLiteral("01830")));
    clickLocation(2);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const ScriptedDialogs::Message& box = m_dialogs.messages().constFirst();
    EXPECT_EQ(box.text, errorBox(QStringLiteral("Form1.ListView2_Click"), 112, QStringLiteral("Subscript out of range")));
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.style, 48);
    const QList<QPair<QString, QString>> kept = expectedRows(QStringLiteral("01830")).rows.mid(0, 2);
    EXPECT_EQ(demographicsRows(), kept);
    // Not left busy: the Delete key and "Clear List" work again.
    EXPECT_EQ(state().mousePointer(), 0);
    window().ListView1_KeyDown(46, 0);
    EXPECT_EQ(state().zipList().rowCount(), 1);
}

}  // namespace
}  // namespace zd::test
