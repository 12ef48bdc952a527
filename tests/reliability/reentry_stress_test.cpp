// Re-entry under stress: the real window, offscreen, against a demographics site
// on loopback. Wherever a command pumps window events (a lookup's wait, the
// location click's two pumps, the save command's two pumps, the writer's pumps),
// other commands start, to a depth of three, in orders drawn from a seeded
// generator. After every command the lists, the pointers, the saved files and
// the messages must still make sense.
//
// Replay one sequence: ZD_REENTRY_SEED=<seed> (the failure names it); change the
// number of sequences: ZD_REENTRY_SEEDS=<count>, the deepest nesting:
// ZD_REENTRY_DEPTH=<depth>.

#include "app/core/apperror.h"
#include "app/core/applicationpointer.h"
#include "app/core/errortrap.h"
#include "app/core/eventpump.h"
#include "app/core/listmodel.h"
#include "app/core/scripteddialogs.h"
#include "app/core/siteconfig.h"
#include "app/core/windows1252.h"
#include "app/window/form1.h"
#include "app/window/reportview.h"
#include "retrieval/locationclick.h"
#include "retrieval/locationlookup.h"
#include "site/httpserver.h"
#include "tests/support/samplepages.h"
#include "tests/support/scopedenvironment.h"
#include "ziplist/helpmessage.h"
#include "ziplist/ziplistreader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace zd::test {
namespace {

using Row = QPair<QString, QString>;

// --- Which sequence is running, for a crash report ---------------------------------

volatile std::sig_atomic_t g_runningSeed = -1;

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

void reportSeedOnCrash()
{
    for (int signal : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, &onFatalSignal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(&writeRunningSeed);
#endif
}

// --- The site ------------------------------------------------------------------------

struct Place {
    const char* zip;
    const char* name;
};
constexpr std::array<Place, 5> kPlaces{{{"03053", "Ashbury Ferns, NH"},
                                        {"01830", "Coldwater Mills, MA"},
                                        {"55501", "Tarn Hollow, MN"},
                                        {"44444", "Slowbrook Flats, OR"},
                                        {"77777", "Broken Reach, VT"}}};
constexpr const char* kSlowZip = "44444";    // its page arrives in pieces with pauses
constexpr const char* kBrokenZip = "77777";  // its page breaks off inside the figures

const Place* placeOf(const QString& zip)
{
    for (const Place& place : kPlaces) {
        if (zip == QLatin1String(place.zip))
            return &place;
    }
    return nullptr;
}

QString pageHtml(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    SamplePage page;
    page.zip = zip;
    page.locationHtml = QStringLiteral("<nobr>") + QLatin1String(place.name) + QStringLiteral("</nobr>");
    page.figures = {{QStringLiteral("Population"), QStringLiteral("12,4") + zip.right(2)},
                    {QStringLiteral("Median&nbsp;Age"), QStringLiteral("3") + zip.right(1)}};
    page.incomes = {{QStringLiteral("Under $25k"), QStringLiteral("<nobr>1") + zip.right(2) + QStringLiteral("</nobr>")}};
    QString html = samplePageHtml(page);
    if (zip == QLatin1String(kBrokenZip))
        html.truncate(html.indexOf(QStringLiteral("Median&nbsp;Age")) + 15);
    return html;
}

// The rows that showing a zip code's page puts into the demographics list: the
// name row, the figures and the household incomes; a page that breaks off gives
// the rows before the break.
QList<Row> rowsOfPlace(const Place& place)
{
    const QString zip = QLatin1String(place.zip);
    QList<Row> rows{{QLatin1String(place.name), QString()},
                    {QStringLiteral("Population"), QStringLiteral("12,4") + zip.right(2)},
                    {QStringLiteral("MedianAge"), QStringLiteral("3") + zip.right(1)},
                    {QStringLiteral("household income Under $25k"), QStringLiteral("1") + zip.right(2)}};
    if (zip == QLatin1String(kBrokenZip))
        rows.resize(2);
    return rows;
}

class StressSite {
public:
    StressSite()
        : m_notFound(encodeWindows1252(notFoundPageHtml())),
          m_server([this](const HttpRequest& request, HttpConnection& connection) {
              serve(request, connection);
          })
    {
        for (const Place& place : kPlaces)
            m_pages.insert(QByteArray(place.zip), encodeWindows1252(pageHtml(place)));
        if (!m_server.listen())
            throw std::runtime_error("stress site: " + m_server.errorString().toStdString());
        setDemographicsHostOverride(QString::fromLatin1(m_server.hostAndPort()));
    }
    ~StressSite()
    {
        m_server.stop();
        setDemographicsHostOverride(QString());
    }
    StressSite(const StressSite&) = delete;
    StressSite& operator=(const StressSite&) = delete;

private:
    // The pages are only read once the server runs, so its threads share them freely.
    void serve(const HttpRequest& request, HttpConnection& connection)
    {
        const QByteArray zip = request.queryValue("zip");
        const QByteArray body = m_pages.value(zip, m_notFound);
        if (zip != kSlowZip) {
            connection.sendResponse(200, body);
            return;
        }
        const QByteArray head = HttpConnection::statusLine(200)
                                + "Content-Type: text/html; charset=windows-1252\r\nContent-Length: "
                                + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
        if (connection.send(head))
            connection.sendInChunks(body, 160, std::chrono::milliseconds(2));
    }

    QHash<QByteArray, QByteArray> m_pages;
    QByteArray m_notFound;
    LoopbackHttpServer m_server;
};

// --- What every entry must give -----------------------------------------------------

QString trimmedOfSpaces(const QString& entry)
{
    qsizetype first = 0;
    qsizetype end = entry.size();
    while (first < end && entry.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && entry.at(end - 1) == QLatin1Char(' '))
        --end;
    return entry.mid(first, end - first);
}

// The second column of the location list for an entry.
QString expectedLocation(const QString& entry)
{
    const QString zip = trimmedOfSpaces(entry);
    if (zip.isEmpty())
        return statusBlankLine();
    if (zip.size() != 5)
        return statusNotFiveDigits();
    const Place* place = placeOf(zip);
    return place ? QLatin1String(place->name) : statusNotFound();
}

// What showing an entry adds to the demographics list: the location click and the
// save command fetch with the entry as it stands, untrimmed.
QList<Row> expectedBlock(const QString& entry)
{
    const Place* place = placeOf(entry);
    return place ? rowsOfPlace(*place) : QList<Row>();
}

// Rows that are whole blocks of known places, one after another; empty when so,
// else what is wrong.
QString blocksProblem(const QList<Row>& rows)
{
    qsizetype at = 0;
    while (at < rows.size()) {
        const Place* place = nullptr;
        for (const Place& candidate : kPlaces) {
            if (rows[at].first == QLatin1String(candidate.name) && rows[at].second.isEmpty())
                place = &candidate;
        }
        if (!place)
            return QStringLiteral("row %1 (%2 | %3) starts no location's rows")
                .arg(at + 1).arg(rows[at].first, rows[at].second);
        const QList<Row> block = rowsOfPlace(*place);
        if (rows.mid(at, block.size()) != block)
            return QStringLiteral("the rows of %1 from row %2 are not its own").arg(place->name).arg(at + 1);
        at += block.size();
    }
    return QString();
}

// --- The zip list files -------------------------------------------------------------

struct ListFile {
    const char* name;
    QByteArray bytes;
    QStringList entries;  // as the line rules read them
};

const std::array<ListFile, 3>& listFiles()
{
    static const std::array<ListFile, 3> files{{
        {"a.txt", "55501\r\n03053\r\n", {QStringLiteral("55501"), QStringLiteral("03053")}},
        {"b.txt", "44444\r\n\r\n123\r\n77777",
         {QStringLiteral("44444"), QString(), QStringLiteral("123"), QStringLiteral("77777")}},
        {"c.txt", "01830\n  03053 \r99999\r\n",
         {QStringLiteral("01830"), QStringLiteral("  03053 "), QStringLiteral("99999")}},
    }};
    return files;
}

const QStringList& addOneAnswers()
{
    static const QStringList answers{
        QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("55501"), QStringLiteral("44444"),
        QStringLiteral("77777"), QStringLiteral("99999"), QStringLiteral("  03053 "), QStringLiteral("123"),
        QStringLiteral("   "),   QString()};  // the last one is Cancel
    return answers;
}

// --- Saved files ------------------------------------------------------------------------

// The rows of a saved table after its header; the problem when the file is not a
// whole, aligned table of the demographics list's two columns.
struct SavedTable {
    QList<Row> rows;
    QString problem;
};

QString rightTrimmed(const QString& cell)
{
    qsizetype end = cell.size();
    while (end > 0 && cell.at(end - 1) == QLatin1Char(' '))
        --end;
    return cell.left(end);
}

SavedTable readSavedTable(const QString& path)
{
    SavedTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot be read")};
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith("\r\n"))
        return {{}, QStringLiteral("does not end with CR LF")};
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();  // after the last LF
    QList<qsizetype> tabs;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QByteArray line = lines[number];
        if (!line.endsWith('\r') || line.count('\r') != 1)
            return {{}, QStringLiteral("line %1 does not end with CR LF alone").arg(number + 1)};
        line.chop(1);
        QList<qsizetype> lineTabs;
        for (qsizetype i = line.indexOf('\t'); i >= 0; i = line.indexOf('\t', i + 1))
            lineTabs.append(i);
        if (lineTabs.size() != 2 || !line.endsWith('\t'))
            return {{}, QStringLiteral("line %1 has not two cells each followed by a TAB").arg(number + 1)};
        if (number == 0)
            tabs = lineTabs;
        else if (lineTabs != tabs)
            return {{}, QStringLiteral("line %1 is not aligned with the header").arg(number + 1)};
        const QStringList cells = decodeWindows1252(line).split(QLatin1Char('\t'));
        const Row row{rightTrimmed(cells[0]), rightTrimmed(cells[1])};
        if (number == 0) {
            if (row != Row{QStringLiteral("Demographics"), QStringLiteral(" Value")})
                return {{}, QStringLiteral("the header line is wrong")};
        } else {
            table.rows.append(row);
        }
    }
    if (lines.isEmpty())
        return {{}, QStringLiteral("is empty")};
    return table;
}

// --- The driver -------------------------------------------------------------------------

enum class Kind { Help, ClearList, Delete, Samples, AddOne, Load, Save, Click };

// Where a nested command started.
enum class Site { TopLevel, LookupWait, LocationClickPumps, SaveCommandPumps, WriterPumps, Elsewhere };
constexpr int kSiteCount = 6;

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

class Sequence {
public:
    Sequence(const StressSettings& settings, unsigned seed, Totals& totals)
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

    ~Sequence()
    {
        resetLookupWaitHooks();
        m_form.reset();
    }

    // Runs the seed's commands; the problems found, empty when none.
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
            hooks.secondsSinceMidnight = [this] { return m_steppedClock; };
            hooks.pumpAndSleep = [this](double seconds) {
                // At least a millisecond: a remainder below the clock's precision
                // would never move it.
                m_steppedClock += std::max(seconds, 0.001);
                pumpInLookupWait(seconds);
            };
        } else {
            setLookupWaitSeconds(0.01);
            hooks.secondsSinceMidnight = &secondsSinceLocalMidnight;
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
        ++m_helps;
        m_form->pushButton(1)->click();
    }

    void clearList(Frame& frame)
    {
        const bool busy = state().isBusy();
        frame.label = busy ? QStringLiteral("Clear List (busy)") : QStringLiteral("Clear List");
        const QStringList zipsBefore = texts(state().zipList());
        m_form->pushButton(4)->click();  // pumps nothing
        if (state().locationList().rowCount() != 0 || state().demographicsList().rowCount() != 0)
            problem(QStringLiteral("rows are left in the location or demographics list"));
        const QStringList zipsExpected = busy ? zipsBefore : QStringList();
        if (texts(state().zipList()) != zipsExpected)
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
        QStringList expected = texts(zips);
        const QStringList locationsBefore = texts(state().locationList());
        if (!busy && selected > 0)
            expected.removeAt(selected - 1);
        QTest::keyClick(m_form->listView(1), Qt::Key_Delete);
        if (texts(zips) != expected)
            problem(QStringLiteral("with row %1 selected the zip list became %2")
                        .arg(selected).arg(texts(zips).join(QLatin1Char('|'))));
        if (texts(state().locationList()) != locationsBefore)
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
            ++m_missingLoads;
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
        const QStringList entries = texts(state().locationList());
        const bool hadRows = state().demographicsList().rowCount() > 0;
        frame.saveCollects = !entries.isEmpty();
        ++m_savesWithPath;
        for (const Frame* outer : m_frames) {
            if (outer != &frame && outer->kind == Kind::Save && outer->written && !outer->committed
                && outer->label == frame.label)
                ++m_totals.savesInWriters;
        }
        m_dialogs.queueSave(path);
        m_form->pushButton(2)->click();
        if (frame.written)
            m_written[path].append(*frame.written);
        else
            m_writtenUnknown.insert(path);
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

    // --- Invariants ---

    void added(const QString& entry) { ++m_added[entry]; }

    // With nothing nested, an adding command ends showing the selected location.
    void checkShownAfterAdding(const Frame& frame)
    {
        if (frame.nested == 0 && state().locationList().rowCount() > 0)
            checkShowsSelected(QStringLiteral("after adding"));
    }

    void checkShowsSelected(const QString& when)
    {
        const ListModel& locations = state().locationList();
        const int selected = locations.selectedPosition();
        if (selected == 0)
            return;
        if (demographicsRows() != expectedBlock(locations.rowText(selected)))
            problem(QStringLiteral("%1 the demographics list does not show the selected row '%2'")
                        .arg(when, locations.rowText(selected)));
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
    void checkWhileRunning() { checkLists(depth()); }

    void checkAtRest()
    {
        checkLists(0);
        if (state().mousePointer() != WindowState::kPointerDefault)
            problem(QStringLiteral("the window's pointer is %1 with no command running").arg(state().mousePointer()));
        if (ApplicationPointer::busyDepth() != 0)
            problem(QStringLiteral("the application-wide pointer is still busy (%1)").arg(ApplicationPointer::busyDepth()));
        if (QGuiApplication::overrideCursor() != nullptr)
            problem(QStringLiteral("an application-wide cursor is still set"));
        if (m_form->cursor().shape() != Qt::ArrowCursor)
            problem(QStringLiteral("the window shows cursor shape %1").arg(m_form->cursor().shape()));
        // What the user sees selected is what the commands take as selected.
        for (int number = 1; number <= 3; ++number) {
            const ReportView* view = m_form->listView(number);
            const QModelIndexList rows = view->selectionModel()->selectedRows();
            const int shown = rows.size() == 1 ? rows.constFirst().row() + 1 : rows.isEmpty() ? 0 : -1;
            if (shown != view->listModel().selectedPosition())
                problem(QStringLiteral("ListView%1 shows row %2 selected, its list row %3")
                            .arg(number).arg(shown).arg(view->listModel().selectedPosition()));
        }
    }

    void checkLists(int waitingAllowed)
    {
        checkEntries(state().zipList(), QStringLiteral("zip list"));
        checkEntries(state().locationList(), QStringLiteral("location list"));
        const ListModel& locations = state().locationList();
        int waiting = 0;
        for (int position = 1; position <= locations.rowCount(); ++position) {
            const QString entry = locations.rowText(position);
            const QString shown = locations.subItem(position, 1);
            if (shown.isEmpty()) {
                ++waiting;
                continue;
            }
            if (shown != expectedLocation(entry))
                problem(QStringLiteral("location row %1 ('%2') shows '%3'").arg(position).arg(entry, shown));
        }
        if (waiting > waitingAllowed)
            problem(QStringLiteral("%1 location rows lack their result with %2 commands running")
                        .arg(waiting).arg(waitingAllowed));
        const QString blocks = blocksProblem(demographicsRows());
        if (!blocks.isEmpty())
            problem(QStringLiteral("demographics list: ") + blocks);
    }

    // Only entries that were added, each at most as often as it was added.
    void checkEntries(const ListModel& list, const QString& name)
    {
        std::map<QString, int> counts;
        for (int position = 1; position <= list.rowCount(); ++position)
            ++counts[list.rowText(position)];
        for (const auto& [entry, count] : counts) {
            const auto found = m_added.find(entry);
            const int added = found == m_added.end() ? 0 : found->second;
            if (count > added)
                problem(QStringLiteral("the %1 holds '%2' %3 times, added %4 times").arg(name, entry).arg(count).arg(added));
        }
    }

    void checkSavedFiles()
    {
        const QDir folder(m_settings.saveFolder);
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            const QString path = folder.filePath(name);
            if (!m_written.contains(path) && !m_writtenUnknown.contains(path)) {
                problem(QStringLiteral("a stray file %1 stands beside the saved files").arg(name));
                continue;
            }
            const SavedTable table = readSavedTable(path);
            if (!table.problem.isEmpty())
                problem(name + QLatin1Char(' ') + table.problem);
            else if (const QString blocks = blocksProblem(table.rows); !blocks.isEmpty())
                problem(name + QStringLiteral(": ") + blocks);
            else if (!m_writtenUnknown.contains(path) && !m_written.value(path).contains(table.rows))
                problem(name + QStringLiteral(" holds rows that no save to it wrote"));
        }
        for (const QString& path : m_written.keys() + m_writtenUnknown.values()) {
            if (!QFileInfo(path).isFile())
                problem(QStringLiteral("%1 was never written").arg(QFileInfo(path).fileName()));
        }
    }

    // Every box is one that the commands show on purpose: help, "Done.", a missing
    // file, and a page that breaks off or a selection gone before it was shown.
    void checkMessages()
    {
        const QString command = QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton%1_Click ");
        const QString click = QString::fromLatin1(locationClickProcedureText());
        const QList<QPair<QString, int>> brokenShows{
            {command.arg(6), 110}, {command.arg(5), 112}, {command.arg(3), 134}, {command.arg(2), 130},
            {command.arg(2), 142}, {click, 110},          {click, 112}};
        QStringList allowed;
        for (const auto& [procedure, line] : brokenShows)
            allowed.append(composeErrorMessage(procedure, line, errors::subscriptOutOfRange()));
        int helps = 0;
        int dones = 0;
        int missing = 0;
        for (const ScriptedDialogs::Message& message : m_dialogs.messages()) {
            if (message.text == helpMessageText())
                ++helps;
            else if (message.text == QLatin1String("Done."))
                ++dones;
            else if (message.text == errors::fileNotFound())
                ++missing;
            else if (!allowed.contains(message.text))
                problem(QStringLiteral("unexpected message: ") + message.text);
        }
        if (helps != m_helps || dones != m_savesWithPath || missing != 2 * m_missingLoads)
            problem(QStringLiteral("%1 help boxes for %2 clicks, %3 \"Done.\" for %4 saves, %5 \"File not found\" for %6 missing files")
                        .arg(helps).arg(m_helps).arg(dones).arg(m_savesWithPath).arg(missing).arg(m_missingLoads));
    }

    QStringList texts(const ListModel& list) const
    {
        QStringList result;
        for (int position = 1; position <= list.rowCount(); ++position)
            result.append(list.rowText(position));
        return result;
    }

    QList<Row> demographicsRows()
    {
        const ListModel& list = state().demographicsList();
        QList<Row> rows;
        for (int position = 1; position <= list.rowCount(); ++position)
            rows.append({list.rowText(position), list.subItem(position, 1)});
        return rows;
    }

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
    std::map<QString, int> m_added;
    QHash<QString, QList<QList<Row>>> m_written;  // what each save took, by file
    QSet<QString> m_writtenUnknown;                // files of saves whose writer no probe saw
    int m_savesWithPath = 0;
    int m_helps = 0;
    int m_missingLoads = 0;
    QStringList m_trace;
    QStringList m_problems;
};

// --- The tests ----------------------------------------------------------------------------

constexpr int kFirstTimedSeed = 100001;

int environmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

class ReentryStress : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousWait = lookupWaitSeconds();
        ASSERT_TRUE(m_loadFolder.isValid() && m_saveFolder.isValid() && m_programFolder.isValid());
        for (const ListFile& file : listFiles()) {
            QFile out(m_loadFolder.filePath(QLatin1String(file.name)));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file.bytes) == file.bytes.size());
        }
    }

    void TearDown() override
    {
        resetLookupWaitHooks();
        setLookupWaitSeconds(m_previousWait);
        g_runningSeed = -1;
    }

    // Runs count sequences from the first seed, or only the one to replay when it
    // belongs to this mode (stepped seeds lie below the timed ones).
    Totals runSeeds(Mode mode, unsigned firstSeed, int count)
    {
        StressSettings settings{mode, m_loadFolder.path(), m_saveFolder.path(), m_programFolder.path(),
                                environmentNumber("ZD_REENTRY_DEPTH", 3)};
        Totals totals;
        int failed = 0;
        const int replay = environmentNumber("ZD_REENTRY_SEED", -1);
        if (replay >= 0 && (replay >= kFirstTimedSeed) != (mode == Mode::Timed))
            return totals;
        for (int i = 0; i < count && failed < 3; ++i) {
            const unsigned seed = replay >= 0 ? static_cast<unsigned>(replay) : firstSeed + i;
            clearFolder(m_saveFolder.path());
            g_runningSeed = static_cast<int>(seed);
            Sequence sequence(settings, seed, totals);
            const QStringList problems = sequence.run();
            if (!problems.isEmpty()) {
                ++failed;
                ADD_FAILURE() << "re-entry problems in seed " << seed << " (replay with ZD_REENTRY_SEED="
                              << seed << "):\n  " << problems.join(QStringLiteral("\n  ")).toStdString()
                              << "\n" << sequence.trace();
            }
            if (replay >= 0) {
                std::printf("%s", sequence.trace().c_str());
                break;
            }
        }
        g_runningSeed = -1;
        return totals;
    }

    static void clearFolder(const QString& path)
    {
        QDir folder(path);
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
            folder.remove(name);
    }

    static void printTotals(const char* what, const Totals& totals, qint64 milliseconds)
    {
        std::printf("%s: %d sequences, %d commands, nested at: lookup wait %d, location click pumps %d, "
                    "save command pumps %d, writer pumps %d, elsewhere %d; deepest %d; %d saves followed, %d within a "
                "writer of the same file; %lld ms\n",
                    what, totals.sequences, totals.commands,
                    totals.nestedAt[static_cast<int>(Site::LookupWait)],
                    totals.nestedAt[static_cast<int>(Site::LocationClickPumps)],
                    totals.nestedAt[static_cast<int>(Site::SaveCommandPumps)],
                    totals.nestedAt[static_cast<int>(Site::WriterPumps)],
                    totals.nestedAt[static_cast<int>(Site::Elsewhere)], totals.deepest, totals.savesFollowed, totals.savesInWriters,
                    static_cast<long long>(milliseconds));
    }

    QTemporaryDir m_loadFolder;
    QTemporaryDir m_saveFolder;
    QTemporaryDir m_programFolder;  // no skin, no cursor
    StressSite m_site;
    double m_previousWait = 1;
};

TEST_F(ReentryStress, ZipListFilesReadAsTheSequencesCountOnThem)
{
    for (const ListFile& file : listFiles())
        EXPECT_EQ(splitZipListEntries(file.bytes), file.entries) << file.name;
}

TEST_F(ReentryStress, CommandsNestedAtEveryPumpInSeededOrdersLeaveListsPointersAndFilesWhole)
{
    QElapsedTimer clock;
    clock.start();
    const Totals totals = runSeeds(Mode::Stepped, 1, environmentNumber("ZD_REENTRY_SEEDS", 200));
    printTotals("stepped", totals, clock.elapsed());
    if (environmentNumber("ZD_REENTRY_SEED", -1) >= 0 || HasFailure())
        return;
    // The sequences reached every kind of pump and the deepest nesting.
    for (Site site : {Site::LookupWait, Site::LocationClickPumps, Site::SaveCommandPumps, Site::WriterPumps})
        EXPECT_GT(totals.nestedAt[static_cast<int>(site)], 0) << siteName(site);
    EXPECT_EQ(totals.nestedAt[static_cast<int>(Site::Elsewhere)], 0);
    EXPECT_EQ(totals.deepest, environmentNumber("ZD_REENTRY_DEPTH", 3));
}

TEST_F(ReentryStress, CommandsNestedOnARealClockWhileLookupsWaitInRealTime)
{
    QElapsedTimer clock;
    clock.start();
    const Totals totals = runSeeds(Mode::Timed, kFirstTimedSeed, environmentNumber("ZD_REENTRY_SEEDS", 200) / 5);
    printTotals("timed", totals, clock.elapsed());
    if (environmentNumber("ZD_REENTRY_SEED", -1) < 0 && !HasFailure()) {
        EXPECT_GT(totals.nestedAt[static_cast<int>(Site::LookupWait)], 0);
    }
}

}  // namespace
}  // namespace zd::test

int main(int argc, char** argv)
{
    zd::test::clearProxyEnvironment();
    zd::test::reportSeedOnCrash();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
