#include "tests/window/windowtest.h"

#include "core/applicationtitle.h"
#include "window/reportview.h"
#include "retrieval/locationlookup.h"
#include "commands/loadcommand.h"

#include <QDir>
#include <QTest>

namespace zd::test {
namespace {

using LoadFromFiles = WindowTest;

const QChar kNul(0);

TEST_F(LoadFromFiles, CancelChangesNothingNotEvenThePointer)
{
    openWindow();
    click(3);
    ASSERT_EQ(m_dialogs.fileRequests().size(), 1);
    const ScriptedDialogs::FileRequest& request = m_dialogs.fileRequests().constFirst();
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.settings.fileName, QString());
    EXPECT_EQ(request.settings.flags, 2621953);
    EXPECT_EQ(request.settings.title, QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
    EXPECT_EQ(request.settings.filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    EXPECT_TRUE(m_pointerHistory.isEmpty());
    EXPECT_EQ(state().zipList().rowCount(), 0);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(LoadFromFiles, OneFileFillsTheZipListAtOnceThenTheLocationListRowByRow)
{
    openWindow();
    setLookupWaitSeconds(0.05);
    m_dialogs.queueOpen(writeFile(QStringLiteral("three.txt"), "03053\r\n01830\r\n55501\r\n"));
    QList<int> countsAtFirstWait;
    atNextPump([&] {
        countsAtFirstWait = {state().zipList().rowCount(), state().locationList().rowCount(), state().mousePointer()};
    });
    click(3);
    EXPECT_EQ(countsAtFirstWait, (QList<int>{3, 1, 11}));
    const QStringList zips{QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("55501")};
    EXPECT_EQ(texts(state().zipList()), zips);
    EXPECT_EQ(texts(state().locationList()), zips);
    EXPECT_EQ(texts(state().locationList(), 2),
              (QStringList{locationName(zips[0]), locationName(zips[1]), locationName(zips[2])}));
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(LoadFromFiles, SeveralFilesLoadOneAfterAnotherEachIntoBothLists)
{
    openWindow();
    writeFile(QStringLiteral("a.txt"), "03053\r\n");
    writeFile(QStringLiteral("b.txt"), "01830\n55501");
    m_dialogs.queueOpen(QDir::toNativeSeparators(m_folder.path()) + kNul + QStringLiteral("a.txt") + kNul
                        + QStringLiteral("b.txt"));
    click(3);
    const QStringList zips{QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("55501")};
    EXPECT_EQ(texts(state().zipList()), zips);
    EXPECT_EQ(texts(state().locationList()), zips);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(LoadFromFiles, AFolderEndingInItsSeparatorAsAtTheRootStillLoadsBothFiles)
{
    openWindow();
    writeFile(QStringLiteral("a.txt"), "03053\r\n");
    writeFile(QStringLiteral("b.txt"), "01830\r\n");
    m_dialogs.queueOpen(m_folder.path() + QLatin1Char('/') + kNul + QStringLiteral("a.txt") + kNul
                        + QStringLiteral("b.txt"));
    click(3);
    EXPECT_EQ(texts(state().locationList()), (QStringList{QStringLiteral("03053"), QStringLiteral("01830")}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST(JoinedPaths, TheRootFolderJoinsWithOneSeparator)
{
    EXPECT_EQ(repairJoinedPath(joinFolderAndName(QStringLiteral("/"), QStringLiteral("a.txt"))),
              QStringLiteral("/a.txt"));
    EXPECT_EQ(repairJoinedPath(joinFolderAndName(QStringLiteral("/home/lists"), QStringLiteral("a.txt"))),
              QStringLiteral("/home/lists/a.txt"));
    // A backslash is an ordinary character of a name here and stays as it is.
    EXPECT_EQ(repairJoinedPath(joinFolderAndName(QStringLiteral("/data"), QStringLiteral("a\\\\b.txt"))),
              QStringLiteral("/data/a\\\\b.txt"));
}

TEST_F(LoadFromFiles, ANameThatIsNoFileSaysFileNotFoundOncePerListAndTheCommandEnds)
{
    openWindow();
    m_dialogs.queueOpen(m_folder.filePath(QStringLiteral("typed-name.txt")));
    click(3);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    for (const ScriptedDialogs::Message& box : m_dialogs.messages()) {
        EXPECT_EQ(box.text, QStringLiteral("File not found"));
        EXPECT_EQ(box.style, 0);
        EXPECT_EQ(box.title, applicationTitle());
    }
    EXPECT_EQ(state().zipList().rowCount(), 0);
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(LoadFromFiles, AFileThatCannotBeReadIsReportedForEachListAndThePointerComesBack)
{
    openWindow();
    QDir(m_folder.path()).mkpath(QStringLiteral("folder.txt"));
    m_dialogs.queueOpen(m_folder.filePath(QStringLiteral("folder.txt")));
    click(3);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    const QString procedure = QStringLiteral("\r\nin Tamberlin2021/08/31.Form1.PushButton3_Click at line ");
    EXPECT_TRUE(m_dialogs.messages().at(0).text.contains(procedure + QStringLiteral("118\r\r")));
    EXPECT_TRUE(m_dialogs.messages().at(1).text.contains(procedure + QStringLiteral("120\r\r")));
    EXPECT_EQ(m_dialogs.messages().at(0).title, QStringLiteral("Application Error"));
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(LoadFromFiles, DeleteAndClearListWhileItLoadsLeaveTheZipListAlone)
{
    openWindow();
    setLookupWaitSeconds(0.05);
    m_dialogs.queueOpen(writeFile(QStringLiteral("three.txt"), "03053\r\n01830\r\n55501\r\n"));
    atNextPump([this] {
        QTest::keyClick(window().listView(1), Qt::Key_Delete);
        click(4);
    });
    click(3);
    EXPECT_EQ(state().zipList().rowCount(), 3);
    // The first lookup lost its row; the other two were appended to the emptied list.
    EXPECT_EQ(texts(state().locationList()), (QStringList{QStringLiteral("01830"), QStringLiteral("55501")}));
    EXPECT_EQ(texts(state().locationList(), 2),
              (QStringList{locationName(QStringLiteral("01830")), locationName(QStringLiteral("55501"))}));
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("01830")).rows);
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(LoadFromFiles, TheSameFileTwiceAppendsItsEntriesTwice)
{
    openWindow();
    const QString path = writeFile(QStringLiteral("one.txt"), "55501");
    m_dialogs.queueOpen(path);
    m_dialogs.queueOpen(path);
    click(3);
    click(3);
    EXPECT_EQ(texts(state().zipList()), (QStringList{QStringLiteral("55501"), QStringLiteral("55501")}));
    EXPECT_EQ(state().locationList().rowCount(), 2);
}

}  // namespace
}  // namespace zd::test
