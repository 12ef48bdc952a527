#include "core/sharedroutines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <ctime>

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
// A clock that moves only when the wait pumps, by a fixed step per pump.
struct SteppingClock {
    double now;
    double step;
    int pumps = 0;
    WaitHooks hooks()
    {
        return {[this] { return now; },
                [this](double) {
                    ++pumps;
                    now += step;
                    if (now >= 86400.0)
                        now -= 86400.0;
                }};
    }
};
}  // namespace

TEST(WaitSeconds, ZeroOrLessReturnsWithoutPumping)
{
    SteppingClock clock{100.0, 0.1};
    WaitSeconds(0, clock.hooks());
    WaitSeconds(-3, clock.hooks());
    EXPECT_EQ(clock.pumps, 0);
}

TEST(WaitSeconds, PumpsUntilTheClockHasMovedOnBySeconds)
{
    SteppingClock clock{100.0, 0.25};
    WaitSeconds(1, clock.hooks());
    EXPECT_EQ(clock.pumps, 4);
    EXPECT_DOUBLE_EQ(clock.now, 101.0);
}

TEST(WaitSeconds, CountsOnAcrossMidnight)
{
    SteppingClock clock{86399.5, 0.25};
    WaitSeconds(1, clock.hooks());
    EXPECT_EQ(clock.pumps, 4);
    EXPECT_NEAR(clock.now, 0.5, 1e-9);
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
