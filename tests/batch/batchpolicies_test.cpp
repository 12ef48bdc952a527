// The rules a batch keeps: which answers are tried again and after how long,
// the pace between requests, robots.txt, the age of kept pages, and the cache
// files themselves.
#include "batch/pagecache.h"
#include "batch/retrypolicy.h"
#include "batch/robotsrules.h"
#include "batch/throttle.h"
#include "tests/support/unprivilegedscope.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd {
namespace {

using namespace std::chrono_literals;
using Seconds = Throttle::Duration;

TEST(RetryPolicy, OnlyTransientStatusesAreTriedAgain)
{
    for (const long status : {408, 429, 500, 502, 503, 504})
        EXPECT_TRUE(RetryPolicy::isRetryableStatus(status)) << status;
    for (const long status : {0, 200, 204, 301, 400, 401, 403, 404, 410, 501, 505})
        EXPECT_FALSE(RetryPolicy::isRetryableStatus(status)) << status;
}

TEST(RetryPolicy, BackOffDoublesFromTheBaseUpToTheCapWithBoundedJitter)
{
    const RetryPolicy policy;  // 1 s, capped at 60 s
    EXPECT_EQ(policy.pauseBefore(1, 0.0), 1000ms);
    EXPECT_EQ(policy.pauseBefore(2, 0.0), 2000ms);
    EXPECT_EQ(policy.pauseBefore(3, 0.0), 4000ms);
    EXPECT_EQ(policy.pauseBefore(7, 0.0), 60000ms);
    EXPECT_EQ(policy.pauseBefore(40, 0.99), 60000ms) << "no overflow far beyond the cap";
    const auto jittered = policy.pauseBefore(2, 0.99);
    EXPECT_GT(jittered, 2000ms);
    EXPECT_LE(jittered, 2500ms);
    EXPECT_GT(policy.pauseBefore(6, 0.99), 32000ms);  // 32 s stretched by a quarter at most
    EXPECT_LE(policy.pauseBefore(6, 0.99), 40000ms);
}

TEST(RetryPolicy, RetryAfterWinsWhenLongerEvenBeyondTheCap)
{
    const RetryPolicy policy;
    EXPECT_EQ(policy.pauseBefore(1, 0.0, 5), 5000ms);
    EXPECT_EQ(policy.pauseBefore(3, 0.0, 1), 4000ms) << "a shorter Retry-After does not shorten the back-off";
    EXPECT_EQ(policy.pauseBefore(1, 0.0, 120), 120000ms);
    RetryPolicy quick;
    quick.base = 1ms;
    EXPECT_EQ(quick.pauseBefore(1, 0.0), 1ms);
}

TEST(Throttle, PaceIsTheSlowestOfRateCrawlDelaySharedResponseTimeAndErrorFloor)
{
    Throttle throttle(2, 4);
    EXPECT_DOUBLE_EQ(throttle.interval().count(), 0.5);
    throttle.finished(Seconds(5.0), false);  // 5 s shared among 4 jobs and a quarter
    EXPECT_DOUBLE_EQ(throttle.interval().count(), 1.0);
    throttle.setCrawlDelay(Seconds(3.0));
    EXPECT_DOUBLE_EQ(throttle.interval().count(), 3.0);

    Throttle uncapped(0, 8);
    EXPECT_EQ(uncapped.interval().count(), 0.0);
    uncapped.finished(Seconds(0.1), false);
    EXPECT_NEAR(uncapped.interval().count(), 0.01, 1e-9);
}

TEST(Throttle, ErrorsRaiseTheFloorAndRunsOfSuccessesHalveItUntilTheRateAloneHolds)
{
    Throttle throttle(4, 2);  // the rate's interval: 0.25 s
    double previous = 0;
    for (int error = 0; error < 40; ++error) {
        throttle.finished(Seconds(0.01), true);
        EXPECT_GT(throttle.errorFloor().count(), error == 0 ? 0.25 : previous * 0.999);
        previous = throttle.errorFloor().count();
    }
    EXPECT_DOUBLE_EQ(previous, 5.0) << "the floor is bounded";
    // Fewer successes than a run, broken by an error, change nothing but the growth.
    for (int success = 1; success < Throttle::kSuccessesToRelax; ++success)
        throttle.finished(Seconds(0.001), false);
    EXPECT_DOUBLE_EQ(throttle.errorFloor().count(), 5.0);
    throttle.finished(Seconds(0.001), true);
    QList<double> floors;
    for (int success = 1; success <= 6 * Throttle::kSuccessesToRelax; ++success) {
        throttle.finished(Seconds(0.001), false);
        if (success % Throttle::kSuccessesToRelax == 0)
            floors.append(throttle.errorFloor().count());
    }
    EXPECT_EQ(floors, (QList<double>{2.5, 1.25, 0.625, 0.3125, 0.0, 0.0}));
    EXPECT_DOUBLE_EQ(throttle.interval().count(), 0.25);
}

TEST(RetryPolicy, RetryAfterIsGrantedUpToTheLongestWait)
{
    RetryPolicy policy;
    EXPECT_EQ(policy.pauseBefore(1, 0.0, 100000), 600000ms);
    policy.maxWait = 30s;
    EXPECT_EQ(policy.pauseBefore(1, 0.0, 100000), 30000ms);
    EXPECT_EQ(policy.pauseBefore(1, 0.0, 20), 20000ms);
}

TEST(Throttle, NextStartKeepsTheIntervalAfterTheLastStart)
{
    Throttle throttle(4, 1);
    const auto now = Throttle::Clock::now();
    EXPECT_LE(throttle.nextStart(), now) << "the first request waits for nothing";
    throttle.started(now);
    EXPECT_EQ(throttle.nextStart(), now + 250ms);
}

TEST(Throttle, ALateStartDoesNotPushBackTheSpreadFromTheResponseTimeButTheRateHolds)
{
    Throttle spread(0, 4);
    spread.finished(Seconds(0.5), false);  // 100 ms between starts
    const auto t0 = Throttle::Clock::now();
    spread.started(t0);
    EXPECT_EQ(spread.nextStart(), t0 + 100ms);
    spread.started(t0 + 150ms);  // woken 50 ms late
    EXPECT_EQ(spread.nextStart(), t0 + 200ms);
    spread.started(t0 + 500ms);  // far behind: one start to catch up, no more
    EXPECT_EQ(spread.nextStart(), t0 + 500ms);
    spread.started(t0 + 500ms);
    EXPECT_EQ(spread.nextStart(), t0 + 600ms);

    Throttle capped(10, 4);
    capped.started(t0);
    capped.started(t0 + 150ms);
    EXPECT_EQ(capped.nextStart(), t0 + 250ms) << "the rate counts from the last real start";
}

struct RobotsCase {
    const char* text;
    const char* path;
    bool allowed;
};

TEST(RobotsRules, PathsAllowedOrDisallowedByTheGroupThatNamesUs)
{
    const RobotsCase cases[] = {
        {"", "/index.php?zip=03053", true},
        {"User-agent: *\nDisallow: /", "/index.php?zip=03053", false},
        {"User-agent: *\nDisallow:", "/index.php", true},
        {"User-agent: *\nDisallow: /index.php", "/index.php?zip=1", false},
        {"User-agent: *\nDisallow: /index.php$", "/index.php?zip=1", true},
        {"User-agent: *\nDisallow: /*zip=0", "/index.php?zip=03053", false},
        {"User-agent: *\nDisallow: /*zip=9", "/index.php?zip=03053", true},
        {"User-agent: *\nDisallow: /\nAllow: /index.php", "/index.php?zip=1", true},
        {"User-agent: *\nDisallow: /index\nAllow: /index", "/index.php", true},  // a tie goes to Allow
        {"User-agent: *\nAllow: /\nDisallow: /index.php?zip=", "/index.php?zip=1", false},
        {"User-agent: other\nDisallow: /", "/index.php", true},
        {"User-agent: *\nDisallow: /\n\nUser-agent: harrowfen\nDisallow: /private", "/index.php", true},
        {"User-agent: HARROWFEN\nUser-agent: other\nDisallow: /index", "/index.php", false},
        {"# comment\r\nUser-agent: * # everyone\r\nDisallow: /index.php # the pages\r\n", "/index.php", false},
        {"Disallow: /\nUser-agent: *\nAllow: /", "/index.php", true},  // rules before any group are nobody's
    };
    for (const RobotsCase& c : cases) {
        EXPECT_EQ(RobotsRules::parse(c.text).allows(c.path), c.allowed) << c.text << " | " << c.path;
    }
}

TEST(RobotsRules, BlockingRuleAndCrawlDelayOfTheChosenGroup)
{
    const RobotsRules rules = RobotsRules::parse(
        "User-agent: *\nCrawl-delay: 9\n\nUser-agent: Harrowfen\nCrawl-delay: 2.5\nDisallow: /index.php?zip=0\n");
    EXPECT_EQ(rules.blockingRule("/index.php?zip=03053"), "/index.php?zip=0");
    EXPECT_EQ(rules.blockingRule("/index.php?zip=13053"), "");
    ASSERT_TRUE(rules.crawlDelaySeconds());
    EXPECT_DOUBLE_EQ(*rules.crawlDelaySeconds(), 2.5);
    EXPECT_FALSE(RobotsRules::parse("User-agent: *\nCrawl-delay: soon\n").crawlDelaySeconds());
}

TEST(RobotsRules, ManyWildcardsOnALongPathStayCheap)
{
    const QByteArray pattern = "/" + QByteArray(30, '*') + "a" + QByteArray(30, '*') + "b$";
    const QByteArray path = "/" + QByteArray(5000, 'a') + "c";
    EXPECT_FALSE(robotsPatternMatches(pattern, path));
    EXPECT_TRUE(robotsPatternMatches(pattern, path + "b"));
}

TEST(MaxAge, SecondsOrANumberWithAUnit)
{
    EXPECT_EQ(parseMaxAge("0"), 0s);
    EXPECT_EQ(parseMaxAge("45"), 45s);
    EXPECT_EQ(parseMaxAge("45s"), 45s);
    EXPECT_EQ(parseMaxAge("90m"), 5400s);
    EXPECT_EQ(parseMaxAge("12h"), 43200s);
    EXPECT_EQ(parseMaxAge("30d"), 2592000s);
    for (const char* wrong : {"", "d", "-1d", "+5", "1.5h", "3w", "10 d", "99999999999999d"})
        EXPECT_FALSE(parseMaxAge(wrong)) << wrong;
}

class PageCacheFolder : public ::testing::Test {
protected:
    QTemporaryDir m_folder;
    PageCache m_cache{m_folder.filePath("pages")};
};

TEST_F(PageCacheFolder, KeepsBodyStatusAndTimeExactlyAndLeavesNoTemporaryFile)
{
    QString error;
    ASSERT_TRUE(m_cache.open(error)) << error.toStdString();
    QByteArray body;
    for (int byte = 0; byte < 256; ++byte)
        body += char(byte);
    const CachedPage page{body + "\n\nstatus 200\n", 404,
                          QDateTime::fromString("2026-01-02T03:04:05.678Z", Qt::ISODateWithMs)};
    ASSERT_TRUE(m_cache.store("http://h/index.php?zip=1", page, error)) << error.toStdString();
    const std::optional<CachedPage> found = m_cache.find("http://h/index.php?zip=1");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->body, page.body);
    EXPECT_EQ(found->httpStatus, 404);
    EXPECT_EQ(found->fetched, page.fetched);
    EXPECT_FALSE(m_cache.find("http://h/index.php?zip=2"));
    EXPECT_EQ(QDir(m_folder.filePath("pages")).entryList(QDir::Files).size(), 1);
}

TEST_F(PageCacheFolder, AForeignOrDamagedFileCountsAsMissing)
{
    QString error;
    ASSERT_TRUE(m_cache.open(error));
    const QByteArray url = "http://h/index.php?zip=1";
    for (const QByteArray& content : {QByteArray("<html>not ours</html>"),
                                      QByteArray("zipdemographics page 1\nurl http://h/other\nstatus 200\n"
                                                 "fetched 2026-01-02T03:04:05.678Z\n\nbody"),
                                      QByteArray("zipdemographics page 1\nurl http://h/index.php?zip=1\n"
                                                 "status 200\nfetched yesterday\n\nbody"),
                                      QByteArray("zipdemographics page 1\nurl http://h/index.php?zip=1\n")}) {
        QFile file(m_cache.pathFor(url));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_FALSE(m_cache.find(url)) << content.constData();
    }
}

// A file of ours that is cut short, changed, or cannot be read is damaged, not
// missing and never a page; a file of the first kind, without checksum, is read.
TEST_F(PageCacheFolder, ACutChangedOrUnreadableFileIsDamagedAndNeverServed)
{
    QString error;
    ASSERT_TRUE(m_cache.open(error)) << error.toStdString();
    const QByteArray url = "http://h/index.php?zip=1";
    const CachedPage page{QByteArray(3000, 'p'), 200, QDateTime::currentDateTimeUtc()};
    ASSERT_TRUE(m_cache.store(url, page, error)) << error.toStdString();
    ASSERT_EQ(m_cache.lookUp(url).kind, CacheLookup::Kind::Found);
    const QByteArray whole = test::readWholeFile(m_cache.pathFor(url));
    QByteArray changed = whole;
    changed[changed.size() - 10] = 'q';
    for (const QByteArray& bytes : {whole.left(whole.size() - 1), whole.left(whole.size() / 2), changed,
                                    whole + "x", whole.left(whole.indexOf("\n\n"))}) {
        ASSERT_TRUE(test::writeWholeFile(m_cache.pathFor(url), bytes));
        EXPECT_EQ(m_cache.lookUp(url).kind, CacheLookup::Kind::Damaged) << bytes.size();
        EXPECT_FALSE(m_cache.find(url));
    }
    ASSERT_TRUE(test::writeWholeFile(m_cache.pathFor(url), "zipdemographics page 1\nurl " + url
                                                               + "\nstatus 200\nfetched 2026-01-02T03:04:05.678Z\n\nold"));
    EXPECT_EQ(m_cache.find(url)->body, "old");

    ASSERT_TRUE(test::writeWholeFile(m_cache.pathFor(url), whole));
    QFile::setPermissions(m_cache.pathFor(url), QFileDevice::WriteOwner);
    QFile::setPermissions(m_folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ExeOther);
    QFile::setPermissions(m_folder.filePath("pages"), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                          | QFileDevice::ReadOther | QFileDevice::ExeOther);
    test::UnprivilegedScope ordinaryUser;
    if (!ordinaryUser.permissionsApply())
        GTEST_SKIP() << "permissions cannot be made to apply";
    EXPECT_EQ(m_cache.lookUp(url).kind, CacheLookup::Kind::Damaged) << "unreadable";
    // A folder that takes no new files is refused for a run that keeps pages, not for one that only reads.
    EXPECT_FALSE(m_cache.open(error));
    EXPECT_TRUE(error.contains("takes no new files")) << error.toStdString();
    EXPECT_TRUE(m_cache.open(error, PageCache::Use::ReadOnly));
}

TEST_F(PageCacheFolder, AFileInTheFoldersPlaceIsRefused)
{
    QFile file(m_folder.filePath("pages"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString error;
    EXPECT_FALSE(m_cache.open(error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace zd
