// What a page or an entry may weigh: a page beyond --max-page-size fails its
// entry, with or without a length announced; an entry beyond 64 characters is
// cut in messages and kept whole in the file.
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

constexpr qsizetype kNineMegabytes = 9 * 1024 * 1024;

QByteArray hugePage() { return "<p>(x)</p><td>(Huge)</td>" + QByteArray(kNineMegabytes, 'x'); }

TEST(Limits, APageBeyondTheLargestFailsItsEntryAndALongEntryIsCutInMessages)
{
    LoopbackHttpServer server([](const HttpRequest& request, HttpConnection& connection) {
        if (request.target.contains("zip=11111")) {
            connection.sendResponse(200, hugePage());  // with Content-Length
        } else if (request.target.contains("zip=22222") || request.target.contains("zip=333")) {
            // No length: the body ends when the connection closes.
            connection.send(HttpConnection::statusLine(200) + "\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
            connection.sendInChunks(hugePage(), 64 * 1024);
            connection.close();
        } else {
            connection.sendResponse(200, "<p>(x)</p><td>(Small)</td>");
        }
    });
    ASSERT_TRUE(server.listen());
    QTemporaryDir folder;
    const QString out = folder.filePath("r.jsonl");
    const QString longEntry = "333" + QString(97, '4');
    const ChildRun run = runCli({"export", "--site", QString(server.hostAndPort()), "--rate", "0",
                                                      "--quiet", "--partial", "11111", "22222", "44444", longEntry,
                                                      "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    const QString cut = "\"" + longEntry.left(64) + QString::fromUtf8("\u2026\"");
    const QByteArray err = run.err;
    EXPECT_TRUE(err.contains("entry \"11111\": the transfer failed (the page is larger than 8388608 bytes"))
        << err.toStdString();
    EXPECT_TRUE(err.contains("entry \"22222\": the transfer failed (the page is larger than 8388608 bytes"))
        << err.toStdString();
    EXPECT_TRUE(err.contains(("entry " + cut + ": the transfer failed").toUtf8())) << err.toStdString();
    EXPECT_TRUE(err.endsWith(("3 failed: \"11111\", \"22222\", " + cut + "\n").toUtf8())) << err.toStdString();
    EXPECT_FALSE(err.contains(longEntry.toUtf8()));
    EXPECT_LT(err.size(), 2000);
    const QByteArray lines = readWholeFile(out);
    EXPECT_TRUE(lines.contains(("\"entry\":\"" + longEntry + "\"").toUtf8())) << "kept whole in the file";
    EXPECT_TRUE(lines.contains("\"location\":\"Small\""));
    EXPECT_LT(lines.size(), 2 * kNineMegabytes) << "no page beyond the largest was kept";

    // A larger limit lets the page through.
    const ChildRun larger = runCli({"lookup", "--site", QString(server.hostAndPort()), "--delay", "0",
                                                         "--max-page-size", "10M", "11111"});
    EXPECT_EQ(larger.exitCode, 0) << larger.err.toStdString();
    EXPECT_EQ(larger.out, "11111\tHuge\n");
}

}  // namespace
}  // namespace zd::test
