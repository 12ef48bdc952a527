// The progress line's arithmetic and its fit: the time left from the pages
// still to fetch at the recent pace, and a line that never wraps.
#include "cli/progressline.h"
#include "cli/timeleft.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(TimeLeft, PagesLeftAtTheRecentPaceNotTheWholeRunsAverage)
{
    TimeLeft left;
    EXPECT_FALSE(left.secondsLeft(100)) << "no pace yet";
    // 10 pages a second for a minute...
    for (int second = 0; second <= 60; ++second)
        left.record(second, second * 10);
    EXPECT_DOUBLE_EQ(*left.secondsLeft(100), 10.0);
    // ...then 1 a second: within the window the recent pace takes over.
    for (int second = 61; second <= 100; ++second)
        left.record(second, 600 + (second - 60));
    EXPECT_NEAR(*left.secondsLeft(100), 100.0, 1.0);
    // No page for a while: the pace slows as the time passes.
    left.record(130, 640);
    EXPECT_GT(*left.secondsLeft(100), 1000.0);
    EXPECT_EQ(left.secondsLeft(0), 0.0);
}

// A run that takes most entries from the cache: only the pages to fetch count.
TEST(TimeLeft, EntriesFromTheCacheCostNoTime)
{
    BatchProgress progress;
    progress.total = 1000;
    progress.done = 990;  // 980 from the cache, 10 fetched
    progress.pagesFetched = 10;
    progress.pagesLeft = 10;
    progress.seconds = 10;
    TimeLeft left;
    left.record(0, 0);
    left.record(10, 10);
    EXPECT_EQ(ProgressLine::describe(progress, left.secondsLeft(progress.pagesLeft)),
              "990/1000 done, 0 failed, 0.0 requests/s, 00:10 left");
}

TEST(ProgressLineText, CutToTheTerminalsWidthWithoutItsLastColumn)
{
    const QString text = "12/40 done, 0 failed, 3.5 requests/s, 00:10 left";
    EXPECT_EQ(ProgressLine::fitted(text, 0), text);
    EXPECT_EQ(ProgressLine::fitted(text, 200), text);
    EXPECT_EQ(ProgressLine::fitted(text, 20), "12/40 done, 0 faile");
    EXPECT_EQ(ProgressLine::fitted(text, text.size()), text.left(text.size() - 1));
    EXPECT_EQ(ProgressLine::fitted(text, 1), "");
}

// A wait cut to --max-wait is named on the line while it lasts, and cut with the
// rest of the line to the terminal's width.
TEST(ProgressLineText, NamesAWaitCutToTheLongestAndFitsWithIt)
{
    BatchProgress progress;
    progress.total = 40;
    progress.done = 12;
    progress.cappedWait = CappedWait{CappedWait::Kind::RetryAfter, 3600, 60};
    const QString retry = ProgressLine::describe(progress, std::nullopt);
    EXPECT_EQ(retry, "12/40 done, 0 failed, 0.0 requests/s, the site asked for a Retry-After of 3600 s, "
                     "waiting 60 s (--max-wait)");
    EXPECT_EQ(ProgressLine::fitted(retry, 60), retry.left(59));
    progress.cappedWait = CappedWait{CappedWait::Kind::CrawlDelay, 2.5, 0.5};
    EXPECT_TRUE(ProgressLine::describe(progress, std::nullopt)
                    .endsWith("the site asked for a Crawl-delay of 2.5 s, waiting 0.5 s between requests (--max-wait)"));
}

}  // namespace
}  // namespace zd
