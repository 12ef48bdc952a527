#include "tests/reliability/reentry/reentrydriver.h"

#include "core/besideeventloop.h"
#include "core/eventpump.h"
#include "core/listmodel.h"
#include "tests/support/scripteddialogs.h"
#include "window/form1.h"
#include "window/reportview.h"
#include "commands/locationclick.h"
#include "retrieval/locationlookup.h"
#include "tests/reliability/reentry/reentryinvariants.h"
#include "tests/reliability/reentry/reentrymodel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace zd::test {

volatile std::sig_atomic_t g_runningSeed = -1;

const char* siteName(Site site)
{
    switch (site) {
    case Site::TopLevel: return "top";
    case Site::LookupWait: return "lookup wait";
    case Site::LocationClickPumps: return "location click pumps";
    case Site::SaveCommandPumps: return "save command pumps";
    case Site::WriterPumps: return "writer pumps";
    case Site::Elsewhere: return "elsewhere";
    }
    return "?";
}

class Sequence::Run {
public:
    Run(const StressSettings& settings, unsigned seed, Totals& totals)
        : m_settings(settings), m_seed(seed), m_rng(seed), m_totals(totals)
    {
        Form1Options options;
        options.programFolder = settings.programFolder;
        options.endProgram = [] {};
        m_form = std::make_unique<Form1>(m_dialogs, options);
        m_form->show();
        QCoreApplication::processEvents();
        installLookupWait();
    }

    ~Run()
    {
        resetLookupWaitHooks();
        m_form.reset();
    }

    QStringList run()
    {
        const int topLevel = std::uniform_int_distribution<int>(3, 6)(m_rng);
        m_nestBudget = std::uniform_int_distribution<int>(3, 12)(m_rng);
        // Each sequence favours some kinds of pump over others, so that commands
        // also reach the later pumps of a command and meet there.
        static constexpr std::array<double, 4> kChances{0.0, 0.05, 0.2, 0.6};
        for (double& chance : m_nestChance)
            chance = kChances[std::uniform_int_distribution<size_t>(0, kChances.size() - 1)(m_rng)];
        for (int i = 0; i < topLevel; ++i) {
            runCommand(Site::TopLevel);
            checkAtRest();
        }
        // A probe still posted finds no command running and goes.
        QCoreApplication::processEvents();
        checkAtRest();
        checkSavedFiles();
        checkMessages();
        ++m_totals.sequences;
        return m_problems;
    }

    std::string trace() const
    {
        std::ostringstream out;
        out << "seed " << m_seed << ", chances of nesting at a lookup wait " << m_nestChance[1]
            << ", location click pumps " << m_nestChance[2] << ", save command pumps " << m_nestChance[3]
            << ", writer pumps " << m_nestChance[4] << ":\n";
        for (const QString& line : m_trace)
            out << "  " << line.toStdString() << '\n';
        return out.str();
    }

private:
    struct Frame {
        Kind kind = Kind::Help;
        long long pumpsAtStart = 0;
        long long nestedPumps = 0;  // pumps inside the commands nested in this one
        int nested = 0;
        QString label;
        // A save: whether it pumps twice and collects before it writes; the rows its
        // writer took, as the demographics list held them at the writer's first pump;
        // whether its file is in place (its closing location click has begun); and
        // whether a command ran after that.
        bool saveCollects = false;
        std::optional<QList<Row>> written;
        bool committed = false;
        bool nestedAfterCommit = false;
    };

    WindowState& state() { return m_form->state(); }
    int depth() const { return static_cast<int>(m_frames.size()); }

    void installLookupWait()
    {
        WaitHooks hooks;
        if (m_settings.mode == Mode::Stepped) {
            setLookupWaitSeconds(0.12);
            hooks.clock = [this] { return m_steppedClock; };
            hooks.pumpAndSleep = [this](double seconds) {
                // At least a millisecond: a remainder below the clock's precision
                // would never move it.
                m_steppedClock += std::max(seconds, 0.001);
                pumpInLookupWait(seconds);
            };
        } else {
            setLookupWaitSeconds(0.01);
            hooks.clock = &monotonicClockSeconds;
            hooks.pumpAndSleep = [this](double seconds) { pumpInLookupWait(seconds); };
        }
        setLookupWaitHooks(hooks);
    }

    void pumpInLookupWait(double seconds)
    {
        m_lookupWaits.push_back(depth());
        pumpEventsAndSleep(seconds);
        m_lookupWaits.pop_back();
    }

    // --- Probes: a chance to start a command inside a pump ---

    void arm()
    {
        if (m_settings.mode != Mode::Stepped || m_armed)
            return;
        m_armed = true;
        QMetaObject::invokeMethod(&m_probeTarget, [this] { probe(); }, Qt::QueuedConnection);
    }

    void probe()
    {
        m_armed = false;
        if (m_frames.empty())
            return;  // posted during the last command, which has ended
        if (isWaitingBesideEventLoop()) {
            holdUntilTheFetchIsOver();
            return;
        }
        // Only the first probe within one pump counts: the event loop may hand on a
        // probe posted anew within the same pass.
        if (pumpCount() != m_pumpsSeen) {
            m_pumpsSeen = pumpCount();
            if (m_lookupWaits.empty() || m_lookupWaits.back() != depth())
                followSave(*m_frames.back());
            checkBusyWhereItMustBe();
            checkWhileRunning();
            maybeNest();
            m_pumpsSeen = pumpCount();
        }
        arm();
    }

    // While a fetch runs beside the event loop the program holds the user's input
    // back, so no command can start there: the probe comes back after the fetch.
    void holdUntilTheFetchIsOver()
    {
        if (m_settings.mode != Mode::Stepped)
            return;  // the timer probes again
        m_armed = true;
        QTimer::singleShot(1, &m_probeTarget, [this] {
            m_armed = false;
            arm();
        });
    }

        Site currentSite() const
    {
        const Frame& frame = *m_frames.back();
        if (!m_lookupWaits.empty() && m_lookupWaits.back() == depth())
            return Site::LookupWait;
        switch (frame.kind) {
        case Kind::Click:
        case Kind::AddOne:
        case Kind::Samples:
        case Kind::Load:
            return Site::LocationClickPumps;  // their only pumps outside lookups
        case Kind::Save:
            return saveSite(frame);
        default:
            return Site::Elsewhere;
        }
    }

    // The save command's own pumps: two before it collects (when it does), then the
    // writer's, then those of the location click that ends it.
    static Site saveSite(const Frame& frame)
    {
        const long long own = pumpCount() - frame.pumpsAtStart - frame.nestedPumps;
        if (!frame.written && frame.saveCollects && own <= 2)
            return Site::SaveCommandPumps;
        return frame.committed ? Site::LocationClickPumps : Site::WriterPumps;
    }

    // Follows a save through its phases at its own pumps. At the writer's first
    // pump the demographics list still holds what it writes. The writer runs with
    // the arrow showing (a nested command also ends with it), while the closing
    // location click shows the hourglass from before its first pump.
    void followSave(Frame& frame)
    {
        if (frame.kind != Kind::Save)
            return;
        const long long own = pumpCount() - frame.pumpsAtStart - frame.nestedPumps;
        if (!frame.written && own == (frame.saveCollects ? 3 : 1))
            frame.written = demographicsRows();
        else if (frame.written && !frame.committed && state().isBusy())
            frame.committed = true;
    }

    void maybeNest()
    {
        if (depth() >= m_settings.deepest || m_nestBudget == 0)
            return;
        const Site site = currentSite();
        if (!std::bernoulli_distribution(m_nestChance[static_cast<int>(site)])(m_rng))
            return;
        --m_nestBudget;
        Frame& outer = *m_frames.back();
        ++outer.nested;
        if (outer.kind == Kind::Save && site == Site::LocationClickPumps)
            outer.nestedAfterCommit = true;
        ++m_totals.nestedAt[static_cast<int>(site)];
        const long long before = pumpCount();
        runCommand(site);
        outer.nestedPumps += pumpCount() - before;
    }

    // --- Commands ---

    void runCommand(Site site)
    {
        const Kind kind = static_cast<Kind>(std::discrete_distribution<int>({1, 3, 3, 2, 3, 2, 3, 3})(m_rng));
        const int choice = std::uniform_int_distribution<int>(0, 11)(m_rng);
        Frame frame;
        frame.kind = kind;
        frame.pumpsAtStart = pumpCount();
        m_frames.push_back(&frame);
        m_totals.deepest = std::max(m_totals.deepest, depth());
        ++m_totals.commands;
        const qsizetype traceLine = m_trace.size();
        m_trace.append(QString(2 * (depth() - 1), QLatin1Char(' ')) + QLatin1Char('[')
                       + QLatin1String(siteName(site)) + QStringLiteral("] "));
        std::optional<QTimer> timer;
        if (m_settings.mode == Mode::Timed) {
            timer.emplace();
            timer->setInterval(1);
            QObject::connect(&*timer, &QTimer::timeout, &m_probeTarget, [this] { probe(); });
            timer->start();
        }
        arm();
        execute(frame, choice);
        m_trace[traceLine] += frame.label;
        timer.reset();
        m_frames.pop_back();
    }

    void execute(Frame& frame, int choice)
    {
        switch (frame.kind) {
        case Kind::Help: return help(frame);
        case Kind::ClearList: return clearList(frame);
        case Kind::Delete: return deleteKey(frame, choice);
        case Kind::Samples: return samples(frame);
        case Kind::AddOne: return addOne(frame, choice);
        case Kind::Load: return load(frame, choice);
        case Kind::Save: return save(frame, choice);
        case Kind::Click: return clickLocation(frame, choice);
        }
    }

    void help(Frame& frame)
    {
        frame.label = QStringLiteral("Help");
        ++m_ledger.helps;
        m_form->pushButton(1)->click();
    }

    void clearList(Frame& frame)
    {
        const bool busy = state().isBusy();
        frame.label = busy ? QStringLiteral("Clear List (busy)") : QStringLiteral("Clear List");
        const QStringList zipsBefore = rowTexts(state().zipList());
        m_form->pushButton(4)->click();  // pumps nothing
        if (state().locationList().rowCount() != 0 || state().demographicsList().rowCount() != 0)
            problem(QStringLiteral("rows are left in the location or demographics list"));
        const QStringList zipsExpected = busy ? zipsBefore : QStringList();
        if (rowTexts(state().zipList()) != zipsExpected)
            problem(busy ? QStringLiteral("the zip list changed") : QStringLiteral("the zip list kept its rows"));
    }

    void deleteKey(Frame& frame, int choice)
    {
        ListModel& zips = state().zipList();
        frame.label = QStringLiteral("Delete");
        if (zips.rowCount() > 0 && choice % 4 != 0) {
            const int position = choice % zips.rowCount() + 1;
            frame.label += QStringLiteral(" on row %1").arg(position);
            clickRow(1, position);
        }
        const bool busy = state().isBusy();
        if (busy)
            frame.label += QStringLiteral(" (busy)");
        const int selected = zips.selectedPosition();
        QStringList expected = rowTexts(zips);
        const QStringList locationsBefore = rowTexts(state().locationList());
        if (!busy && selected > 0)
            expected.removeAt(selected - 1);
        QTest::keyClick(m_form->listView(1), Qt::Key_Delete);
        if (rowTexts(zips) != expected)
            problem(QStringLiteral("with row %1 selected the zip list became %2")
                        .arg(selected).arg(rowTexts(zips).join(QLatin1Char('|'))));
        if (rowTexts(state().locationList()) != locationsBefore)
            problem(QStringLiteral("the location list changed"));
    }

    void samples(Frame& frame)
    {
        frame.label = QStringLiteral("Samples");
        added(QStringLiteral("03053"));
        added(QStringLiteral("01830"));
        m_form->pushButton(5)->click();
        checkShownAfterAdding(frame);
    }

    void addOne(Frame& frame, int choice)
    {
        const QString answer = addOneAnswers().at(choice % addOneAnswers().size());
        frame.label = answer.isEmpty() ? QStringLiteral("Add One, Cancel")
                                       : QStringLiteral("Add One '%1'").arg(answer);
        if (!answer.isEmpty())
            added(answer);
        m_dialogs.queueInput(answer);
        m_form->pushButton(6)->click();
        checkShownAfterAdding(frame);
    }

    void load(Frame& frame, int choice)
    {
        const auto& files = listFiles();
        const QString folder = m_settings.loadFolder;
        const QChar nul(0);
        QString answer;
        QList<const ListFile*> chosen;
        switch (choice % 6) {
        case 0:
        case 1:
            chosen = {&files[choice % 6]};
            answer = QDir(folder).filePath(QLatin1String(chosen[0]->name));
            break;
        case 2:  // two files: the folder, then each name
            chosen = {&files[0], &files[2]};
            answer = folder + nul + QLatin1String(files[0].name) + nul + QLatin1String(files[2].name);
            break;
        case 3:
            chosen = {&files[1], &files[2]};
            answer = folder + nul + QLatin1String(files[1].name) + nul + QLatin1String(files[2].name);
            break;
        case 4:
            answer = QDir(folder).filePath(QStringLiteral("missing.txt"));
            ++m_ledger.missingLoads;
            break;
        default:
            break;  // Cancel
        }
        QStringList names;
        for (const ListFile* file : chosen) {
            names.append(QLatin1String(file->name));
            for (const QString& entry : file->entries)
                added(entry);
        }
        frame.label = answer.isEmpty() ? QStringLiteral("Load, Cancel")
                      : names.isEmpty() ? QStringLiteral("Load missing.txt")
                                        : QStringLiteral("Load ") + names.join(QLatin1Char('+'));
        m_dialogs.queueOpen(answer);
        m_form->pushButton(3)->click();
        if (!chosen.isEmpty())
            checkShownAfterAdding(frame);
    }

    void save(Frame& frame, int choice)
    {
        const int which = choice % 3;  // two files, so that saves meet on one
        if (which == 2) {
            frame.label = QStringLiteral("Save, Cancel");
            m_dialogs.queueSave(QString());
            m_form->pushButton(2)->click();
            return;
        }
        const QString name = QStringLiteral("r%1.txt").arg(which + 1);
        const QString path = QDir(m_settings.saveFolder).filePath(name);
        frame.label = QStringLiteral("Save ") + name;
        const QStringList entries = rowTexts(state().locationList());
        const bool hadRows = state().demographicsList().rowCount() > 0;
        frame.saveCollects = !entries.isEmpty();
        ++m_ledger.savesWithPath;
        for (const Frame* outer : m_frames) {
            if (outer != &frame && outer->kind == Kind::Save && outer->written && !outer->committed
                && outer->label == frame.label)
                ++m_totals.savesInWriters;
        }
        m_dialogs.queueSave(path);
        m_form->pushButton(2)->click();
        if (frame.written)
            m_ledger.written[path].append(*frame.written);
        else
            m_ledger.writtenUnknown.insert(path);
        if (frame.written && !frame.nestedAfterCommit) {
            // Saves nested in this one's writer finished first; this one's file
            // took their place.
            ++m_totals.savesFollowed;
            const SavedTable table = readSavedTable(path);
            if (!table.problem.isEmpty())
                problem(name + QLatin1Char(' ') + table.problem);
            else if (table.rows != *frame.written)
                problem(name + QStringLiteral(" does not hold what this save wrote"));
        }
        if (frame.nested > 0)
            return;
        // Nothing ran meanwhile: the file holds every location's rows in the list's
        // order, and the demographics list is as the user had it.
        QList<Row> expected;
        for (const QString& entry : entries)
            expected += expectedBlock(entry);
        const SavedTable table = readSavedTable(path);
        if (!table.problem.isEmpty())
            problem(name + QLatin1Char(' ') + table.problem);
        else if (table.rows != expected)
            problem(QStringLiteral("%1 does not hold the rows of the locations %2").arg(name, entries.join(QLatin1Char('|'))));
        if (!hadRows && state().demographicsList().rowCount() != 0)
            problem(QStringLiteral("rows are left in a demographics list that was empty"));
        if (hadRows)
            checkShowsSelected(QStringLiteral("after the save"));
    }

    void clickLocation(Frame& frame, int choice)
    {
        ListModel& locations = state().locationList();
        if (locations.rowCount() == 0) {
            frame.label = QStringLiteral("Click on the empty location list");
            return;
        }
        const int position = choice % locations.rowCount() + 1;
        const QString entry = locations.rowText(position);
        frame.label = QStringLiteral("Click on row %1").arg(position);
        clickRow(2, position);
        if (frame.nested == 0 && demographicsRows() != expectedBlock(entry))
            problem(QStringLiteral("the rows shown are not those of '%1'").arg(entry));
    }

    // A user's mouse click on a row of ListView1 or ListView2.
    void clickRow(int list, int position)
    {
        ReportView* view = m_form->listView(list);
        const QModelIndex index = view->model()->index(position - 1, 0);
        view->scrollTo(index);
        const QRect rect = view->visualRect(index);
        if (!rect.isValid()) {
            problem(QStringLiteral("row %1 of ListView%2 is not on screen").arg(position).arg(list));
            return;
        }
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    // --- Invariants (the checks themselves: reentryinvariants) ---

    void added(const QString& entry) { ++m_ledger.added[entry]; }

    // With nothing nested, an adding command ends showing the selected location.
    void checkShownAfterAdding(const Frame& frame)
    {
        if (frame.nested == 0 && state().locationList().rowCount() > 0)
            checkShowsSelected(QStringLiteral("after adding"));
    }

    // The window is busy at the pumps of a location click, of the loading and of
    // the save command before it collects: Clear List and the Delete key must see
    // it there. A nested command ends with the arrow, so only the pumps before the
    // first one count.
    void checkBusyWhereItMustBe()
    {
        const Frame& frame = *m_frames.back();
        if (frame.nested > 0)
            return;
        const Site site = currentSite();
        const bool mustBeBusy = site == Site::LocationClickPumps || site == Site::SaveCommandPumps
                                || (frame.kind == Kind::Load && site == Site::LookupWait);
        if (mustBeBusy && !state().isBusy())
            problem(QStringLiteral("the window is not busy at the %1").arg(QLatin1String(siteName(site))));
    }

    // Inside a pump: a location row may still wait for its lookup's result, but
    // no more of them than there are commands running.
    void checkWhileRunning() { checkLists(state(), m_ledger, depth(), reporter()); }

    ProblemReport reporter()
    {
        return [this](const QString& text) { problem(text); };
    }
    void checkShowsSelected(const QString& when) { zd::test::checkShowsSelected(state(), when, reporter()); }
    void checkAtRest() { zd::test::checkAtRest(*m_form, m_ledger, reporter()); }
    void checkSavedFiles() { zd::test::checkSavedFiles(m_settings.saveFolder, m_ledger, reporter()); }
    void checkMessages() { zd::test::checkMessages(m_dialogs, m_ledger, reporter()); }
    QList<Row> demographicsRows() { return zd::test::demographicsRows(state()); }

    void problem(const QString& text)
    {
        QString where;
        if (!m_frames.empty())
            where = m_frames.back()->label.isEmpty() ? QStringLiteral("starting a command") : m_frames.back()->label;
        else
            where = QStringLiteral("at rest after ") + (m_trace.isEmpty() ? QString() : m_trace.constLast().trimmed());
        const QString line = where + QStringLiteral(": ") + text;
        if (m_problems.size() < 20 && !m_problems.contains(line))
            m_problems.append(line);
    }

    const StressSettings& m_settings;
    unsigned m_seed;
    std::mt19937 m_rng;
    Totals& m_totals;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<Form1> m_form;
    QObject m_probeTarget;
    bool m_armed = false;
    long long m_pumpsSeen = -1;
    double m_steppedClock = 3600.0;
    std::vector<int> m_lookupWaits;  // the depth of each lookup waiting, innermost last
    std::vector<Frame*> m_frames;
    int m_nestBudget = 0;
    std::array<double, kSiteCount> m_nestChance{};  // by site
    CommandLedger m_ledger;
    QStringList m_trace;
    QStringList m_problems;
};

Sequence::Sequence(const StressSettings& settings, unsigned seed, Totals& totals)
    : m_run(std::make_unique<Run>(settings, seed, totals))
{
}

Sequence::~Sequence() = default;

QStringList Sequence::run() { return m_run->run(); }

std::string Sequence::trace() const { return m_run->trace(); }

namespace {

void writeRunningSeed()
{
    if (g_runningSeed < 0)
        return;
    char text[96];
    const int length = std::snprintf(text, sizeof text,
                                     "\nre-entry stress: crashed in seed %d (replay with ZD_REENTRY_SEED=%d)\n",
                                     static_cast<int>(g_runningSeed), static_cast<int>(g_runningSeed));
    if (length > 0)
        (void)!::write(STDERR_FILENO, text, static_cast<size_t>(length));
}

void onFatalSignal(int signal)
{
    writeRunningSeed();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void reportSeedOnCrash()
{
    for (int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, &onFatalSignal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(&writeRunningSeed);
#endif
}

}  // namespace zd::test
