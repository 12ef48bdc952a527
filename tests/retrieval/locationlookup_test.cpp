#include "retrieval/locationlookup.h"

#include "core/applicationpointer.h"
#include "core/apperror.h"
#include "core/eventpump.h"
#include "core/siteconfig.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace zd {
namespace {

// A clock that only moves when the wait sleeps, noting how many requests the
// site had seen at each pump.
struct FakeWait {
    double now = 500.0;
    double slept = 0.0;
    QList<qsizetype> requestsSeenAtPumps;

    WaitHooks hooks(const test::TestSite& site)
    {
        return {[this] { return now; },
                [this, &site](double seconds) {
                    requestsSeenAtPumps.append(site.requestCount());
                    now += seconds;
                    slept += seconds;
                }};
    }
};

class LocationLookup : public ::testing::Test {
protected:
    LocationLookup()
    {
        SamplePageContent page;
        page.zip = "55123";
        page.nameCellHtml = "<nobr>Ash&nbsp;Creek</nobr>";
        m_site.setPage("55123", renderSamplePage(page));
    }
    ~LocationLookup() override
    {
        resetLookupWaitHooks();
        ApplicationPointer::installHandlers({}, {});
    }
    test::TestSite m_site;
};

struct StatusCase {
    const char* name;
    QString zip;
    QString status;
};

class LookupRefusal : public LocationLookup, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(LookupRefusal, GivesStatusWithoutFetchWaitOrPointer)
{
    ApplicationPointer::installHandlers([] { ADD_FAILURE() << "pointer set"; }, {});
    const long long pumpsBefore = pumpCount();
    EXPECT_EQ(GetLocationName(GetParam().zip), GetParam().status);
    EXPECT_EQ(m_site.requestCount(), 0);
    EXPECT_EQ(pumpCount(), pumpsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Zips, LookupRefusal,
    ::testing::Values(StatusCase{"Empty", "", "Blank line."},
                      StatusCase{"SpacesOnly", "   ", "Blank line."},
                      StatusCase{"FourCharacters", " 1234 ", "Zip is not 5 digits"},
                      StatusCase{"SixCharacters", "123456", "Zip is not 5 digits"},
                      StatusCase{"TabIsNotTrimmed", "\t55123", "Zip is not 5 digits"},
                      StatusCase{"TrailingNewlineIsNotTrimmed", "55123\n", "Zip is not 5 digits"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocationLookup, TrimsSpacesAndReturnsTheCleanedName)
{
    EXPECT_EQ(GetLocationName("  55123 "), "AshCreek");
    EXPECT_EQ(m_site.requestedZips(), QList<QByteArray>{"55123"});
}

TEST_F(LocationLookup, FiveLettersAreFetchedAsTheyAre)
{
    EXPECT_EQ(GetLocationName("abcde"), "Zip code not found.");
    EXPECT_EQ(m_site.requestedZips(), QList<QByteArray>{"abcde"});
}

// --- The wait and the pointer around the fetch, on every path.

struct FetchPath {
    const char* name;
    QString zip;
    bool siteReachable;
    QString result;
};

class LookupAfterFetch : public LocationLookup, public ::testing::WithParamInterface<FetchPath> {
protected:
    void SetUp() override
    {
        if (!GetParam().siteReachable)
            setDemographicsHostOverride(QStringLiteral("127.0.0.1:%1").arg(test::refusingLoopbackPort()));
    }
};

TEST_P(LookupAfterFetch, WaitsTheFullTimeAfterTheFetch)
{
    FakeWait wait;
    setLookupWaitHooks(wait.hooks(m_site));
    setLookupWaitSeconds(1.0);
    EXPECT_EQ(GetLocationName(GetParam().zip), GetParam().result);
    EXPECT_NEAR(wait.slept, 1.0, 1e-9);
    ASSERT_FALSE(wait.requestsSeenAtPumps.isEmpty());
    EXPECT_EQ(wait.requestsSeenAtPumps.first(), GetParam().siteReachable ? 1 : 0);
}

TEST_P(LookupAfterFetch, BusyPointerSpansTheFetchAndIsRestored)
{
    QList<qsizetype> requestsAtBusy;
    QList<qsizetype> requestsAtRestore;
    ApplicationPointer::installHandlers([&] { requestsAtBusy.append(m_site.requestCount()); },
                                        [&] { requestsAtRestore.append(m_site.requestCount()); });
    GetLocationName(GetParam().zip);
    const qsizetype fetched = GetParam().siteReachable ? 1 : 0;
    EXPECT_EQ(requestsAtBusy, QList<qsizetype>{0});
    EXPECT_EQ(requestsAtRestore, QList<qsizetype>{fetched});
    EXPECT_EQ(ApplicationPointer::busyDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LookupAfterFetch,
    ::testing::Values(FetchPath{"Found", "55123", true, "AshCreek"},
                      FetchPath{"NotFound", "99999", true, "Zip code not found."},
                      FetchPath{"SiteUnreachable", "55123", false, "Zip code not found."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocationLookup, RealWaitPumpsEventsOnlyAfterTheFetch)
{
    setLookupWaitSeconds(0.05);
    qsizetype requestsWhenPumped = -1;
    QTimer::singleShot(0, [&] { requestsWhenPumped = m_site.requestCount(); });
    EXPECT_EQ(GetLocationName("55123"), "AshCreek");
    EXPECT_EQ(requestsWhenPumped, 1);
}

TEST_F(LocationLookup, PointerIsRestoredWhenAFailurePassesThrough)
{
    // A command run from the pumped events could fail; the failure must not
    // leave the busy pointer behind.
    setLookupWaitSeconds(1.0);
    setLookupWaitHooks({[] { return 10.0; }, [](double) { throw AppError(errors::diskFull()); }});
    EXPECT_THROW(GetLocationName("55123"), AppError);
    EXPECT_EQ(ApplicationPointer::busyDepth(), 0);
}

}  // namespace
}  // namespace zd
