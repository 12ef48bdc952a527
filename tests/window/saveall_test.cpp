#include "tests/window/windowtest.h"

#include "core/applicationtitle.h"
#include "core/windows1252.h"
#include "export/alignedwriter.h"

#ifdef ZD_CLI_EXECUTABLE
#include "tests/support/clirun.h"
#endif

#include <QFile>
#include <QTimer>

namespace zd::test {
namespace {

class SaveAll : public WindowTest {
protected:
    // The file the save writes for these rows: each cell padded to its column's
    // widest text (headers included), each followed by a TAB, lines ending in CR LF.
    static QByteArray expectedFile(const QList<QPair<QString, QString>>& rows)
    {
        QList<QPair<QString, QString>> lines{{QStringLiteral("Demographics"), QStringLiteral(" Value")}};
        lines += rows;
        qsizetype first = 0;
        qsizetype second = 0;
        for (const auto& [name, value] : lines) {
            first = std::max(first, name.size());
            second = std::max(second, value.size());
        }
        QString text;
        for (const auto& [name, value] : lines)
            text += name.leftJustified(first) + QLatin1Char('\t') + value.leftJustified(second)
                    + QStringLiteral("\t\r\n");
        return encodeWindows1252(text);
    }
    QString target(const QString& name) { return m_folder.filePath(name); }
    void clickLocation(int position)
    {
        state().locationList().selectPosition(position);
        window().ListView2_Click();
    }
};

TEST_F(SaveAll, CancelWritesNothingSaysNothingAndChangesNothing)
{
    openWindow();
    click(5);
    m_pointerHistory.clear();
    const auto before = demographicsRows();
    click(2);
    ASSERT_EQ(m_dialogs.fileRequests().size(), 1);
    const ScriptedDialogs::FileRequest& request = m_dialogs.fileRequests().constFirst();
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.settings.title, QStringLiteral("Save"));
    EXPECT_EQ(request.settings.flags, 2621953);
    EXPECT_EQ(request.settings.fileName, QString());
    EXPECT_EQ(request.settings.filter, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"
                                                      "CSV Files (*.csv)|*.csv|Excel Workbooks (*.xlsx)|*.xlsx|"
                                                      "Map of the selected figure (*.svg)|*.svg|"
                                                      "Map of the selected figure (*.png)|*.png|"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_TRUE(m_pointerHistory.isEmpty());
    EXPECT_EQ(demographicsRows(), before);
}

TEST_F(SaveAll, EmptyListsGiveTheHeaderLineAloneThenDone)
{
    openWindow();
    m_dialogs.queueSave(target(QStringLiteral("empty.txt")));
    click(2);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("empty.txt"))), QByteArray("Demographics\t Value\t\r\n"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text, QStringLiteral("Done."));
    EXPECT_EQ(m_dialogs.messages().constFirst().style, 0);
    EXPECT_EQ(m_dialogs.messages().constFirst().title, applicationTitle());
}

TEST_F(SaveAll, EveryLocationIsSavedInOrderAndTheShownOneComesBack)
{
    openWindow();
    click(5);
    clickLocation(2);
    m_pointerHistory.clear();
    m_dialogs.queueSave(target(QStringLiteral("all.txt")));
    click(2);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.txt"))),
              expectedFile(expectedRows(QStringLiteral("03053")).rows + expectedRows(QStringLiteral("01830")).rows));
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("01830")).rows);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    // Busy while fetching, the arrow while writing, then the restoring click.
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0, 11, 0}));
}

TEST_F(SaveAll, WithNothingShownBeforeTheDemographicsListIsEmptyAfter)
{
    openWindow();
    click(5);
    state().demographicsList().clearRows();
    m_dialogs.queueSave(target(QStringLiteral("all.txt")));
    click(2);
    EXPECT_TRUE(demographicsRows().isEmpty());
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.txt"))),
              expectedFile(expectedRows(QStringLiteral("03053")).rows + expectedRows(QStringLiteral("01830")).rows));
}

TEST_F(SaveAll, AZipWithoutAPageAddsNoRowsAndTheOthersAreStillSaved)
{
    openWindow();
    m_dialogs.queueInput(QStringLiteral("99999"));
    click(6);
    click(5);
    m_dialogs.queueSave(target(QStringLiteral("all.txt")));
    click(2);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.txt"))),
              expectedFile(expectedRows(QStringLiteral("03053")).rows + expectedRows(QStringLiteral("01830")).rows));
}

TEST_F(SaveAll, AnExistingFileIsReplacedAndANameWithoutExtensionKeptAsItIs)
{
    openWindow();
    const QString path = writeFile(QStringLiteral("result"), QByteArray(5000, 'x'));
    m_dialogs.queueSave(path);
    click(2);
    EXPECT_EQ(readWholeFile(path), QByteArray("Demographics\t Value\t\r\n"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".txt")));
}

TEST_F(SaveAll, AFailedWriteLeavesTheWritersBoxAsTheLastWord)
{
    openWindow();
    click(5);
    m_dialogs.queueSave(target(QStringLiteral("no-such-folder/all.txt")));
    click(2);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().constFirst().text.contains(alignedWriterProcedureText()));
    EXPECT_EQ(m_dialogs.messages().constFirst().title, QStringLiteral("Application Error"));
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(SaveAll, APageThatBreaksOffIsReportedAndTheOtherLocationsAreStillSaved)
{
    openWindow();
    click(5);
    m_site.setPage(QStringLiteral("03053"), brokenPage(QStringLiteral("03053")));
    m_dialogs.queueSave(target(QStringLiteral("all.txt")));
    click(2);
    const QStringList boxes = messageTexts();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes.at(0), errorBox(QStringLiteral("Form1.PushButton2_Click"), 130, QStringLiteral("Subscript out of range")));
    // The restoring click shows the selected (broken) location again.
    EXPECT_EQ(boxes.at(1), errorBox(QStringLiteral("Form1.PushButton2_Click"), 142, QStringLiteral("Subscript out of range")));
    EXPECT_EQ(boxes.at(2), QStringLiteral("Done."));
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.txt"))),
              expectedFile(expectedRows(QStringLiteral("03053")).rows.mid(0, 2)
                           + expectedRows(QStringLiteral("01830")).rows));
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(SaveAll, SaveClickedWhileTheWriterPumpsRunsInFullAndBothFilesAreWhole)
{
    openWindow();
    click(5);
    m_dialogs.queueSave(target(QStringLiteral("outer.txt")));
    m_dialogs.queueSave(target(QStringLiteral("inner.txt")));
    // Pumps with the arrow showing after the first dialog happen only in the writer.
    QTimer poll;
    bool clicked = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!clicked && m_dialogs.fileRequests().size() == 1 && state().mousePointer() == 0) {
            clicked = true;
            click(2);
        }
    });
    poll.start(0);
    click(2);
    poll.stop();
    ASSERT_TRUE(clicked);
    const QByteArray whole =
        expectedFile(expectedRows(QStringLiteral("03053")).rows + expectedRows(QStringLiteral("01830")).rows);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("inner.txt"))), whole);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("outer.txt"))), whole);
    EXPECT_EQ(messageTexts(), (QStringList{QStringLiteral("Done."), QStringLiteral("Done.")}));
    EXPECT_EQ(demographicsRows(), expectedRows(QStringLiteral("03053")).rows);
    EXPECT_EQ(state().mousePointer(), 0);
}

#ifdef ZD_CLI_EXECUTABLE
TEST_F(SaveAll, TheFileIsByteForByteTheCommandLineExportOfTheSameEntries)
{
    openWindow();
    m_site.setPage(QStringLiteral("77777"), brokenPage(QStringLiteral("77777")));
    const QStringList entries{QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("  03053 "),
                              QStringLiteral("55501"), QStringLiteral("77777"), QStringLiteral("99999"),
                              QStringLiteral("123"), QStringLiteral("   ")};
    click(5);
    for (const QString& entry : entries.mid(2)) {
        m_dialogs.queueInput(entry);
        click(6);
    }
    m_dialogs.queueSave(target(QStringLiteral("window.txt")));
    click(2);
    ASSERT_EQ(messageTexts().constLast(), QStringLiteral("Done."));

    // Unpaced and without retries: the comparison is of the files, not of the pace.
    QStringList arguments{QStringLiteral("export"), QStringLiteral("--site"),
                          QString::fromLatin1(m_site.server().hostAndPort()), QStringLiteral("--rate"),
                          QStringLiteral("0"), QStringLiteral("--retries"), QStringLiteral("0"), QStringLiteral("-o"),
                          target(QStringLiteral("cli.txt")), QStringLiteral("--")};
    arguments += entries;
    const ChildRun cli = runCli(arguments);
    ASSERT_TRUE(cli.exitedNormally);
    EXPECT_EQ(cli.exitCode, 1) << cli.err.toStdString();  // 77777 broke off
    const QByteArray fromWindow = readWholeFile(target(QStringLiteral("window.txt")));
    EXPECT_EQ(fromWindow, readWholeFile(target(QStringLiteral("cli.txt"))));
    EXPECT_TRUE(fromWindow.contains("Tarn Hollow, MN"));
}
#endif

}  // namespace
}  // namespace zd::test
