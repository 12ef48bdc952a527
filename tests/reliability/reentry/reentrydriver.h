#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <csignal>
#include <memory>
#include <string>

namespace zd::test {

// Drives the real window through seeded sequences of commands, each started at
// the top or inside a pump of a command already running, and checks after every
// command that the lists, pointers, saved files and messages still make sense.

// The commands a sequence draws from.
enum class Kind { Help, ClearList, Delete, Samples, AddOne, Load, Save, Click };

// Where a nested command started.
enum class Site { TopLevel, LookupWait, LocationClickPumps, SaveCommandPumps, WriterPumps, Elsewhere };
constexpr int kSiteCount = 6;

const char* siteName(Site site);

// How nested commands reach the pumps.
enum class Mode {
    // A posted event waits at every pump; each lookup's wait runs on a clock that
    // advances by each pump's sleep, so a seed always gives the same sequence.
    Stepped,
    // Each running command has a timer of one millisecond; lookups wait on the
    // real clock. Closer to a user's clicks, not exactly replayable.
    Timed,
};

struct Totals {
    int sequences = 0;
    int commands = 0;
    int deepest = 0;
    std::array<int, kSiteCount> nestedAt{};
    int savesFollowed = 0;  // saves whose file was compared with what their writer took
    int savesInWriters = 0; // saves to the file that an outer save's writer was writing
};

struct StressSettings {
    Mode mode = Mode::Stepped;
    QString loadFolder;
    QString saveFolder;
    QString programFolder;
    int deepest = 3;  // commands running at once
};

// One seeded sequence of commands on a window of its own.
class Sequence {
public:
    Sequence(const StressSettings& settings, unsigned seed, Totals& totals);
    ~Sequence();
    Sequence(const Sequence&) = delete;
    Sequence& operator=(const Sequence&) = delete;

    // Runs the seed's commands; the problems found, empty when none.
    QStringList run();
    // The seed, its chances and every command run, nested ones indented.
    std::string trace() const;

private:
    class Run;
    std::unique_ptr<Run> m_run;
};

// The seed running now (-1: none), written out if the process crashes.
extern volatile std::sig_atomic_t g_runningSeed;
void reportSeedOnCrash();

}  // namespace zd::test
