// The files a run reads and writes: an output file that would destroy an input
// is refused before anything is fetched, and a list's final line end, whatever
// its kind, never adds an entry.
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>

namespace zd::test {
namespace {

class RunFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.listen()); }
    ChildRun cli(const QStringList& arguments)
    {
        return runCli(QStringList{arguments.first(), "--site", QString(m_server.hostAndPort()),
                                                       "--rate", "0", "--quiet"}
                                               + arguments.mid(1));
    }

    std::atomic<int> m_pageRequests{0};
    LoopbackHttpServer m_server{[this](const HttpRequest& request, HttpConnection& connection) {
        if (request.target.startsWith("/robots.txt")) {
            connection.sendResponse(404, "none");
            return;
        }
        ++m_pageRequests;
        connection.sendResponse(200, "<p>(x)</p><td>(Somewhere)</td>");
    }};
    QTemporaryDir m_folder;
};

TEST_F(RunFiles, AnOutputThatIsAnInputOrInTheCacheIsRefusedBeforeAnyFetch)
{
    const QString list = m_folder.filePath("list.txt");
    const QByteArray listBytes = "03053\r\n01830\r\n";
    ASSERT_TRUE(writeWholeFile(list, listBytes));
    const QString linked = m_folder.filePath("linked.txt");
    ASSERT_TRUE(QFile::link(list, linked));
    const QString cache = m_folder.filePath("cache");
    ASSERT_TRUE(QDir().mkpath(cache + "/sub"));
    const QList<QStringList> clashes = {
        {"export", "--zips", list, "-o", list},
        {"export", "--zips", m_folder.filePath("./list.txt"), "-o", list},
        {"export", "--zips", list, "-o", linked, "--format", "csv"},
        {"export", "--cache", cache, "03053", "-o", cache + "/result.txt"},
        {"export", "--cache", cache, "03053", "-o", cache + "/sub/result.jsonl"},
        {"export", "--cache", m_folder.filePath("new-cache"), "03053", "-o", m_folder.filePath("new-cache/r.txt")},
    };
    for (const QStringList& arguments : clashes) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ChildRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith("zipdemographics-cli: cannot write \"")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("choose a") || run.err.contains("choose an")) << run.err.toStdString();
    }
    // The path is said once; the list only when it goes by another name.
    EXPECT_EQ(cli(clashes[0]).err, "zipdemographics-cli: cannot write \"" + list.toUtf8()
                                       + "\": it is the zip list that the run reads; choose another output file\n");
    EXPECT_EQ(cli(clashes[2]).err, "zipdemographics-cli: cannot write \"" + linked.toUtf8() + "\": it is the zip list \""
                                       + list.toUtf8() + "\" that the run reads; choose another output file\n");
    EXPECT_EQ(m_pageRequests, 0);
    EXPECT_EQ(readWholeFile(list), listBytes);
    EXPECT_EQ(QDir(cache).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFileInfo::exists(m_folder.filePath("new-cache")));

    // Beside the list and beside the cache is fine.
    const ChildRun beside = cli({"export", "--zips", list, "--cache", cache, "-o", m_folder.filePath("cache.txt")});
    EXPECT_EQ(beside.exitCode, 0) << beside.err.toStdString();
    EXPECT_EQ(m_pageRequests, 2);
}

TEST_F(RunFiles, AFinalLfCrLfOrCrAddsNoEntryWhileEmptyLinesInsideStay)
{
    const QList<QByteArray> lists = {"11111\n\n22222\n", "11111\r\n\r\n22222\r\n", "11111\r\r22222\r",
                                     "11111\n\n22222", "\xEF\xBB\xBF" "11111\n\n22222\n"};
    for (const QByteArray& bytes : lists) {
        SCOPED_TRACE(bytes.toPercentEncoding().toStdString());
        const QString list = m_folder.filePath("lines.txt");
        ASSERT_TRUE(writeWholeFile(list, bytes));
        const ChildRun run = cli({"lookup", "--delay", "0", "--zips", list});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, "11111\tSomewhere\n\tBlank line.\n22222\tSomewhere\n");
    }
    // A list that is one line end is one blank entry; an empty list none.
    for (const auto& [bytes, lines] : QList<std::pair<QByteArray, QByteArray>>{{"\n", "\tBlank line.\n"},
                                                                               {"\r\n", "\tBlank line.\n"},
                                                                               {"", ""}}) {
        const QString list = m_folder.filePath("one.txt");
        ASSERT_TRUE(writeWholeFile(list, bytes));
        EXPECT_EQ(cli({"lookup", "--delay", "0", "--zips", list}).out, lines);
    }
}

}  // namespace
}  // namespace zd::test
