#include "tests/window/windowtest.h"

#include "core/apperror.h"
#include "core/applicationtitle.h"
#include "core/eventpump.h"
#include "window/reportview.h"
#include "tests/support/childprocess.h"
#include "tests/support/wholefile.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace zd::test {
namespace {

using StartUp = WindowTest;
class Shutdown : public WindowTest {
protected:
    // The test program run as a child ends itself at the point the test names:
    // offscreen, with this test's site as its site.
    QList<EnvironmentChange> windowChildEnvironment()
    {
        return {{QStringLiteral("ZIPDEMOGRAPHICS_SITE"), QString::fromLatin1(m_site.server().hostAndPort())},
                {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")}};
    }
};

struct Placement {
    const char* name;
    const char* caption;  // empty for the lists
    QRect pixels;         // the twips of the layout divided by 15
};

const Placement kPlacements[] = {
    {"PushButton1", "Help", {8, 8, 520, 27}},
    {"ListView1", "", {8, 42, 520, 153}},
    {"PushButton6", "Add One Zip Code", {8, 201, 256, 27}},
    {"PushButton3", "Load Zip Code/s From File", {272, 201, 256, 27}},
    {"PushButton4", "Clear List", {8, 236, 256, 27}},
    {"PushButton5", "Load Sample/Example Zips", {272, 236, 256, 27}},
    {"ListView2", "", {8, 270, 520, 153}},
    {"ListView3", "", {8, 428, 520, 153}},
    {"PushButton2", "Save Demographic Results For All Zip Codes Above", {8, 587, 520, 27}},
};

TEST_F(StartUp, ControlsStandWhereTheLayoutPutsThemWithTheirCaptions)
{
    Form1& form = openWindow();
    EXPECT_EQ(form.objectName(), QStringLiteral("Form1"));
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(placement.name);
        auto* control = form.findChild<QWidget*>(QLatin1String(placement.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), placement.pixels);
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), QLatin1String(placement.caption));
        }
    }
}

TEST_F(StartUp, ClientAreaIsFixedAt536By620WithMinimiseAndCloseButNoMaximise)
{
    Form1& form = openWindow();
    EXPECT_EQ(form.size(), QSize(536, 620));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(StartUp, WindowAndListsUseArialNinePointBoldAndButtonsElevenAndAQuarter)
{
    Form1& form = openWindow();
    const auto expectFont = [](const QFont& font, double points) {
        EXPECT_EQ(font.family(), QStringLiteral("Arial"));
        EXPECT_DOUBLE_EQ(font.pointSizeF(), points);
        EXPECT_EQ(font.weight(), QFont::Bold);
    };
    expectFont(form.font(), 9);
    for (int number = 1; number <= 3; ++number)
        expectFont(form.listView(number)->font(), 9);
    for (int number = 1; number <= 6; ++number)
        expectFont(form.pushButton(number)->font(), 11.25);
}

TEST_F(StartUp, ColumnsAreAddedInOrderWithTheirWidths)
{
    Form1& form = openWindow();
    const ListModel& zips = state().zipList();
    const ListModel& locations = state().locationList();
    const ListModel& demographics = state().demographicsList();
    ASSERT_EQ(zips.columnCount(), 1);
    ASSERT_EQ(locations.columnCount(), 2);
    ASSERT_EQ(demographics.columnCount(), 2);
    EXPECT_EQ(zips.headerText(1), QStringLiteral("US Zip Codes"));
    EXPECT_EQ(locations.headerText(1), QStringLiteral("US Zip Codes"));
    EXPECT_EQ(locations.headerText(2), QStringLiteral("Location Name"));
    EXPECT_EQ(demographics.headerText(1), QStringLiteral("Demographics"));
    EXPECT_EQ(demographics.headerText(2), QStringLiteral(" Value"));  // the leading space stays
    EXPECT_EQ(zips.columnWidth(1), 7000);
    EXPECT_EQ(form.listView(1)->header()->sectionSize(0), 467);
    for (int number = 2; number <= 3; ++number) {
        EXPECT_EQ(form.listView(number)->header()->sectionSize(0), 233);
        EXPECT_EQ(form.listView(number)->header()->sectionSize(1), 233);
    }
    EXPECT_EQ(form.listView(3)->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral(" Value"));
}

TEST_F(StartUp, ColumnWidthsSurviveClearingTheLists)
{
    Form1& form = openWindow();
    state().locationList().addRow(QStringLiteral("03053"));
    state().locationList().clearRows();
    EXPECT_EQ(form.listView(2)->header()->sectionSize(0), 233);
    EXPECT_EQ(form.listView(2)->header()->sectionSize(1), 233);
}

TEST_F(StartUp, LocationListCarriesItsToolTip)
{
    Form1& form = openWindow();
    EXPECT_EQ(form.listView(2)->toolTip(), QStringLiteral("Click item to show demographics results."));
    EXPECT_TRUE(form.listView(1)->toolTip().isEmpty());
}

TEST_F(StartUp, CaptionIsTheProductTitleAndTheApplicationTitleItsShortenedForm)
{
    setApplicationTitle(QStringLiteral("before"));
    Form1& form = openWindow();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel Almonet Quiverel"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel"));
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST(ShortenedApplicationTitle, IsCutAtTheLastSpaceAtLeastOnceUntilFortyCharactersAtMost)
{
    const QString forty = QStringLiteral("Abcdefghi Abcdefghi Abcdefghi Abcdefghi");  // 39 + 1
    const struct {
        QString title;
        QString shortened;
    } cases[] = {
        {productTitle(), QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel")},
        {QStringLiteral("Short Title"), QStringLiteral("Short")},
        {forty, QStringLiteral("Abcdefghi Abcdefghi Abcdefghi")},
        {QStringLiteral("A ") + QString(60, QLatin1Char('x')), QStringLiteral("A")},
        {QStringLiteral("Trailing "), QStringLiteral("Trailing")},
    };
    for (const auto& [title, shortened] : cases)
        EXPECT_EQ(shortenedApplicationTitle(title), shortened) << title.toStdString();
}

TEST(ShortenedApplicationTitle, ACutWithNoSpaceLeftFailsAsAnInvalidArgument)
{
    // The last case loses its last word, and then a 50-letter word is left to cut.
    for (const QString& title : {QStringLiteral("Plenvista"), QString(),
                                 QString(50, QLatin1Char('x')) + QStringLiteral(" Tail")}) {
        try {
            shortenedApplicationTitle(title);
            ADD_FAILURE() << "no failure for " << title.toStdString();
        } catch (const AppError& error) {
            EXPECT_EQ(error.description(), errors::invalidArgument());
        }
    }
}

TEST_F(StartUp, ATitleWithoutASpaceIsReportedByFormLoadAndTheColumnsStillCome)
{
    setApplicationTitle(QStringLiteral("platform default"));
    Form1Options options;
    options.programFolder = m_emptyProgramFolder.path();
    options.productTitle = QStringLiteral("Plenvista");
    Form1 form(m_dialogs, options);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const ScriptedDialogs::Message& box = m_dialogs.messages().constFirst();
    EXPECT_EQ(box.text, errorBox(QStringLiteral("Form1.Form_Load"), 110, errors::invalidArgument()));
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.style, 48);
    EXPECT_EQ(applicationTitle(), QStringLiteral("platform default"));
    EXPECT_EQ(form.state().demographicsList().columnCount(), 2);
}

TEST_F(StartUp, WithoutSkinAndCursorTheWindowIsPlainWhiteAndSaysNothing)
{
    Form1& form = openWindow(m_emptyProgramFolder.path());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_TRUE(form.skinFramework().callLog().isEmpty());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(form.styleSheet().isEmpty());
    EXPECT_FALSE(form.mouseIcon().has_value());
    form.PushButton_MouseMove(1);  // the hand would show; without its image, the arrow
    EXPECT_EQ(state().mousePointer(), 99);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(StartUp, SkinEngineIsDrivenInTheFixedOrder)
{
    Form1& form = openWindow(programFolderWithArtwork());
    const QString skin = QDir(programFolderWithArtwork()).filePath(QStringLiteral("x/o.cjs"));
    const QStringList expected{
        QStringLiteral("invoke 2 (\"%1\", \"\")").arg(skin),
        QStringLiteral("get 1 -> 0"),
        QStringLiteral("put 1 = 1"),
        QStringLiteral("put 5 = true"),
        QStringLiteral("put 10 = true"),
        QStringLiteral("invoke 3 (%1)").arg(form.winId()),
    };
    EXPECT_EQ(form.skinFramework().callLog(), expected);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(StartUp, SkinnedWindowTakesTheButtonFaceColourAndTheSkin)
{
    Form1& form = openWindow(programFolderWithArtwork());
    EXPECT_EQ(form.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    EXPECT_TRUE(form.styleSheet().contains(QLatin1String("QPushButton")));
    EXPECT_TRUE(form.styleSheet().contains(QLatin1String("QScrollBar")));
    EXPECT_EQ(qApp->styleSheet(), form.styleSheet());  // dialogs and boxes share the look
}

TEST_F(StartUp, HandCursorComesFromTheFileWithItsHotspot)
{
    Form1& form = openWindow(programFolderWithArtwork());
    ASSERT_TRUE(form.mouseIcon().has_value());
    EXPECT_EQ(form.mouseIcon()->shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.mouseIcon()->hotSpot(), QPoint(12, 1));
    form.PushButton_MouseMove(3);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.cursor().hotSpot(), QPoint(12, 1));
}

TEST_F(StartUp, AnUnreadableCursorFileIsReportedAtItsLineAndStartUpGoesOn)
{
    writeFile(QStringLiteral("HAND-M.CUR"), QByteArray("not a cursor at all"));
    Form1& form = openWindow(m_folder.path());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text,
              errorBox(QStringLiteral("Form1.Form_Load"), 104, QStringLiteral("Invalid picture")));
    EXPECT_FALSE(form.mouseIcon().has_value());
    EXPECT_EQ(form.windowTitle(), productTitle());
    EXPECT_EQ(state().locationList().columnCount(), 2);
}

TEST_F(StartUp, ARejectedSkinIsReportedAndTheRestOfStartUpRuns)
{
    QDir(m_folder.path()).mkpath(QStringLiteral("x"));
    writeFile(QStringLiteral("x/o.cjs"), QByteArray("QPushButton { color: red; \n no closing brace"));
    Form1& form = openWindow(m_folder.path());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text,
              errorBox(QStringLiteral("Form1.Form_Load"), 100, QStringLiteral("Invalid skin file")));
    // What ApplySkin changed before the failure stays; the engine got no further.
    EXPECT_EQ(form.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(form.skinFramework().callLog().size(), 1);
    EXPECT_TRUE(form.styleSheet().isEmpty());
    EXPECT_EQ(state().zipList().columnCount(), 1);
}

TEST_F(StartUp, ShownCentredWithTheFocusOnTheZipList)
{
    Form1& form = openWindow();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form.geometry().center().y() - screen.center().y()), 1);
    EXPECT_EQ(QApplication::focusWidget(), form.listView(1));
}

TEST_F(StartUp, TabCyclesTheControlsInTheirOrder)
{
    Form1& form = openWindow();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QStringList expected{QStringLiteral("PushButton3"), QStringLiteral("PushButton4"),
                               QStringLiteral("PushButton6"), QStringLiteral("ListView2"),
                               QStringLiteral("ListView3"), QStringLiteral("PushButton2"),
                               QStringLiteral("PushButton5"), QStringLiteral("PushButton1"),
                               QStringLiteral("ListView1")};
    QStringList visited;
    for (int press = 0; press < expected.size(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(Shutdown, CloseRequestPumpsTwiceNeverRefusesAndEndsTheProgram)
{
    Form1& form = openWindow();
    bool cancel = false;
    const long long before = pumpCount();
    form.Form_QueryUnload(cancel, 0);
    EXPECT_EQ(pumpCount() - before, 2);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(m_endProgramCalls, 0);
    form.close();
    EXPECT_EQ(m_endProgramCalls, 1);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(Shutdown, ClosingDuringALookupWaitEndsTheProcessThere)
{
    // The lookup waits 30 seconds; the process must not get that far.
    const ChildRun child = runChild(QCoreApplication::applicationFilePath(), {QStringLiteral("--close-during-wait")},
                                    {.environment = windowChildEnvironment(), .timeoutMs = 20000});
    EXPECT_TRUE(child.exitedNormally);
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_FALSE(child.out.contains("command finished"));
    EXPECT_EQ(m_site.requestedZips(), QList<QByteArray>{"03053"});  // the second sample never came
}

TEST_F(Shutdown, ClosingDuringTheWriterRemovesItsTemporaryFileAndLeavesTheTargetAsItWas)
{
    for (const bool oldFile : {true, false}) {
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("result.txt"));
        if (oldFile) {
            ASSERT_TRUE(writeWholeFile(target, "old result\r\n"));
        }
        const ChildRun child = runChild(QCoreApplication::applicationFilePath(),
                                        {QStringLiteral("--close-during-writer"), target},
                                        {.environment = windowChildEnvironment(), .timeoutMs = 20000});
        if (child.exitCode == 4)
            GTEST_SKIP() << "the saved file's temporary file would have no name (needs root to give it one)";
        EXPECT_TRUE(child.exitedNormally);
        EXPECT_EQ(child.exitCode, 0);
        EXPECT_EQ(child.out, "temporary file open\n");  // and no "command finished"
        const std::string left =
            QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' ')).toStdString();
        if (oldFile) {
            EXPECT_EQ(left, "result.txt");
            EXPECT_EQ(readWholeFile(target), "old result\r\n");
        } else {
            EXPECT_EQ(left, "");
        }
    }
}

}  // namespace
}  // namespace zd::test
