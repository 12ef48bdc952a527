// Disk faults when the result file is written: a missing folder, a read-only
// folder, a folder in the file's place, a disk that fills up. Each gives exactly
// one clear error (one "Application Error" box naming the failing statement, or
// one message on standard error and exit status 3), never "Done.", no
// half-written or temporary file, and a file that was there keeps its bytes.
#include "core/apperror.h"
#include "core/errortrap.h"
#include "tests/support/scripteddialogs.h"
#include "core/windowstate.h"
#include "export/alignedwriter.h"
#include "commands/saveallcommand.h"
#include "tests/support/clirun.h"
#include "tests/reliability/privatemounts.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace zd {
namespace {

const QString kZip = QStringLiteral("12345");
const QByteArray kPrecious = "the previous result, which must survive\r\n";
constexpr int kFigureRows = 3000;      // about 130 KB written
constexpr qint64 kSmallDisk = 64 * 1024;

// A page whose table is far larger than the small disk.
QString bigPageHtml()
{
    SamplePageContent page{kZip, QStringLiteral("Bigtable, NH"), {}, {}};
    for (int i = 1; i <= kFigureRows; ++i)
        page.figures.append({QStringLiteral("Figure number %1").arg(i), QString::number(i * 7)});
    return renderSamplePage(page);
}

void fillBigList(ListModel& list)
{
    list.addColumn(QStringLiteral("Demographics"));
    list.addColumn(QStringLiteral(" Value"));
    list.addRow(QStringLiteral("Bigtable, NH"));
    for (int i = 1; i <= kFigureRows; ++i)
        list.setSubItem(list.addRow(QStringLiteral("Figure number %1").arg(i)), 1, QString::number(i * 7));
}


// Hidden names included: a temporary file left behind shows here.
QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// --- The faults.

// Where the result goes and what stood there before.
struct PreparedTarget {
    QString path;
    QString folder;                // the folder that must hold nothing new afterwards
    std::optional<QByteArray> existing;
    std::optional<test::ScopedMount> mount;
    QString skipReason;
};

struct DiskFaultCase {
    const char* name;
    PreparedTarget (*prepare)(const QString& base);
    int statement;                 // of the error box
    QString (*description)();
    const char* commandLineReason; // what standard error says after the path
};

PreparedTarget missingFolder(const QString& base)
{
    return {base + "/missing/result.txt", base, std::nullopt, std::nullopt, {}};
}

PreparedTarget folderAsTarget(const QString& base)
{
    QDir(base).mkdir(QStringLiteral("result.txt"));
    return {base + "/result.txt", base, std::nullopt, std::nullopt, {}};
}

// Root writes anywhere whatever the permission bits say; a read-only mount stops it too.
PreparedTarget readOnlyFolder(const QString& base)
{
    const QString folder = base + "/readonly";
    QDir(base).mkdir(QStringLiteral("readonly"));
    PreparedTarget target{folder + "/result.txt", folder, kPrecious, std::nullopt, {}};
    EXPECT_TRUE(test::writeWholeFile(target.path, kPrecious));
    if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        return target;
    }
    target.mount.emplace(test::ScopedMount::readOnly(folder));
    if (!target.mount->active())
        target.skipReason = "root ignores permissions and no read-only mount is possible: "
            + target.mount->failure();
    return target;
}

PreparedTarget fullDisk(const QString& base, bool withExistingFile)
{
    const QString folder = base + "/small";
    QDir(base).mkdir(QStringLiteral("small"));
    PreparedTarget target{folder + "/result.txt", folder, std::nullopt, std::nullopt, {}};
    target.mount.emplace(test::ScopedMount::smallDisk(folder, kSmallDisk));
    if (!target.mount->active()) {
        target.skipReason = "cannot mount a small disk: " + target.mount->failure();
        return target;
    }
    if (withExistingFile) {
        target.existing = kPrecious;
        EXPECT_TRUE(test::writeWholeFile(target.path, kPrecious));
    }
    return target;
}

PreparedTarget fullDiskOverAFile(const QString& base) { return fullDisk(base, true); }
PreparedTarget fullDiskNewFile(const QString& base) { return fullDisk(base, false); }

QString accessError() { return QStringLiteral("Path/File access error"); }

const QList<DiskFaultCase>& diskFaults()
{
    static const QList<DiskFaultCase> faults = {
        {"MissingFolder", missingFolder, 136, errors::pathNotFound, "its folder"},
        {"FolderAsTarget", folderAsTarget, 136, accessError, "it is a folder"},
        {"ReadOnlyFolder", readOnlyFolder, 136, errors::permissionDenied, "read-only"},
        {"FullDiskOverAFile", fullDiskOverAFile, 180, errors::diskFull, "Disk full; nothing was written"},
        {"FullDiskNewFile", fullDiskNewFile, 180, errors::diskFull, "Disk full; nothing was written"},
    };
    return faults;
}

void PrintTo(const DiskFaultCase& fault, std::ostream* out) { *out << fault.name; }

class DiskFault : public ::testing::TestWithParam<DiskFaultCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_base.isValid());
        m_target = GetParam().prepare(m_base.path());
        if (!m_target.skipReason.isEmpty())
            GTEST_SKIP() << m_target.skipReason.toStdString();
        m_entriesBefore = folderEntries(m_target.folder);
    }

    void TearDown() override
    {
        m_target.mount.reset();
        QFile::setPermissions(m_target.folder, QFileDevice::Permissions(0x7755));
    }

    // Nothing new in the folder, no temporary file, the old file as it was.
    void expectNothingHarmed() const
    {
        EXPECT_EQ(folderEntries(m_target.folder), m_entriesBefore);
        if (m_target.existing) {
            EXPECT_EQ(test::readWholeFile(m_target.path), *m_target.existing);
        }
        if (QString(GetParam().name) == QLatin1String("FolderAsTarget")) {
            EXPECT_TRUE(QFileInfo(m_target.path).isDir());
        }
    }

    void expectOneErrorBox(const ScriptedDialogs& dialogs) const
    {
        ASSERT_EQ(dialogs.messages().size(), 1);
        const ScriptedDialogs::Message& box = dialogs.messages().constFirst();
        EXPECT_EQ(box.title, QStringLiteral("Application Error"));
        EXPECT_EQ(box.text, composeErrorMessage(alignedWriterProcedureText(), GetParam().statement,
                                                GetParam().description()));
    }

    QTemporaryDir m_base;
    PreparedTarget m_target;
    QStringList m_entriesBefore;
};

TEST_P(DiskFault, WriterReportsTheStatementAndReasonAndHarmsNothing)
{
    ListModel list;
    fillBigList(list);
    const AlignedWriteOutcome outcome = writeListAligned(list, m_target.path);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.failedStatement, GetParam().statement);
    EXPECT_EQ(outcome.description, GetParam().description());
    expectNothingHarmed();
}

TEST_P(DiskFault, WriterShowsOneErrorBoxAndHarmsNothing)
{
    ListModel list;
    fillBigList(list);
    ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveListviewProperlySpacedWithoutProgressBar(list, m_target.path, dialogs));
    expectOneErrorBox(dialogs);
    expectNothingHarmed();
}

// The whole save command: the location's page is fetched, the write fails, and
// the writer's box is the last word.
TEST_P(DiskFault, SaveCommandShowsOneErrorBoxAndNoDone)
{
    test::TestSite site;
    site.setPage(kZip, bigPageHtml());
    ScriptedDialogs dialogs;
    WindowState state(dialogs);
    state.locationList().addColumn(QStringLiteral("US Zip Codes"));
    state.locationList().addColumn(QStringLiteral("Location Name"));
    state.locationList().addRow(kZip);
    state.demographicsList().addColumn(QStringLiteral("Demographics"));
    state.demographicsList().addColumn(QStringLiteral(" Value"));
    dialogs.queueSave(m_target.path);
    PushButton2_Click(state);
    expectOneErrorBox(dialogs);
    EXPECT_EQ(state.mousePointer(), WindowState::kPointerDefault);
    EXPECT_EQ(state.demographicsList().rowCount(), 0);  // empty before, empty again
    expectNothingHarmed();
}

TEST_P(DiskFault, CommandLineExportExitsWith3AndHarmsNothing)
{
    test::TestSite site;
    site.setPage(kZip, bigPageHtml());
    const QString host = QString::fromLatin1(site.server().hostAndPort());
    const test::ChildRun run =
        test::runCli({"export", "--rate", "0", "--retries", "0", "--site", host, kZip, "-o", m_target.path});
    ASSERT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "");
    const QByteArray start = "zipdemographics-cli: cannot write \"" + QFile::encodeName(m_target.path) + "\": ";
    // One message, after the fetch's summary line when the fault shows only in writing.
    const QByteArray summary = "zipdemographics-cli: 1 found, 0 not found, 0 not five characters, 0 failed\n";
    const QByteArray err = run.err.startsWith(summary) ? run.err.mid(summary.size()) : run.err;
    EXPECT_TRUE(err.startsWith(start)) << run.err.constData();
    EXPECT_TRUE(err.contains(GetParam().commandLineReason)) << run.err.constData();
    EXPECT_EQ(err.count('\n'), 1) << run.err.constData();
    expectNothingHarmed();
}

INSTANTIATE_TEST_SUITE_P(Each, DiskFault, ::testing::ValuesIn(diskFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

// Once the disk has room again, the same write goes through: the failure left
// nothing behind that takes up space or stands in the way.
TEST(DiskFaultRecovery, FullDiskWritesOnceThereIsRoomAgain)
{
    QTemporaryDir base;
    PreparedTarget target = fullDisk(base.path(), true);
    if (!target.skipReason.isEmpty())
        GTEST_SKIP() << target.skipReason.toStdString();
    ListModel list;
    fillBigList(list);
    EXPECT_FALSE(writeListAligned(list, target.path).written);
    ListModel small;
    small.addColumn(QStringLiteral("Demographics"));
    small.addColumn(QStringLiteral(" Value"));
    // Close to the disk's size: only fits when no temporary file is left taking room.
    for (int i = 0; i < 1200; ++i)
        small.setSubItem(small.addRow(QStringLiteral("Row %1").arg(i, 4, 10, QLatin1Char('0'))), 1, "1");
    const AlignedWriteOutcome outcome = writeListAligned(small, target.path);
    EXPECT_TRUE(outcome.written) << outcome.description.toStdString();
    EXPECT_EQ(test::readWholeFile(target.path).left(22), QByteArray("Demographics\t Value\t\r\n"));
    EXPECT_EQ(folderEntries(target.folder), QStringList{QStringLiteral("result.txt")});
}

}  // namespace
}  // namespace zd
