// The census source's answers of one run must agree: with --moe, 26 figures
// take two requests for the same two ZCTAs, and when one of them answers 204 or
// lacks a ZCTA that the other holds, the ZCTA's entries fail (they would be
// "found" with half their figures blank), and nothing of that run is cached:
// the next run, answered well, asks again and is believed.
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <mutex>

namespace zd::test {
namespace {

constexpr int kFigures = 26;  // with their margins, 52 variables: two requests

QStringList figureIds()
{
    QStringList ids;
    for (int n = 1; n <= kFigures; ++n)
        ids.append(QStringLiteral("DP05_%1E").arg(n, 4, 10, QChar('0')));
    return ids;
}

QByteArray variableList()
{
    QByteArray listed;
    for (const QString& id : figureIds())
        listed += (listed.isEmpty() ? "" : ",") + ("\"" + id + "\":{\"label\":\"Estimate!!SEX AND AGE!!Figure "
                                                   + id + "\"}").toLatin1();
    return "{\"variables\":{" + listed + "}}";
}

// How one of the two requests is spoiled: which (0: the one asking for the
// first figure, 1: the other), and how.
struct Spoil {
    enum class How { Nothing, NoData, WithoutSecondZcta };
    How how = How::Nothing;
    int request = 0;
};

// A table of the variables asked for, every value 1, for 03053 and 01830.
QByteArray tableFor(const QByteArray& target, bool withSecondZcta)
{
    const qsizetype from = target.indexOf("get=") + 4;
    const QList<QByteArray> asked = target.mid(from, target.indexOf('&', from) - from).split(',');
    QByteArray header = "[";
    QByteArray values;
    for (const QByteArray& id : asked) {
        header += "\"" + id + "\",";
        values += "\"1\",";
    }
    QByteArray body = "[" + header + "\"zip code tabulation area\"],\n[" + values + "\"03053\"]";
    if (withSecondZcta)
        body += ",\n[" + values + "\"01830\"]";
    return body + "]";
}

class TwoRequestApi {
public:
    TwoRequestApi() : m_server([this](const HttpRequest& request, HttpConnection& connection) {
        answer(request, connection);
    })
    {
    }
    bool listen() { return m_server.listen(); }
    QString url() const { return QString::fromLatin1(m_server.baseUrl()); }
    void spoil(Spoil spoil)
    {
        std::lock_guard lock(m_mutex);
        m_spoil = spoil;
    }

private:
    void answer(const HttpRequest& request, HttpConnection& connection)
    {
        if (request.target.contains("/variables.json")) {
            connection.sendResponse(200, variableList(), "application/json");
            return;
        }
        Spoil spoil;
        {
            std::lock_guard lock(m_mutex);
            spoil = m_spoil;
        }
        const int which = request.target.contains("get=DP05_0001E,") ? 0 : 1;
        const bool spoilt = spoil.how != Spoil::How::Nothing && spoil.request == which;
        if (spoilt && spoil.how == Spoil::How::NoData)
            connection.sendResponse(204, "", "application/json");
        else
            connection.sendResponse(200, tableFor(request.target, !spoilt), "application/json");
    }

    std::mutex m_mutex;
    Spoil m_spoil;
    LoopbackHttpServer m_server;
};

class CensusAgreement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_api.listen());
        ASSERT_TRUE(writeWholeFile(path("v.txt"), (figureIds().join('\n') + '\n').toLatin1()));
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    ChildRun exportWith(Spoil spoil)
    {
        m_api.spoil(spoil);
        return runCli({"export", "--source", "census", "--census-url", m_api.url(), "--year", "2023", "--moe",
                       "--variables", path("v.txt"), "--cache", path("cache"), "--format", "jsonl", "03053",
                       "01830", "-o", path("out.jsonl")},
                      {{{"CENSUS_API_KEY", "test-key-1"}}});
    }

    qsizetype cachedPages() const { return QDir(path("cache")).entryList({"*.page"}, QDir::Files).size(); }

    TwoRequestApi m_api;
    QTemporaryDir m_folder;
};

TEST_F(CensusAgreement, AnswersThatDisagreeFailTheirEntriesAndNoneIsCached)
{
    using How = Spoil::How;
    struct Case {
        const char* what;
        Spoil spoil;
        QStringList failing;
        const char* reason;
    };
    const QList<Case> cases = {
        {"the first answers 204", {How::NoData, 0}, {"03053", "01830"}, "another answered 204 (no data)"},
        {"the second answers 204", {How::NoData, 1}, {"03053", "01830"}, "another answered 204 (no data)"},
        {"the first lacks a ZCTA", {How::WithoutSecondZcta, 0}, {"01830"}, "another has no row for it"},
        {"the second lacks a ZCTA", {How::WithoutSecondZcta, 1}, {"01830"}, "another has no row for it"},
    };
    for (const Case& spoilt : cases) {
        QDir(path("cache")).removeRecursively();
        const ChildRun run = exportWith(spoilt.spoil);
        EXPECT_EQ(run.exitCode, 1) << spoilt.what << ": " << run.err.constData();
        for (const QString& zcta : {QStringLiteral("03053"), QStringLiteral("01830")}) {
            const QByteArray named = "ZCTA " + zcta.toLatin1() + " is in 1 of the 2 answers";
            EXPECT_EQ(run.err.contains(named), spoilt.failing.contains(zcta))
                << spoilt.what << ", " << zcta.toStdString() << ": " << run.err.constData();
        }
        EXPECT_TRUE(run.err.contains(spoilt.reason)) << spoilt.what << ": " << run.err.constData();
        EXPECT_EQ(cachedPages(), 1) << spoilt.what << ": the variable list only";

        // Answered well, the next run asks again, and believes and keeps both answers.
        const ChildRun rerun = exportWith({});
        EXPECT_EQ(rerun.exitCode, 0) << spoilt.what << ": " << rerun.err.constData();
        EXPECT_EQ(readWholeFile(path("out.jsonl")).count("\"found\""), 2) << spoilt.what;
        EXPECT_EQ(cachedPages(), 3) << spoilt.what;
    }
}

}  // namespace
}  // namespace zd::test
