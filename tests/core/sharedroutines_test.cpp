#include "core/sharedroutines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>
#include <limits>

using namespace zd;

TEST(FileExists, OnlyAnExistingEntryCounts)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("list.txt");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.close();
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(dir.filePath("missing.txt")));
    EXPECT_FALSE(FileExists(QStringLiteral("/no/such/folder/list.txt")));
    EXPECT_FALSE(FileExists(file + QChar(0) + QStringLiteral("x")));
}

struct SlashCase {
    const char* argument;
    const char* result;
};

void PrintTo(const SlashCase& slashCase, std::ostream* out)
{
    *out << '"' << slashCase.argument << '"';
}

class FixPathSlashesTable : public ::testing::TestWithParam<SlashCase> {};

TEST_P(FixPathSlashesTable, RepairsDoubledBackslashes)
{
    EXPECT_EQ(FixPathSlashes(QString::fromLatin1(GetParam().argument)),
              QString::fromLatin1(GetParam().result));
}

INSTANTIATE_TEST_SUITE_P(JoinedPaths, FixPathSlashesTable,
    ::testing::Values(SlashCase{R"(C:\\list.txt)", R"(C:\list.txt)"},
                      SlashCase{R"(C:\dir\\a.txt)", R"(C:\dir\a.txt)"},
                      SlashCase{R"(a\\\b)", R"(a\\b)"},
                      SlashCase{R"(a\\\\b)", R"(a\\b)"},
                      SlashCase{R"(\\server\share\\a.txt)", R"(\\server\share\a.txt)"},
                      SlashCase{R"(\\\\server\a.txt)", R"(\\server\a.txt)"},
                      SlashCase{R"(\dir\\a.txt)", R"(\\dir\a.txt)"},
                      SlashCase{R"(\)", R"(\\)"},
                      SlashCase{R"(\\\)", R"(\\)"},
                      SlashCase{"", ""},
                      SlashCase{"/home/u//a.txt", "/home/u//a.txt"}));

namespace {
// A clock that moves only when the wait pumps: by a fixed step, or by what the
// wait asks to sleep when the step is 0. Notes what each pump was asked.
struct SteppingClock {
    double now;
    double step;
    QList<double> asked = {};
    WaitHooks hooks()
    {
        WaitHooks hooks;
        hooks.clock = [this] { return now; };
        hooks.pumpAndSleep = [this](double seconds) {
            asked.append(seconds);
            now += step > 0 ? step : seconds;
        };
        return hooks;
    }
};
}  // namespace

TEST(WaitSeconds, ZeroOrLessReturnsWithoutPumping)
{
    SteppingClock clock{100.0, 0.1};
    WaitSeconds(0, clock.hooks());
    WaitSeconds(-3, clock.hooks());
    WaitSeconds(std::numeric_limits<double>::quiet_NaN(), clock.hooks());
    EXPECT_TRUE(clock.asked.isEmpty());
}

TEST(WaitSeconds, PumpsUntilTheClockHasMovedOnBySeconds)
{
    SteppingClock clock{100.0, 0.25};
    WaitSeconds(1, clock.hooks());
    EXPECT_EQ(clock.asked.size(), 4);
    EXPECT_DOUBLE_EQ(clock.now, 101.0);
}

TEST(WaitSeconds, SleepsInSlicesOfAtMostATwentiethAndNeverPastTheEnd)
{
    SteppingClock clock{7.0, 0};
    WaitSeconds(0.12, clock.hooks());
    ASSERT_EQ(clock.asked.size(), 3);
    EXPECT_DOUBLE_EQ(clock.asked[0], 0.05);
    EXPECT_DOUBLE_EQ(clock.asked[1], 0.05);
    EXPECT_NEAR(clock.asked[2], 0.02, 1e-12);
    EXPECT_NEAR(clock.now, 7.12, 1e-12);
}

TEST(WaitSeconds, WaitsAsLongAsAskedWhateverTheClockReadsAtTheStart)
{
    // A time of day restarts at midnight and cannot count a whole day; the
    // monotonic clock counts on.
    for (const double start : {0.0, 86399.5, 1e6}) {
        SteppingClock clock{start, 0.5};
        WaitSeconds(90000, clock.hooks());
        EXPECT_EQ(clock.asked.size(), 180000) << start;
    }
}

TEST(WaitSeconds, TheRealClockCountsSeconds)
{
    const double first = monotonicClockSeconds();
    QElapsedTimer wall;
    wall.start();
    WaitSeconds(0.05);
    const double second = monotonicClockSeconds();
    EXPECT_GE(second - first, 0.049);
    EXPECT_LE(second - first, wall.elapsed() / 1000.0 + 0.01);
}

TEST(WaitSeconds, KeepsTheEventLoopRunningWithoutSpinning)
{
    bool timerFired = false;
    QTimer::singleShot(50, [&] { timerFired = true; });
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    WaitSeconds(0.4);
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    EXPECT_TRUE(timerFired);
    EXPECT_GE(wall.elapsed(), 390);
    // A busy loop would burn the whole 0.4 s of processor time.
    EXPECT_LT(cpuSeconds, 0.2);
}
