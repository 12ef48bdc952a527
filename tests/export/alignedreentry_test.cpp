// Commands that run while the writer processes events: the file holds the list
// as it stood when the write began.
#include "core/eventpump.h"
#include "tests/support/scripteddialogs.h"
#include "export/alignedwriter.h"
#include "tests/export/exporttestsupport.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace zd {
namespace {

using test::readWholeFile;
using test::fillList;

const QByteArray kExpected = "Zip  \tLocation Name\t\r\n"
                             "03755\tHanover      \t\r\n"
                             "01830\tHaverhill    \t\r\n";

class AlignedReentry : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillList(m_list, {"Zip", "Location Name"}, {{"03755", "Hanover"}, {"01830", "Haverhill"}});
    }

    bool save() { return SaveListviewProperlySpacedWithoutProgressBar(m_list, target(), m_dialogs); }
    QString target() const { return m_folder.filePath(QStringLiteral("result.txt")); }

    QTemporaryDir m_folder;
    ListModel m_list;
    ScriptedDialogs m_dialogs;
};

TEST_F(AlignedReentry, ListClearedDuringAPumpStillWritesEveryCell)
{
    QTimer::singleShot(0, [this] { m_list.clearRows(); });
    EXPECT_TRUE(save());
    EXPECT_EQ(m_list.rowCount(), 0);  // the clear did run during the write
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(test::readWholeFile(target()), kExpected);
}

TEST_F(AlignedReentry, CellsChangedDuringAPumpAreWrittenAsBefore)
{
    QTimer::singleShot(0, [this] {
        m_list.setSubItem(m_list.rowIdAt(1), 1, QStringLiteral("A much longer name"));
        m_list.setChecked(2, false);
        m_list.addRow(QStringLiteral("99999"));
        m_list.addColumn(QStringLiteral("Extra"));
    });
    EXPECT_TRUE(save());
    EXPECT_EQ(test::readWholeFile(target()), kExpected);
}

TEST_F(AlignedReentry, ClearedLateInTheWriteStillWritesEveryCell)
{
    // Cleared while the last row's cells are written: 4 measuring pumps, 2 for the
    // header, then per row one pump and one per cell.
    const long long start = pumpCount();
    QTimer clearer;
    QObject::connect(&clearer, &QTimer::timeout, [&] {
        if (pumpCount() - start >= 11) {
            m_list.clearRows();
            clearer.stop();
        }
    });
    clearer.start(0);
    EXPECT_TRUE(save());
    EXPECT_EQ(m_list.rowCount(), 0);
    EXPECT_EQ(test::readWholeFile(target()), kExpected);
}

TEST_F(AlignedReentry, EventsAreProcessedPerCellPerHeaderCellPerRowAndPerWrittenCell)
{
    m_list.addRow(QStringLiteral("unchecked"));
    m_list.setChecked(3, false);
    const long long before = pumpCount();
    EXPECT_TRUE(save());
    const long long measuring = 3 * 2;  // every cell of every row, checked or not
    const long long header = 2;
    const long long rows = 3;
    const long long written = 2 * 2;  // the cells of the checked rows only
    EXPECT_EQ(pumpCount() - before, measuring + header + rows + written);
}

TEST_F(AlignedReentry, SaveStartedDuringASaveToTheSameFileLeavesOneWholeFile)
{
    ListModel other;
    fillList(other, {"Other"}, {{"x"}});
    bool innerWritten = false;
    QTimer::singleShot(0, [&] {
        innerWritten = SaveListviewProperlySpacedWithoutProgressBar(other, target(), m_dialogs);
    });
    EXPECT_TRUE(save());
    EXPECT_TRUE(innerWritten);
    // The outer write began first and ends last: its file is the one that stays.
    EXPECT_EQ(test::readWholeFile(target()), kExpected);
    EXPECT_EQ(test::folderEntries(m_folder.path()), QStringList{QStringLiteral("result.txt")});
}

}  // namespace
}  // namespace zd
