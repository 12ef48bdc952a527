// The command line against a site whose pages it has never seen: hand-written
// pages, each with its own quirk, served by a server inside the test.
#include "cli/cliarguments.h"
#include "site/loopbackhttpserver.h"
#include "site/samplesite.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

namespace zd::test {
namespace {

const QString kData = QStringLiteral(ZD_CLI_TEST_DATA);

QByteArray dataFile(const QString& name) { return readWholeFile(kData + '/' + name); }

// A page of over 150 KB: the location cell and a figure come after the padding.
QByteArray bigPage()
{
    QByteArray page = dataFile("pages/big-head.html");
    for (int line = 1; line <= 3500; ++line)
        page += QString("<!-- filler line %1 of made-up padding -->\n").arg(line, 4, 10, QChar('0')).toLatin1();
    return page + dataFile("pages/big-tail.html");
}

void sendInUnevenChunks(HttpConnection& connection, const QByteArray& body)
{
    connection.send(HttpConnection::statusLine(200) + "Content-Length: "
                    + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n");
    static constexpr qsizetype kSizes[] = {1, 7, 2047, 2049, 13, 4096, 3, 999};
    for (qsizetype at = 0, i = 0; at < body.size(); at += kSizes[i++ % 8]) {
        connection.send(body.mid(at, kSizes[i % 8]));
        connection.stall(std::chrono::milliseconds(1));
    }
}

void answer(const HttpRequest& request, HttpConnection& connection)
{
    const QString zip = SampleSite::zipOfTarget(request.pathAndQuery()).value_or("?");
    const QString file = kData + "/pages/" + zip + ".html";
    if (zip == "33333")
        connection.sendResponse(404, dataFile("pages/33333.html"));
    else if (zip == "44444")
        connection.sendRedirect(302, "/index.php?zip=11111&amppagetype=main");
    else if (zip == "55555")
        sendInUnevenChunks(connection, bigPage());
    else if (zip.isEmpty())
        connection.sendResponse(200, dataFile("pages/empty-zip.html"));
    else if (zip.contains(QRegularExpression("^[a-z0-9]+$")) && QFile::exists(file))
        connection.sendResponse(200, readWholeFile(file));
    else
        connection.sendResponse(200, dataFile("pages/unknown.html"));
}

class UnseenPages : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.listen()); }

    ChildRun cli(QStringList arguments)
    {
        arguments.insert(1, "--site");
        arguments.insert(2, QString(m_server.hostAndPort()));
        return runCli(arguments);
    }
    QList<QByteArray> requestedTargets() const
    {
        QList<QByteArray> targets;
        for (const HttpRequest& request : m_server.requests())
            targets.append(request.target);
        return targets;
    }

    LoopbackHttpServer m_server{&answer};
    QTemporaryDir m_folder;
};

const QStringList kEntries = {"11111", " 11111 ", "\t11111", "", "   ", "123", "abcde", "22222",
                              "33333", "44444", "55555", "66666", "77777", "88888", "99999",
                              "12121", "00000"};

QByteArray target(const QByteArray& zip) { return "/index.php?zip=" + zip + "&amppagetype=main"; }

// One transfer at a time, unpaced: the site sees the requests in the order they were made.
const QStringList kOneAtATime = {"--jobs", "1", "--rate", "0", "--retries", "0"};

TEST_F(UnseenPages, LookupGivesEachEntryWithItsNameOrStatusFetchingOnlyFiveCharacterEntries)
{
    const ChildRun run = cli(QStringList{"lookup", "--delay", "0"} + kOneAtATime + kEntries);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err.toStdString(), "zipdemographics-cli: 10 found, 2 not found, 4 not five characters, 1 answered with an "
                                     "error status (\"33333\": http 404), 0 failed\n");
    EXPECT_EQ(run.out, dataFile("expected/lookup-handwritten.txt"));
    // robots.txt first, then each distinct zip code once, in input order (44444
    // redirects to 11111).
    QList<QByteArray> expected = {"/robots.txt"};
    for (const char* zip : {"11111", "abcde", "22222", "33333", "44444", "11111", "55555",
                            "66666", "77777", "88888", "99999", "12121", "00000"})
        expected.append(target(zip));
    EXPECT_EQ(requestedTargets().join(' ').toStdString(), expected.join(' ').toStdString());
}

TEST_F(UnseenPages, ExportWritesTheSaveCommandsFileWithOneFetchPerEntryAndNamesTheBreak)
{
    const QString out = m_folder.filePath("result.txt");
    const ChildRun run = cli(QStringList{"export"} + kOneAtATime + kEntries + QStringList{"-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.toStdString(), "zipdemographics-cli: entry \"12121\": the page breaks off in the figures "
                       "(Subscript out of range); the rows before the break are kept\n"
                       "zipdemographics-cli: 9 found, 3 not found, 4 not five characters, 1 answered with an error "
                       "status (\"33333\": http 404), 0 failed\n");
    EXPECT_EQ(readWholeFile(out), dataFile("expected/export-handwritten.txt"));
    QList<QByteArray> expected = {"/robots.txt"};
    for (const char* zip : {"11111", "%2011111%20", "%0911111", "", "%20%20%20", "123", "abcde",
                            "22222", "33333", "44444", "11111", "55555", "66666", "77777", "88888",
                            "99999", "12121", "00000"})
        expected.append(target(zip));
    EXPECT_EQ(requestedTargets().join(' ').toStdString(), expected.join(' ').toStdString());
}

TEST_F(UnseenPages, ShowPrintsOneEntryAsAlignedTextAndNamesABreak)
{
    const ChildRun shown = cli({"show", "99999"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, dataFile("expected/show-99999.txt"));

    const ChildRun broken = cli({"show", "12121"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.out, "Demographics\t Value\t\nHalfway     \t      \t\nPopulation  \t900   \t\n");
    EXPECT_TRUE(broken.err.startsWith("zipdemographics-cli: entry \"12121\": the page breaks off"));

    const ChildRun nothing = cli({"show", "00000"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.out, "Demographics\t Value\t\n");
    EXPECT_EQ(nothing.err, "zipdemographics-cli: entry \"00000\": its page holds no location and no "
                           "figures; nothing to show\n");
}

TEST_F(UnseenPages, ZipListFilesComeFirstInOrderByTheLineRulesThenTheCommandLine)
{
    const ChildRun empty = cli(QStringList{"lookup", "--delay", "0", "--zips", "/dev/null", "11111"} + kOneAtATime);
    EXPECT_EQ(empty.exitCode, 0) << empty.err.constData();
    EXPECT_EQ(empty.out, "11111\tElmsworthCove\n");

    const QString first = m_folder.filePath("first.txt");
    const QString second = m_folder.filePath("second.txt");
    ASSERT_TRUE(writeWholeFile(first, "11111\r\n\r\n22222\n abcde"));
    ASSERT_TRUE(writeWholeFile(second, "88888\r\n"));
    const ChildRun run = cli(QStringList{"lookup", "--delay", "0", "--zips", first, "99999", "--zips", second}
                             + kOneAtATime);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, dataFile("expected/lookup-zipfiles.txt"));
}

// Lookup's --delay is a second unless given: the run waits it after the first
// fetch. (The waits after each fetch but the last are read from a test clock in
// tests/batch/enginetime_test.cpp.)
TEST_F(UnseenPages, LookupWaitsOneSecondAfterAFetchUnlessToldOtherwise)
{
    EXPECT_EQ(parseCliArguments({"lookup", "11111"}).delaySeconds, 1.0);
    const ChildRun run = cli({"lookup", "--jobs", "1", "--rate", "0", "11111", "22222"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.seconds, 0.95);
}

}  // namespace
}  // namespace zd::test
