// Failures of the aligned write: one error box naming the failing statement, no
// half-written file, no temporary file left behind, the old file kept.
#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/eventpump.h"
#include "tests/support/scripteddialogs.h"
#include "export/alignedwriter.h"
#include "tests/export/exporttestsupport.h"
#include "tests/support/unprivilegedscope.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zd {
namespace {

using test::readWholeFile;
using test::fillList;
using test::folderEntries;

class AlignedFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillList(m_list, {"Demographics", " Value"},
                 {{"Hanover, NH 03755"}, {"Population", "11,260"}, {"Median Age", "22.4"}});
    }

    // Saves, and expects exactly one error box for the statement with the description.
    void expectOneFailure(const QString& path, int statement, const QString& description)
    {
        EXPECT_FALSE(SaveListviewProperlySpacedWithoutProgressBar(m_list, path, m_dialogs));
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        const ScriptedDialogs::Message& box = m_dialogs.messages().constFirst();
        EXPECT_EQ(box.title, QStringLiteral("Application Error"));
        EXPECT_EQ(box.style, kMessageExclamation);
        EXPECT_EQ(box.text, composeErrorMessage(alignedWriterProcedureText(), statement, description));
    }

    QString path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

    QTemporaryDir m_folder;
    ListModel m_list;
    ScriptedDialogs m_dialogs;
};

TEST_F(AlignedFailure, ProcedureTextNamesTheWriter)
{
    EXPECT_EQ(alignedWriterProcedureText(),
              "in Tamberlin2021/08/31.modDemographics.SaveListviewProperlySpacedWithoutProgressBar ");
}

TEST_F(AlignedFailure, MissingFolderFailsAtCreateWithPathNotFound)
{
    expectOneFailure(path("missing/result.txt"), 136, errors::pathNotFound());
    EXPECT_TRUE(folderEntries(m_folder.path()).isEmpty());
}

TEST_F(AlignedFailure, FolderAsTargetFailsAtCreateAndStaysAFolder)
{
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("sub")));
    expectOneFailure(path("sub"), 136, QStringLiteral("Path/File access error"));
    EXPECT_TRUE(QFileInfo(path("sub")).isDir());
    EXPECT_EQ(folderEntries(m_folder.path()), QStringList{QStringLiteral("sub")});
}

TEST_F(AlignedFailure, AFolderThatTakesNoNewFilesIsNoMissingPath)
{
    const AlignedWriteOutcome outcome = writeListAligned(m_list, QStringLiteral("/proc/result.txt"));
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.failedStatement, 136);
    EXPECT_TRUE(outcome.description == QStringLiteral("Path/File access error")
                || outcome.description == errors::permissionDenied())
        << outcome.description.toStdString();
}

TEST_F(AlignedFailure, EmptyPathFailsAtCreate)
{
    expectOneFailure(QString(), 136, errors::invalidArgument());
}

TEST_F(AlignedFailure, ReadOnlyFolderFailsAtCreateAndKeepsTheOldFile)
{
    const QString target = test::preciousFileInReadOnlyFolder(m_folder.path(), "result.txt");
    ASSERT_FALSE(target.isEmpty());
    {
        test::UnprivilegedScope unprivileged;
        if (!unprivileged.permissionsApply())
            GTEST_SKIP() << "file permissions do not apply to this user";
        expectOneFailure(target, 136, errors::permissionDenied());
    }
    EXPECT_EQ(test::readWholeFile(target), QByteArray("precious"));
    EXPECT_EQ(folderEntries(QFileInfo(target).path()), QStringList{QStringLiteral("result.txt")});
}

TEST_F(AlignedFailure, FullDeviceFailsAtTheRowWriteWithDiskFull)
{
    expectOneFailure(QStringLiteral("/dev/full"), 180, errors::diskFull());
}

TEST_F(AlignedFailure, FullDeviceWithHeaderOnlyFailsAtTheHeaderWrite)
{
    ListModel headerOnly;
    fillList(headerOnly, {"Demographics", " Value"}, {});
    const AlignedWriteOutcome outcome = writeListAligned(headerOnly, QStringLiteral("/dev/full"));
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.failedStatement, 150);
    EXPECT_EQ(outcome.description, errors::diskFull());
}

TEST_F(AlignedFailure, DeviceTargetIsWrittenInPlace)
{
    const AlignedWriteOutcome outcome = writeListAligned(m_list, QStringLiteral("/dev/null"));
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists());
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
}

// Limits the size of files this process may write, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
    bool m_active = false;
};

TEST_F(AlignedFailure, WriteCutShortKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    const QString target = path("result.txt");
    ASSERT_TRUE(test::writeWholeFile(target, "precious"));
    ListModel big;
    QList<QStringList> rows;
    for (int i = 0; i < 100000; ++i)
        rows.append({QStringLiteral("Location number %1").arg(i), QString::number(i)});
    fillList(big, {"Demographics", " Value"}, rows);
    {
        FileSizeLimit limit(256 * 1024);
        if (!limit.active())
            GTEST_SKIP() << "cannot limit the file size";
        EXPECT_FALSE(SaveListviewProperlySpacedWithoutProgressBar(big, target, m_dialogs));
    }
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text,
              composeErrorMessage(alignedWriterProcedureText(), 180, errors::diskFull()));
    EXPECT_EQ(test::readWholeFile(target), QByteArray("precious"));
    EXPECT_EQ(folderEntries(m_folder.path()), QStringList{QStringLiteral("result.txt")});
}

TEST_F(AlignedFailure, FolderRemovedDuringTheWriteFailsAtClose)
{
    const QString folder = path("out");
    ASSERT_TRUE(QDir().mkdir(folder));
    // The measuring pass processes events once per cell; the first pump after it
    // belongs to the header line, when the file is already open.
    const long long measuringPumps = 3 * 2;
    const long long start = pumpCount();
    QTimer remover;
    QObject::connect(&remover, &QTimer::timeout, [&] {
        if (pumpCount() - start > measuringPumps) {
            QDir(folder).removeRecursively();
            remover.stop();
        }
    });
    remover.start(0);
    expectOneFailure(folder + QStringLiteral("/result.txt"), 184, errors::pathNotFound());
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(AlignedFailure, OutcomeOfASuccessfulWriteNamesNoStatement)
{
    const AlignedWriteOutcome outcome = writeListAligned(m_list, path("result.txt"));
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.failedStatement, 0);
    EXPECT_TRUE(outcome.description.isEmpty());
}

}  // namespace
}  // namespace zd
