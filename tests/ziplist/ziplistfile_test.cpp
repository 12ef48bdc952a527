// Reading zip list files into lists: the missing-file box, failures passed on,
// lookups only for lists of more than one column, and commands that run during
// a lookup's wait.
#include "core/applicationtitle.h"
#include "core/apperror.h"
#include "core/listmodel.h"
#include "tests/support/scripteddialogs.h"
#include "retrieval/locationlookup.h"
#include "tests/support/samplepages.h"
#include "tests/support/scopedenvironment.h"
#include "tests/support/testsite.h"
#include "tests/ziplist/ziplisttestsupport.h"
#include "commands/ziplistfile.h"

#include <QTemporaryDir>
#include <QTimer>

#include "tests/support/listcontents.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

class ZipListFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::clearProxyEnvironment();
        m_previousTitle = applicationTitle();
        setApplicationTitle(QStringLiteral("Zip Demographics Test"));
        m_zipList.addColumn(QStringLiteral("US Zip Codes"));
        m_locationList.addColumn(QStringLiteral("US Zip Codes"));
        m_locationList.addColumn(QStringLiteral("Location Name"));
        m_site.setPage(QStringLiteral("03755"), page("03755", "Hanover, NH"));
        m_site.setPage(QStringLiteral("01830"), page("01830", "Haverhill, MA"));
        m_site.setPage(QStringLiteral("03053"), page("03053", "Londonderry, NH"));
    }
    void TearDown() override { setApplicationTitle(m_previousTitle); }

    static QString page(const char* zip, const char* location)
    {
        SamplePageContent sample;
        sample.zip = QLatin1String(zip);
        sample.nameCellHtml = QLatin1String(location);
        sample.figures = {{QStringLiteral("Population"), QStringLiteral("1,000")}};
        return renderSamplePage(sample);
    }

    QString write(const QByteArray& bytes, const char* name = "zips.txt")
    {
        return test::writeFile(m_folder.filePath(QLatin1String(name)), bytes);
    }

    QTemporaryDir m_folder;
    ListModel m_zipList;
    ListModel m_locationList;
    ScriptedDialogs m_dialogs;
    test::TestSite m_site;
    QString m_previousTitle;
};

TEST_F(ZipListFile, MissingFileShowsOnePlainBoxPerCallAndAddsNothing)
{
    const QString missing = m_folder.filePath(QStringLiteral("missing.txt"));
    LoadZipListFile(m_zipList, missing, m_dialogs);
    LoadZipListFile(m_locationList, missing, m_dialogs);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    for (const ScriptedDialogs::Message& box : m_dialogs.messages()) {
        EXPECT_EQ(box.text, QStringLiteral("File not found"));
        EXPECT_EQ(box.style, kMessagePlain);
        EXPECT_EQ(box.title, QStringLiteral("Zip Demographics Test"));
    }
    EXPECT_EQ(m_zipList.rowCount(), 0);
    EXPECT_EQ(m_locationList.rowCount(), 0);
    EXPECT_EQ(m_site.requestCount(), 0);
}

TEST_F(ZipListFile, OneColumnListGetsTheEntriesUntrimmedAndNoLookups)
{
    LoadZipListFile(m_zipList, write("03755  \r\n\r\n01830, 03053\n 03053"), m_dialogs);
    EXPECT_EQ(test::columnTexts(m_zipList, 1), (QStringList{"03755  ", "", "01830, 03053", " 03053"}));
    EXPECT_EQ(m_zipList.subItem(1, 1), QString());
    EXPECT_EQ(m_site.requestCount(), 0);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(ZipListFile, RowsAreAppendedAfterThoseAlreadyThere)
{
    m_zipList.addRow(QStringLiteral("first"));
    LoadZipListFile(m_zipList, write("03755\n"), m_dialogs);
    EXPECT_EQ(test::columnTexts(m_zipList, 1), (QStringList{"first", "03755", ""}));
}

TEST_F(ZipListFile, TwoColumnListGetsALookupPerFiveCharacterEntry)
{
    LoadZipListFile(m_locationList, write("03755  \r\n\r\n01830,03053\r\n99999\r\n01830"), m_dialogs);
    EXPECT_EQ(test::columnTexts(m_locationList, 1), (QStringList{"03755  ", "", "01830,03053", "99999", "01830"}));
    EXPECT_EQ(test::columnTexts(m_locationList, 2),
              (QStringList{"Hanover, NH", statusBlankLine(), statusNotFiveDigits(), statusNotFound(),
                           "Haverhill, MA"}));
    // The lookup trims the entry; only the three five-character entries cost a fetch.
    EXPECT_EQ(m_site.requestedZips(), (QList<QByteArray>{"03755", "99999", "01830"}));
}

TEST_F(ZipListFile, FolderPathFailureGoesToTheCaller)
{
    const int before = test::openFileCount();
    try {
        LoadZipListFile(m_zipList, m_folder.path(), m_dialogs);
        FAIL() << "a folder was read as a zip list file";
    } catch (const AppError& error) {
        EXPECT_EQ(error.description(), QStringLiteral("Path/File access error"));
    }
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(m_zipList.rowCount(), 0);
    EXPECT_EQ(test::openFileCount(), before);
}

TEST_F(ZipListFile, FileIsClosedAfterReading)
{
    const QString path = write("03755\r\n01830\r\n");
    LoadZipListFile(m_locationList, path, m_dialogs);
    EXPECT_EQ(test::descriptorsOpenOn(path), 0);
    EXPECT_EQ(m_locationList.rowCount(), 2);
}

class ZipListFileDuringWait : public ZipListFile {
protected:
    void SetUp() override
    {
        ZipListFile::SetUp();
        setLookupWaitSeconds(0.02);  // long enough for events to be processed in it
    }
};

TEST_F(ZipListFileDuringWait, ListClearedDuringALookupTakesThatResultWithIt)
{
    // Cleared during the wait of the second lookup: its row is gone, and the
    // remaining entries go on into the emptied list with their own results.
    QTimer clearer;
    QObject::connect(&clearer, &QTimer::timeout, [&] {
        if (m_locationList.rowCount() == 2) {
            m_locationList.clearRows();
            clearer.stop();
        }
    });
    clearer.start(0);
    LoadZipListFile(m_locationList, write("03755\r\n01830\r\n03053\r\n"), m_dialogs);
    EXPECT_EQ(test::columnTexts(m_locationList, 1), QStringList{"03053"});
    EXPECT_EQ(test::columnTexts(m_locationList, 2), QStringList{"Londonderry, NH"});
    EXPECT_EQ(m_site.requestCount(), 3);
}

TEST_F(ZipListFileDuringWait, ReadingStartedDuringALookupReadsItsOwnFile)
{
    const QString inner = write("01830\r\n", "inner.txt");
    bool innerDone = false;
    QTimer::singleShot(0, [&] {
        LoadZipListFile(m_locationList, inner, m_dialogs);
        innerDone = true;
    });
    LoadZipListFile(m_locationList, write("03755\r\n03053\r\n"), m_dialogs);
    ASSERT_TRUE(innerDone);
    // The inner reading ran inside the first lookup's wait, after the outer's first row.
    EXPECT_EQ(test::columnTexts(m_locationList, 1), (QStringList{"03755", "01830", "03053"}));
    EXPECT_EQ(test::columnTexts(m_locationList, 2),
              (QStringList{"Hanover, NH", "Haverhill, MA", "Londonderry, NH"}));
}

}  // namespace
}  // namespace zd
