#include "tests/window/windowtest.h"

#include "core/applicationtitle.h"
#include "core/siteconfig.h"
#include "window/reportview.h"
#include "retrieval/locationlookup.h"

#include <QTest>

namespace zd::test {
namespace {

using Help = WindowTest;
using AddOneZipCode = WindowTest;
using SampleZips = WindowTest;
using ClearList = WindowTest;
using DeleteKey = WindowTest;

const QString kTitle = QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel");

TEST_F(Help, ShowsTheSourceAndTheContactInOnePlainBoxUnderTheApplicationTitle)
{
    openWindow();
    click(1);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const ScriptedDialogs::Message& box = m_dialogs.messages().constFirst();
    EXPECT_EQ(box.text, QStringLiteral("This software uses ") + demographicsHost()
                            + QStringLiteral(" as the source database to retrieve results.\r\n\r\n"
                                             "Please email ")
                            + supportEmail() + QStringLiteral(" if you have any questions."));
    EXPECT_EQ(box.style, 0);
    EXPECT_EQ(box.title, kTitle);
}

TEST_F(Help, PressedDuringALookupWaitItShowsAtOnceAndTheCommandGoesOn)
{
    openWindow();
    setLookupWaitSeconds(0.2);
    QStringList locationsWhenShown;
    m_dialogs.onMessage = [&](const ScriptedDialogs::Message&) {
        locationsWhenShown = texts(state().locationList(), 2);
    };
    atNextPump([this] { click(1); });
    click(5);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(locationsWhenShown, QStringList{QString()});  // the first lookup had not yet returned
    EXPECT_EQ(texts(state().locationList(), 2),
              (QStringList{locationName(QStringLiteral("03053")), locationName(QStringLiteral("01830"))}));
}

TEST_F(AddOneZipCode, AsksWithThePromptUnderTheApplicationTitle)
{
    openWindow();
    m_dialogs.queueInput(QStringLiteral("03053"));
    click(6);
    EXPECT_EQ(m_dialogs.inputPrompts(), QStringList{QStringLiteral("Enter zip code to add:")});
    EXPECT_EQ(m_dialogs.inputTitles(), QStringList{kTitle});
    EXPECT_EQ(texts(state().zipList()), QStringList{QStringLiteral("03053")});
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
}

TEST_F(AddOneZipCode, EntriesStayUntrimmedWhileTheLookupTrimsThem)
{
    openWindow();
    const QStringList answers{QStringLiteral("  03053 "), QStringLiteral("   "), QStringLiteral("123"),
                              QStringLiteral("99999"), QStringLiteral("03053")};
    for (const QString& answer : answers) {
        m_dialogs.queueInput(answer);
        click(6);
    }
    EXPECT_EQ(texts(state().zipList()), answers);
    EXPECT_EQ(texts(state().locationList()), answers);
    EXPECT_EQ(texts(state().locationList(), 2),
              (QStringList{locationName(QStringLiteral("03053")), QStringLiteral("Blank line."),
                           QStringLiteral("Zip is not 5 digits"), QStringLiteral("Zip code not found."),
                           locationName(QStringLiteral("03053"))}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(AddOneZipCode, CancelAddsNothingButShowsTheSelectedLocationAgain)
{
    openWindow();
    click(5);
    state().demographicsList().clearRows();
    m_pointerHistory.clear();
    click(6);  // no answer queued: Cancel
    EXPECT_EQ(state().zipList().rowCount(), 2);
    EXPECT_EQ(state().locationList().rowCount(), 2);
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0}));
}

TEST_F(AddOneZipCode, CancelOnEmptyListsDoesNothingAtAll)
{
    openWindow();
    click(6);
    EXPECT_EQ(state().zipList().rowCount(), 0);
    EXPECT_TRUE(m_pointerHistory.isEmpty());
    EXPECT_EQ(m_site.requestCount(), 0);
}

TEST_F(SampleZips, AreAppendedInOrderOnEveryUse)
{
    openWindow();
    click(5);
    click(5);
    const QStringList expected{QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("03053"),
                               QStringLiteral("01830")};
    EXPECT_EQ(texts(state().zipList()), expected);
    EXPECT_EQ(texts(state().locationList()), expected);
    EXPECT_EQ(texts(state().locationList(), 2).at(3), locationName(QStringLiteral("01830")));
    // The first row is selected: its demographics show, after one lookup per sample.
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_EQ(m_site.requestedZips().mid(0, 5),
              (QList<QByteArray>{"03053", "01830", "03053", "03053", "03053"}));
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0, 11, 0}));
}

TEST_F(SampleZips, ClearListDuringTheFirstLookupLeavesTheSecondSampleInEmptiedLists)
{
    openWindow();
    setLookupWaitSeconds(0.2);
    atNextPump([this] { click(4); });
    click(5);
    // The first lookup's result found its row gone and went nowhere.
    EXPECT_EQ(texts(state().zipList()), QStringList{QStringLiteral("01830")});
    EXPECT_EQ(texts(state().locationList()), QStringList{QStringLiteral("01830")});
    EXPECT_EQ(texts(state().locationList(), 2), QStringList{locationName(QStringLiteral("01830"))});
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("01830")).rows);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(SampleZips, APageThatBreaksOffIsReportedAndThePointerComesBack)
{
    openWindow();
    m_site.setPage(QStringLiteral("03053"), brokenPage(QStringLiteral("03053")));
    click(5);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text,
              errorBox(QStringLiteral("Form1.PushButton5_Click"), 112, QStringLiteral("Subscript out of range")));
    EXPECT_EQ(demographicsRows().size(), 2);  // the name row and the figure before the break stay
    EXPECT_EQ(state().mousePointer(), 0);
    click(4);  // not busy: the zip list empties too
    EXPECT_EQ(state().zipList().rowCount(), 0);
}

TEST_F(ClearList, EmptiesAllThreeListsWhenTheWindowIsIdle)
{
    openWindow();
    click(5);
    click(4);
    EXPECT_EQ(state().zipList().rowCount(), 0);
    EXPECT_EQ(state().locationList().rowCount(), 0);
    EXPECT_EQ(state().demographicsList().rowCount(), 0);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(ClearList, WhileTheWindowIsBusyLeavesTheZipListAlone)
{
    openWindow();
    click(5);
    state().setMousePointer(WindowState::kPointerBusy);
    click(4);
    EXPECT_EQ(state().zipList().rowCount(), 2);
    EXPECT_EQ(state().locationList().rowCount(), 0);
    EXPECT_EQ(state().demographicsList().rowCount(), 0);
}

class DeleteKeyTest : public WindowTest {
protected:
    void SetUp() override
    {
        openWindow();
        for (const char* zip : {"11111", "22222", "33333"}) {
            m_dialogs.queueInput(QString::fromLatin1(zip));
            click(6);
        }
    }
    void selectZipRow(int position)
    {
        ReportView* view = window().listView(1);
        const QRect row = view->visualRect(view->model()->index(position - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
    }
    void press(Qt::Key key) { QTest::keyClick(window().listView(1), key); }
};

TEST_F(DeleteKeyTest, RemovesTheSelectedZipRowOnlyOnePerPress)
{
    selectZipRow(2);
    ASSERT_EQ(state().zipList().selectedPosition(), 2);
    press(Qt::Key_Delete);
    EXPECT_EQ(texts(state().zipList()), (QStringList{QStringLiteral("11111"), QStringLiteral("33333")}));
    EXPECT_EQ(state().locationList().rowCount(), 3);
    EXPECT_EQ(state().zipList().selectedPosition(), 0);
    press(Qt::Key_Delete);  // the removed row was the selected one: nothing is selected now
    EXPECT_EQ(state().zipList().rowCount(), 2);
}

// What the list shows highlighted is what the next Delete removes: after a Delete,
// nothing; once a row is picked again, that row.
TEST_F(DeleteKeyTest, TheHighlightedRowIsTheOneTheNextDeleteRemoves)
{
    ReportView* view = window().listView(1);
    selectZipRow(2);
    press(Qt::Key_Delete);
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(view->currentIndex().isValid());
    press(Qt::Key_Down);  // picks a row again: the first
    ASSERT_EQ(state().zipList().selectedPosition(), 1);
    EXPECT_EQ(view->selectionModel()->selectedRows().value(0).row(), 0);
    press(Qt::Key_Delete);
    EXPECT_EQ(texts(state().zipList()), QStringList{QStringLiteral("33333")});
}

TEST_F(DeleteKeyTest, WorksWhateverModifierKeysAreHeld)
{
    selectZipRow(1);
    QTest::keyClick(window().listView(1), Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(state().zipList().rowCount(), 2);
}

TEST_F(DeleteKeyTest, OtherKeysChangeNothing)
{
    selectZipRow(1);
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Period, Qt::Key_Space, Qt::Key_D})
        press(key);
    EXPECT_EQ(state().zipList().rowCount(), 3);
}

TEST_F(DeleteKeyTest, DoesNothingWhileTheWindowIsBusy)
{
    selectZipRow(3);
    state().setMousePointer(WindowState::kPointerBusy);
    press(Qt::Key_Delete);
    EXPECT_EQ(state().zipList().rowCount(), 3);
    state().setMousePointer(WindowState::kPointerDefault);
    press(Qt::Key_Delete);
    EXPECT_EQ(state().zipList().rowCount(), 2);
}

TEST_F(DeleteKey, DoesNothingOnAnEmptyZipList)
{
    openWindow();
    window().ListView1_KeyDown(46, 0);
    EXPECT_EQ(state().zipList().rowCount(), 0);
}

TEST(KeyCodes, DeleteIsFortySixAndOtherKeysAreNot)
{
    EXPECT_EQ(virtualKeyCode(Qt::Key_Delete), 46);
    EXPECT_NE(virtualKeyCode(Qt::Key_Backspace), 46);
    EXPECT_NE(virtualKeyCode(Qt::Key_Period), 46);  // the character "." has code 46 too
    EXPECT_EQ(virtualKeyCode(Qt::Key_A), 65);
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::AltModifier), 1 + 4);
    EXPECT_EQ(shiftState(Qt::ControlModifier | Qt::KeypadModifier), 2);
}

}  // namespace
}  // namespace zd::test
