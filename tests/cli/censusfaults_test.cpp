// The command line's census source against a server that breaks the Census
// Data API's answers one way at a time: each fault is refused (its entries fail,
// an existing OUT stays, nothing of it is cached) or is the key problem it is.
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace zd::test {
namespace {

const QByteArray kVariables = R"json({"variables":{
  "DP05_0001E":{"label":"Estimate!!SEX AND AGE!!Total population"},
  "DP03_0062E":{"label":"Estimate!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Total households!!Median household income (dollars)"}}})json";
const QByteArray kHeader = R"(["DP05_0001E","DP03_0062E","zip code tabulation area"])";
const QByteArray kGoodRows = R"(["19756","136900","03053"],["16000","70000","01830"])";

QByteArray table(const QByteArray& header, const QByteArray& rows) { return "[" + header + ",\n" + rows + "]"; }

// What the server does with a data request; the variable list is whole unless cut.
struct Fault {
    int status = 200;
    QByteArray body = table(kHeader, kGoodRows);
    QList<QPair<QByteArray, QByteArray>> headers{};
    bool trickles = false;  // the body a byte at a time, 200 ms apart
    bool cutsList = false;  // variables.json cut off in the middle
    QByteArray list = kVariables;
};

class MisbehavingApi {
public:
    MisbehavingApi() : m_server([this](const HttpRequest& request, HttpConnection& connection) {
        answer(request, connection);
    })
    {
    }

    bool listen() { return m_server.listen(); }
    QString url() const { return QString::fromLatin1(m_server.baseUrl()); }
    void set(const Fault& fault)
    {
        std::lock_guard lock(m_mutex);
        m_fault = fault;
    }
    QList<HttpRequest> requests() const { return m_server.requests(); }
    void clearRequests() { m_server.clearRequests(); }

private:
    void answer(const HttpRequest& request, HttpConnection& connection)
    {
        Fault fault;
        {
            std::lock_guard lock(m_mutex);
            fault = m_fault;
        }
        if (request.target.contains("/variables.json")) {
            const QByteArray list = fault.cutsList ? fault.list.left(fault.list.size() / 2) : fault.list;
            connection.sendResponse(200, list, "application/json");
        } else if (fault.trickles) {
            connection.send(HttpConnection::statusLine(200) + "Content-Length: "
                            + QByteArray::number(fault.body.size()) + "\r\nConnection: close\r\n\r\n");
            for (const char byte : fault.body) {
                if (!connection.send(QByteArray(1, byte)) || !connection.stall(std::chrono::milliseconds(200)))
                    return;
            }
        } else {
            connection.sendResponse(fault.status, fault.body, "application/json", fault.headers);
        }
    }

    mutable std::mutex m_mutex;
    Fault m_fault;
    LoopbackHttpServer m_server;
};

class CensusFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_api.listen());
        ASSERT_TRUE(writeWholeFile(path("v.txt"), "DP05_0001E\nDP03_0062E\n"));
        ASSERT_TRUE(writeWholeFile(path("out.csv"), "kept"));
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    ChildRun exportWith(const Fault& fault, const QStringList& more = {},
                        QList<EnvironmentChange> environment = {{"CENSUS_API_KEY", "test-key-1"}})
    {
        m_api.set(fault);
        environment.append(EnvironmentChange{"ZIPDEMOGRAPHICS_RETRY_BASE_MS", "1"});
        // An option is given once: the case's --retries stands for the usual one.
        const QStringList retries = more.contains("--retries") ? QStringList() : QStringList{"--retries", "1"};
        return runCli(QStringList{"export", "--source", "census", "--census-url", m_api.url(), "--year", "2023",
                                  "--variables", path("v.txt"), "--cache", path("cache"), "03053", "01830", "-o",
                                  path("out.csv")}
                          + retries + more,
                      {environment});
    }

    // The answers the cache folder holds.
    qsizetype cachedPages() const
    {
        return QDir(path("cache")).entryList({"*.page"}, QDir::Files).size();
    }

    MisbehavingApi m_api;
    QTemporaryDir m_folder;
};

TEST_F(CensusFaults, EachAnswerThatCannotBeBelievedFailsItsEntriesKeepsOutAndIsNotCached)
{
    struct Case {
        const char* what;
        QByteArray body;
        const char* reason;
    };
    const QList<Case> cases = {
        {"a longer row", table(kHeader, R"(["19756","136900","1","03053"])"), "holds 4 values"},
        {"a shorter row", table(kHeader, R"(["19756","03053"])"), "holds 2 values"},
        {"a variable named twice", table(R"(["DP05_0001E","DP05_0001E","zip code tabulation area"])", kGoodRows),
         R"(names "DP05_0001E" twice)"},
        {"an asked variable missing", table(R"(["DP05_0001E","DP04_0089E","zip code tabulation area"])", kGoodRows),
         R"(no column "DP03_0062E")"},
        {"two rows for a ZCTA", table(kHeader, R"(["1","2","03053"],["3","4","03053"])"), "two rows for ZCTA"},
        {"a JSON number", table(kHeader, R"([19756,"136900","03053"])"), "no text in quotes"},
        {"an array", table(kHeader, R"([["19756"],"136900","03053"])"), "no text in quotes"},
        {"an object", table(kHeader, R"(["19756",{},"03053"])"), "no text in quotes"},
        {"NaN", table(kHeader, R"(["NaN","136900","03053"])"), "is no number"},
        {"an exponent", table(kHeader, R"(["1e5","136900","03053"])"), "is no number"},
        {"a leading zero", table(kHeader, R"(["00123","136900","03053"])"), "is no number"},
        {"an invalid escape", table(kHeader, R"(["1\2","136900","03053"])"), "escape that JSON does not know"},
    };
    for (const Case& fault : cases) {
        QDir(path("cache")).removeRecursively();
        const ChildRun run = exportWith(Fault{200, fault.body});
        EXPECT_EQ(run.exitCode, 1) << fault.what << ": " << run.err.constData();
        EXPECT_TRUE(run.err.contains(fault.reason)) << fault.what << ": " << run.err.constData();
        EXPECT_EQ(readWholeFile(path("out.csv")), "kept") << fault.what;
        EXPECT_EQ(cachedPages(), 1) << fault.what;  // the variable list only
    }
    // The same request answered well is believed, cached and written.
    const ChildRun good = exportWith(Fault{});
    EXPECT_EQ(good.exitCode, 0) << good.err.constData();
    EXPECT_TRUE(readWholeFile(path("out.csv")).contains(",19756,")) << readWholeFile(path("out.csv")).constData();
    EXPECT_EQ(cachedPages(), 2);
}

// Numbers no figure of the API can be: each fails its entries, named, and is
// never cached; the annotations of a margin are read as they say.
TEST_F(CensusFaults, OnlyNumbersTheApiCanSendAreFiguresAndNothingRefusedIsCached)
{
    const QByteArray header =
        R"(["DP05_0001E","DP05_0001M","DP03_0062E","DP03_0062M","zip code tabulation area"])";
    struct Case {
        QByteArray row;          // 03053's four values
        const char* refusal;     // nullptr: read
        const char* written;     // the end of 03053's CSV row when read
    };
    const QByteArray fortyDigits(40, '7');
    const QList<Case> cases = {
        {R"("-111111111","-444444444","136900","5")", R"("-111111111" is negative)", nullptr},
        {R"("19756","-5","136900","5")", R"("-5" is negative)", nullptr},
        {R"(")" + fortyDigits + R"(","5","136900","5")", "too large for a figure", nullptr},
        {R"("1e15","5","136900","5")", R"("1e15" is no number)", nullptr},
        {R"("0x10","5","136900","5")", R"("0x10" is no number)", nullptr},
        {R"(" 12","5","136900","5")", R"(" 12" is no number)", nullptr},
        {R"("-0","-0.0","250001","-333333333")", nullptr, ",0,0.0,,,250000+,,,\r\n"},
        {R"("19756","-555555555","250001",null)", nullptr, ",19756,0,0.0,high,250000+,,,\r\n"},
    };
    for (const Case& each : cases) {
        QDir(path("cache")).removeRecursively();
        ASSERT_TRUE(writeWholeFile(path("out.csv"), "kept"));
        const QByteArray rows = "[" + each.row + R"(,"03053"],["16000","10","70000","900","01830"])";
        const ChildRun run = exportWith(Fault{200, table(header, rows)}, {"--moe"});
        const QByteArray written = readWholeFile(path("out.csv"));
        if (each.refusal) {
            EXPECT_EQ(run.exitCode, 1) << each.row.constData() << ": " << run.err.constData();
            EXPECT_TRUE(run.err.contains(each.refusal)) << run.err.constData();
            EXPECT_EQ(written, "kept") << each.row.constData();
            EXPECT_EQ(cachedPages(), 1) << each.row.constData();  // the variable list only
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << each.row.constData() << ": " << run.err.constData();
        EXPECT_EQ(cachedPages(), 2) << each.row.constData();
        const QList<QByteArray> lines = written.split('\n');
        ASSERT_GE(lines.size(), 2) << written.constData();
        EXPECT_TRUE((lines[1] + "\n").endsWith(each.written)) << lines[1].constData();
    }
}

TEST_F(CensusFaults, DecimalAnnotationsAreNoEstimateAndNullStaysNoEstimate)
{
    const ChildRun run = exportWith(Fault{200, table(kHeader, R"(["-666666666.0",null,"03053"],["0","-999999999.00","01830"])")},
                                    {"--format", "jsonl"});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QByteArray written = readWholeFile(path("out.csv"));
    EXPECT_FALSE(written.contains("666666666")) << written.constData();
    EXPECT_FALSE(written.contains("999999999")) << written.constData();
    EXPECT_TRUE(written.contains("\"found\"")) << written.constData();
}

TEST_F(CensusFaults, ACutVariableListIsNeverKeptSoTheNextRunAsksAgain)
{
    Fault cut;
    cut.cutsList = true;
    const ChildRun broken = exportWith(cut);
    EXPECT_NE(broken.exitCode, 0);
    EXPECT_TRUE(broken.err.contains("list of variables of 2023 cannot be read")) << broken.err.constData();
    EXPECT_EQ(readWholeFile(path("out.csv")), "kept");
    EXPECT_EQ(cachedPages(), 0);

    const ChildRun whole = exportWith(Fault{});
    EXPECT_EQ(whole.exitCode, 0) << whole.err.constData();
    EXPECT_EQ(cachedPages(), 2);
}

TEST_F(CensusFaults, AMaintenancePageIsAskedAgainAndThenFailsItsEntriesNotTheKey)
{
    const QByteArray page = "<!DOCTYPE html><html><head><title>Maintenance</title></head><body><h1>The API is "
                            "down for maintenance</h1></body></html>";
    m_api.clearRequests();
    const ChildRun run = exportWith(Fault{200, page});
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains("answered an HTML page on every try")) << run.err.constData();
    EXPECT_FALSE(run.err.contains("key")) << run.err.constData();
    EXPECT_EQ(readWholeFile(path("out.csv")), "kept");
    EXPECT_EQ(cachedPages(), 1);
    qsizetype dataRequests = 0;
    for (const HttpRequest& request : m_api.requests())
        dataRequests += request.target.contains("?get=") ? 1 : 0;
    EXPECT_EQ(dataRequests, 2);  // the first try and its retry
}

TEST_F(CensusFaults, TheKeysThreeSignsEndTheRunAtOnceWithTheMessageThatFits)
{
    const QByteArray invalidKeyPage = "<div class=\"content\"><h1>Invalid Key</h1><p>A valid <em>key</em> must be "
                                      "included with each data API request.</p></div>";
    const QList<Fault> signs = {
        Fault{302, "", {{"Location", "/data/missing_key.html"}}},
        Fault{200, table(kHeader, kGoodRows), {{"X-DataWebAPI-KeyError", "Invalid key"}}},
        Fault{200, invalidKeyPage},
    };
    for (const Fault& sign : signs) {
        QDir(path("cache")).removeRecursively();
        const ChildRun refused = exportWith(sign);
        EXPECT_EQ(refused.exitCode, 2) << refused.err.constData();
        EXPECT_TRUE(refused.err.contains("refused the key")) << refused.err.constData();
        EXPECT_FALSE(refused.err.contains("without")) << refused.err.constData();
        EXPECT_EQ(readWholeFile(path("out.csv")), "kept");
        EXPECT_EQ(cachedPages(), 1);

        const ChildRun missing = exportWith(sign, {}, {{"CENSUS_API_KEY", std::nullopt}});
        EXPECT_EQ(missing.exitCode, 2) << missing.err.constData();
        EXPECT_TRUE(missing.err.contains("CENSUS_API_KEY")) << missing.err.constData();
        EXPECT_TRUE(missing.err.contains("https://api.census.gov/data/key_signup.html")) << missing.err.constData();
        EXPECT_EQ(readWholeFile(path("out.csv")), "kept");
    }
}

TEST_F(CensusFaults, RequestsCarryTheKeyNameTheProgramAndFollowNoRedirect)
{
    m_api.clearRequests();
    ASSERT_EQ(exportWith(Fault{}).exitCode, 0);
    const QList<HttpRequest> made = m_api.requests();
    ASSERT_EQ(made.size(), 2);  // the variable list and the figures
    for (const HttpRequest& request : made) {
        const bool list = request.target.contains("/variables.json");
        EXPECT_TRUE(request.target.endsWith(list ? "variables.json?key=test-key-1" : "&key=test-key-1"))
            << request.target.constData();
        QByteArray agent;
        for (const auto& [name, value] : request.headers)
            agent = name.compare("User-Agent", Qt::CaseInsensitive) == 0 ? value : agent;
        EXPECT_TRUE(agent.startsWith("zipdemographics/")) << agent.constData();
    }
    // A redirect elsewhere is not followed: the figures' entries fail.
    QDir(path("cache")).removeRecursively();
    m_api.clearRequests();
    const ChildRun moved = exportWith(Fault{301, "", {{"Location", "/elsewhere"}}});
    EXPECT_EQ(moved.exitCode, 1) << moved.err.constData();
    EXPECT_TRUE(moved.err.contains("redirected to")) << moved.err.constData();
    for (const HttpRequest& request : m_api.requests())
        EXPECT_FALSE(request.target.startsWith("/elsewhere"));
}

TEST_F(CensusFaults, AServersControlCharactersAreEscapedOnTheTerminal)
{
    const ChildRun run = exportWith(Fault{400, "error: \x1b]0;owned\x07\x1b[2J unknown variable"});
    EXPECT_EQ(run.exitCode, 2) << run.err.constData();
    EXPECT_FALSE(run.err.contains('\x1b'));
    EXPECT_FALSE(run.err.contains('\x07'));
    EXPECT_TRUE(run.err.contains("\\x1b]0;owned\\x07\\x1b[2J")) << run.err.constData();

    // A label of the variable list, quoted in a warning about the built-in figures.
    Fault labelled;
    labelled.list = R"({"variables":{"DP05_0001E":{"label":"Estimate!!\u001b]0;owned\u0007!!Other"}}})";
    m_api.set(labelled);
    const ChildRun builtIn = runCli({"show", "--source", "census", "--census-url", m_api.url(), "--year", "2023",
                                     "03053"},
                                    {{{"CENSUS_API_KEY", "test-key-1"}}});
    EXPECT_FALSE(builtIn.err.contains('\x1b')) << builtIn.err.constData();
    EXPECT_FALSE(builtIn.err.contains('\x07')) << builtIn.err.constData();
}

TEST_F(CensusFaults, AnAnswerThatTricklesInEndsAtItsOverallDeadline)
{
    Fault trickle;
    trickle.trickles = true;
    trickle.body = table(kHeader, kGoodRows).repeated(4);  // ~300 bytes: a minute at this pace
    const ChildRun run = exportWith(trickle, {"--timeout", "1", "--retries", "0"});
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains("took longer than 5 seconds, the most one may take")) << run.err.constData();
    EXPECT_LT(run.seconds, 30);
    EXPECT_EQ(readWholeFile(path("out.csv")), "kept");
}

}  // namespace
}  // namespace zd::test
