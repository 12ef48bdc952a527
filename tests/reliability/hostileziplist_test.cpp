// Zip list files that are no zip lists: binary bytes, NUL bytes, byte-order
// marks, one line of 100 MB, a folder, a file nobody may read. The line
// rules hold whatever the bytes (CR and CR LF end a line, then every LF cuts;
// Windows-1252 unless a byte-order mark says otherwise), nothing is lost or cut short at a NUL, nothing crashes, memory
// stays in proportion, and what cannot be read is refused with a clear reason.
#include "core/apperror.h"
#include "core/escapedcontrols.h"
#include "core/listmodel.h"
#include "tests/support/scripteddialogs.h"
#include "core/windows1252.h"
#include "retrieval/locationlookup.h"
#include "tests/support/clirun.h"
#include "tests/reliability/peakmemory.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/unprivilegedscope.h"
#include "tests/support/wholefile.h"
#include "commands/ziplistfile.h"
#include "ziplist/ziplistreader.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "tests/support/listcontents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zd {
namespace {

using test::ChildRun;

QString writeFile(const QString& path, const QByteArray& bytes)
{
    return test::writeWholeFile(path, bytes) ? path : QString();
}

QStringList readAllEntries(const QString& path, qsizetype blockSize = ZipListFileReader::kDefaultBlockSize)
{
    ZipListFileReader reader(path, blockSize);
    QStringList entries;
    QString entry;
    while (reader.nextEntry(entry))
        entries.append(entry);
    return entries;
}

// The two lists the load command fills: the zip list and the location list.
struct BothLists {
    BothLists()
    {
        zips.addColumn(QStringLiteral("US Zip Codes"));
        locations.addColumn(QStringLiteral("US Zip Codes"));
        locations.addColumn(QStringLiteral("Location Name"));
    }
    void load(const QString& path, Dialogs& dialogs)
    {
        LoadZipListFile(zips, path, dialogs);
        LoadZipListFile(locations, path, dialogs);
    }
    ListModel zips;
    ListModel locations;
};

class HostileZipListBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_site.setPage(QStringLiteral("01830"), renderSamplePage({"01830", "Marshfield Bay, MA", {}, {}}));
        m_site.setPage(QString::fromUtf16(u"0183\0", 5),
                       renderSamplePage({"01830", "Nullhaven, NH", {}, {}}));
    }

    QString path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }
    QString host() { return QString::fromLatin1(m_site.server().hostAndPort()); }

    ChildRun lookupThroughCommandLine(const QString& file, const test::ChildOptions& options = {})
    {
        return test::runCli(
            {"lookup", "--delay", "0", "--rate", "0", "--retries", "0", "--site", host(), "--zips", file}, options);
    }

    // Standard error holds only the run's summary, with no entry failed.
    static void expectOnlyTheSummary(const QByteArray& err)
    {
        EXPECT_EQ(err.count('\n'), 1) << err.constData();
        EXPECT_TRUE(err.startsWith("zipdemographics-cli: ") && err.endsWith(" 0 failed\n")) << err.constData();
    }

    // A field as lookup prints it: TAB, CR, LF, NUL and backslash written as
    // escapes of its own, any other control as the terminal's rule has it.
    static QString escaped(QString text)
    {
        return escapedControls(text.replace('\\', "\\\\").replace('\t', "\\t").replace('\r', "\\r")
                                   .replace('\n', "\\n").replace(QChar(0), "\\0"));
    }

    QTemporaryDir m_folder;
    test::TestSite m_site;
};

// --- Small hostile files, whose entries are written out by hand.

struct HostileContent {
    const char* name;
    QByteArray bytes;
    QStringList entries;       // by the line rules
    QStringList locations;     // what the location list shows beside each
    QList<QByteArray> fetched; // the zip values the site receives, in order
};

// Literals with NULs inside, taken whole.
template <std::size_t N>
QByteArray bytesOf(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}
template <std::size_t N>
QString withNuls(const char16_t (&text)[N])
{
    return QString::fromUtf16(text, N - 1);
}

const QList<HostileContent>& hostileContents()
{
    static const QString notFive = statusNotFiveDigits();
    static const QList<HostileContent> contents = {
        // A NUL cuts nothing short: not the entry, not its length, not the request.
        {"NulBytes",
         bytesOf("030\x00" "53\r\n\x00\x00\x00\x00\x00\r\n 0183\x00 \r\n"),
         {withNuls(u"030\0" "53"), withNuls(u"\0\0\0\0\0"), withNuls(u" 0183\0 ")},
         {notFive, statusNotFound(), QStringLiteral("Nullhaven, NH")},
         {"%00%00%00%00%00", "0183%00"}},
        // A byte-order mark chooses the encoding and is no part of the first entry.
        {"Utf8ByteOrderMark",
         "\xEF\xBB\xBF" "03053\r\n01830\r\n",
         {QStringLiteral("03053"), QStringLiteral("01830")},
         {statusNotFound(), QStringLiteral("Marshfield Bay, MA")},
         {"03053", "01830"}},
        {"Utf16LittleEndian",
         bytesOf("\xFF\xFE" "0\x00" "3\x00" "0\x00" "5\x00" "3\x00" "\r\x00" "\n\x00"
                 "0\x00" "1\x00" "8\x00" "3\x00" "0\x00" "\r\x00" "\n\x00"),
         {QStringLiteral("03053"), QStringLiteral("01830")},
         {statusNotFound(), QStringLiteral("Marshfield Bay, MA")},
         {"03053", "01830"}},
        {"Utf16BigEndian",
         bytesOf("\xFE\xFF" "\x00" "0" "\x00" "1" "\x00" "8" "\x00" "3" "\x00" "0" "\x00" "\n"
                 "\x00" "0" "\x00" "1" "\x00" "8" "\x00" "3" "\x00" "\x00"),
         {QStringLiteral("01830"), withNuls(u"0183\0")},
         {QStringLiteral("Marshfield Bay, MA"), QStringLiteral("Nullhaven, NH")},
         {"01830", "0183%00"}},
    };
    return contents;
}

void PrintTo(const HostileContent& content, std::ostream* out) { *out << content.name; }

class HostileZipList : public HostileZipListBase, public ::testing::WithParamInterface<HostileContent> {
protected:
    QString file() { return writeFile(path("zips.txt"), GetParam().bytes); }
};

TEST_P(HostileZipList, ReaderGivesTheEntriesByTheLineRulesInAnyBlockSize)
{
    const QString zips = file();
    for (const qsizetype blockSize : {qsizetype(1), qsizetype(3), ZipListFileReader::kDefaultBlockSize})
        EXPECT_EQ(readAllEntries(zips, blockSize), GetParam().entries) << "block size " << blockSize;
    EXPECT_EQ(splitZipListEntries(GetParam().bytes), GetParam().entries);
}

TEST_P(HostileZipList, LoadFillsBothListsRowForRowWithTheRightResults)
{
    BothLists lists;
    ScriptedDialogs dialogs;
    lists.load(file(), dialogs);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(test::columnTexts(lists.zips, 1), GetParam().entries);
    EXPECT_EQ(test::columnTexts(lists.locations, 1), GetParam().entries);
    EXPECT_EQ(test::columnTexts(lists.locations, 2), GetParam().locations);
    EXPECT_EQ(m_site.requestedZips(), GetParam().fetched);
}

TEST_P(HostileZipList, CommandLineLookupPrintsEveryEntryWhole)
{
    const ChildRun run = lookupThroughCommandLine(file());
    EXPECT_EQ(run.exitCode, 0);
    expectOnlyTheSummary(run.err);
    QByteArray expected;
    for (qsizetype i = 0; i < GetParam().entries.size(); ++i)
        expected += (escaped(GetParam().entries[i]) + '\t' + GetParam().locations[i] + '\n').toUtf8();
    EXPECT_EQ(run.out, expected);
    // The command line fetches several entries at once: the site sees them in any order.
    QList<QByteArray> fetched = m_site.requestedZips();
    QList<QByteArray> wanted = GetParam().fetched;
    std::sort(fetched.begin(), fetched.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(fetched, wanted);
}

INSTANTIATE_TEST_SUITE_P(Each, HostileZipList, ::testing::ValuesIn(hostileContents()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Binary bytes: every byte value, line ends at random places.

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

QByteArray withoutLineEnds(QByteArray bytes)
{
    bytes.replace('\r', QByteArray());
    bytes.replace('\n', QByteArray());
    return bytes;
}

TEST_F(HostileZipListBase, BinaryBytesLoseNothingWhateverTheBlockSize)
{
    for (const quint32 seed : {1u, 2u, 3u}) {
        const QByteArray bytes = randomBytes(seed, 100 * 1024);
        const QString zips = writeFile(path("binary.bin"), bytes);
        const QStringList entries = splitZipListEntries(bytes);
        // Every byte that is no line end is in some entry, in order, and back to
        // the same byte through the code page.
        QByteArray joined;
        for (const QString& entry : entries)
            joined += encodeWindows1252(entry);
        EXPECT_EQ(joined, withoutLineEnds(bytes)) << "seed " << seed;
        for (const qsizetype blockSize : {qsizetype(7), qsizetype(4096), ZipListFileReader::kDefaultBlockSize})
            EXPECT_EQ(readAllEntries(zips, blockSize), entries) << "seed " << seed << ", block " << blockSize;
    }
}

TEST_F(HostileZipListBase, BinaryBytesGiveTheSameRowsInTheWindowAndOnTheCommandLine)
{
    const QByteArray bytes = randomBytes(4, 16 * 1024);
    const QString zips = writeFile(path("binary.bin"), bytes);
    BothLists lists;
    ScriptedDialogs dialogs;
    lists.load(zips, dialogs);
    const QStringList entries = splitZipListEntries(bytes);
    EXPECT_EQ(test::columnTexts(lists.zips, 1), entries);
    EXPECT_EQ(test::columnTexts(lists.locations, 1), entries);
    const QStringList statuses = {statusBlankLine(), statusNotFiveDigits(), statusNotFound()};
    QByteArray lines;
    for (int position = 1; position <= lists.locations.rowCount(); ++position) {
        const QString location = lists.locations.subItem(position, 1);
        EXPECT_TRUE(statuses.contains(location)) << location.toStdString();
        lines += (escaped(lists.locations.rowText(position)) + '\t' + location + '\n').toUtf8();
    }
    const ChildRun run = lookupThroughCommandLine(zips);
    EXPECT_EQ(run.exitCode, 0);
    expectOnlyTheSummary(run.err);
    EXPECT_TRUE(run.out == lines) << "the command line's lines differ from the location list";
}

// --- One line of 100 MB, written sparse: "03053", NUL bytes, "tail".

constexpr qint64 kHugeLine = 100 * 1024 * 1024;

QString writeHugeLine(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return QString();
    const bool written = ::ftruncate(fd, kHugeLine) == 0 && ::pwrite(fd, "03053", 5, 0) == 5
        && ::pwrite(fd, "tail", 4, kHugeLine - 4) == 4;
    ::close(fd);
    return written ? path : QString();
}

void expectTheHugeEntry(const QString& entry)
{
    EXPECT_EQ(entry.size(), kHugeLine);
    EXPECT_TRUE(entry.startsWith(QStringLiteral("03053")));
    EXPECT_TRUE(entry.endsWith(QStringLiteral("tail")));
    EXPECT_EQ(entry.at(kHugeLine / 2), QChar(0));
}

TEST_F(HostileZipListBase, HundredMegabyteLineIsOneEntryInBoundedMemory)
{
    const QString huge = writeHugeLine(path("huge.txt"));
    ASSERT_FALSE(huge.isEmpty());
    const qint64 before = test::residentBytes();
    const bool measured = test::peakIsMeaningful() && test::resetPeakResident();
    ZipListFileReader reader(huge);
    QString entry;
    ASSERT_TRUE(reader.nextEntry(entry));
    const qint64 growth = test::peakResidentBytes() - before;
    expectTheHugeEntry(entry);
    EXPECT_FALSE(reader.nextEntry(entry));
    // The entry takes two bytes per character; the bytes of the line may be held
    // once more while they are turned into it.
    if (!measured) {
        GTEST_SKIP() << "entry checked; no meaningful memory peak here (no kernel figure, or a "
                        "sanitizer's allocator)";
    }
    EXPECT_LT(growth, 4 * kHugeLine) << "peak growth " << growth / (1024 * 1024) << " MB";
}

TEST_F(HostileZipListBase, HundredMegabyteLineGivesOneRowInEachListAndNoFetch)
{
    const QString huge = writeHugeLine(path("huge.txt"));
    ASSERT_FALSE(huge.isEmpty());
    ScriptedDialogs dialogs;
    {
        ListModel zips;
        zips.addColumn(QStringLiteral("US Zip Codes"));
        LoadZipListFile(zips, huge, dialogs);
        ASSERT_EQ(zips.rowCount(), 1);
        expectTheHugeEntry(zips.rowText(1));
    }
    ListModel locations;
    locations.addColumn(QStringLiteral("US Zip Codes"));
    locations.addColumn(QStringLiteral("Location Name"));
    LoadZipListFile(locations, huge, dialogs);
    ASSERT_EQ(locations.rowCount(), 1);
    EXPECT_EQ(locations.subItem(1, 1), statusNotFiveDigits());
    EXPECT_EQ(m_site.requestCount(), 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(HostileZipListBase, HundredMegabyteLineIsOneLineOnTheCommandLine)
{
    const QString huge = writeHugeLine(path("huge.txt"));
    ASSERT_FALSE(huge.isEmpty());
    const QString out = path("out.txt");
    test::ChildOptions options;
    options.standardOutputFile = out;
    const ChildRun run = lookupThroughCommandLine(huge, options);
    EXPECT_EQ(run.exitCode, 0);
    expectOnlyTheSummary(run.err);
    const QByteArray suffix = "tail\t" + statusNotFiveDigits().toUtf8() + '\n';
    QFile printed(out);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_EQ(printed.size(), 2 * kHugeLine - 9 + suffix.size() - 4);  // each NUL as \0
    EXPECT_EQ(printed.read(5), "03053");
    ASSERT_TRUE(printed.seek(printed.size() - suffix.size()));
    EXPECT_EQ(printed.readAll(), suffix);
    EXPECT_EQ(m_site.requestCount(), 0);
}

// --- Paths that are no readable file.

// Why loading the file into the list failed; empty when it did not.
QString refusal(ListModel& list, const QString& path, Dialogs& dialogs)
{
    try {
        LoadZipListFile(list, path, dialogs);
    } catch (const AppError& error) {
        return error.description();
    }
    return QString();
}

TEST_F(HostileZipListBase, FolderGivenAsAFileIsRefusedWithAClearReason)
{
    const QString folder = m_folder.path();
    BothLists lists;
    ScriptedDialogs dialogs;
    EXPECT_EQ(refusal(lists.zips, folder, dialogs), QStringLiteral("Path/File access error"));
    EXPECT_EQ(refusal(lists.locations, folder, dialogs), QStringLiteral("Path/File access error"));
    EXPECT_EQ(lists.zips.rowCount() + lists.locations.rowCount(), 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    const ChildRun run = lookupThroughCommandLine(folder);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "zipdemographics-cli: cannot read the zip list \"" + QFile::encodeName(folder)
                           + "\": Path/File access error\n");
    EXPECT_EQ(m_site.requestCount(), 0);
}

TEST_F(HostileZipListBase, FileWithoutReadPermissionIsRefusedWithPermissionDenied)
{
    // Only the file's own permission may stand in the way, not its folder's.
    QFile::setPermissions(m_folder.path(), QFileDevice::Permissions(0x7755));
    const QString unreadable = writeFile(path("secret.txt"), "03053\r\n");
    QFile::setPermissions(unreadable, QFileDevice::Permissions(0x0200));
    BothLists lists;
    ScriptedDialogs dialogs;
    {
        test::UnprivilegedScope unprivileged;
        if (!unprivileged.permissionsApply()) {
            GTEST_SKIP() << "file permissions do not apply to this user";
        }
        EXPECT_EQ(refusal(lists.zips, unreadable, dialogs), errors::permissionDenied());
        EXPECT_EQ(refusal(lists.locations, unreadable, dialogs), errors::permissionDenied());
    }
    EXPECT_EQ(lists.zips.rowCount() + lists.locations.rowCount(), 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());

    test::ChildOptions options;
    options.asUnprivilegedUser = ::geteuid() == 0;
    const ChildRun run = lookupThroughCommandLine(unreadable, options);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "zipdemographics-cli: cannot read the zip list \"" + QFile::encodeName(unreadable)
                           + "\": Permission denied\n");
    EXPECT_EQ(m_site.requestCount(), 0);
}

}  // namespace
}  // namespace zd
