// The layout of the aligned result file, compared byte for byte.
#include "tests/support/scripteddialogs.h"
#include "core/windows1252.h"
#include "export/alignedlayout.h"
#include "export/alignedwriter.h"
#include "tests/export/exporttestsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

using test::expectedFile;
using test::readWholeFile;
using test::fillList;

class AlignedLayout : public ::testing::Test {
protected:
    QString target() const { return m_folder.filePath(QStringLiteral("result.txt")); }

    // Writes the list through the save routine and returns the file's bytes.
    QByteArray save(const ListModel& list)
    {
        const bool written = SaveListviewProperlySpacedWithoutProgressBar(list, target(), m_dialogs);
        EXPECT_TRUE(written);
        EXPECT_TRUE(m_dialogs.messages().isEmpty());
        return test::readWholeFile(target());
    }

    QTemporaryDir m_folder;
    ScriptedDialogs m_dialogs;
};

TEST_F(AlignedLayout, DemographicsListMatchesExpectedFile)
{
    ListModel list;
    fillList(list, {"Demographics", " Value"},
             {{"Hanover, NH 03755"},  // a name row: its second cell was never set
              {"Population", "11,260"},
              {"Median Age", "22.4"},
              {"Median Household Income", "$93,281"}});
    EXPECT_EQ(save(list), expectedFile("demographics.txt"));
}

TEST_F(AlignedLayout, CodePageAndUncheckedRowsMatchExpectedFile)
{
    // Characters outside the code page become "?" but count as the UTF-16 units
    // they are; the unchecked row is not written yet sets the first column's width.
    ListModel list;
    fillList(list, {"Name", "Note"},
             {{QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("\u20ac5")},
              {QString::fromUtf8("\u6f22\u5b57"), "x"},
              {QString::fromUtf8("\U0001F600"), ""},
              {"Longest name here", "y"}},
             {4});
    EXPECT_EQ(save(list), expectedFile("codepage.txt"));
}

TEST_F(AlignedLayout, ColumnsWithoutRowsGiveOnlyThePaddedHeaderLine)
{
    ListModel list;
    fillList(list, {"Demographics", " Value", ""}, {});
    EXPECT_EQ(save(list), QByteArray("Demographics\t Value\t\t\r\n"));
}

TEST_F(AlignedLayout, NoColumnsGiveEmptyLinesForHeaderAndCheckedRows)
{
    ListModel list;
    fillList(list, {}, {{"a"}, {"b"}, {"c"}}, {2});
    EXPECT_EQ(save(list), QByteArray("\r\n\r\n\r\n"));
}

TEST_F(AlignedLayout, HeaderLongerThanCellsSetsTheWidth)
{
    ListModel list;
    fillList(list, {"Zip", "Location Name"}, {{"03755", "Hanover"}, {"1", ""}});
    EXPECT_EQ(save(list), QByteArray("Zip  \tLocation Name\t\r\n"
                                     "03755\tHanover      \t\r\n"
                                     "1    \t             \t\r\n"));
}

TEST_F(AlignedLayout, EveryLineHasOneTabPerColumnAndTheSameLength)
{
    ListModel list;
    QList<QStringList> rows;
    for (int i = 0; i < 50; ++i)
        rows.append({QString(i % 7, QLatin1Char('a')), QString(i % 5, QLatin1Char('b')),
                     QString(i % 3, QLatin1Char('c'))});
    fillList(list, {"one", "two", "three"}, rows, {3, 10});
    const QList<QByteArray> lines = save(list).split('\n');
    ASSERT_EQ(lines.size(), 1 + 48 + 1);  // the text after the last LF is empty
    EXPECT_TRUE(lines.last().isEmpty());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].endsWith("\t\r")) << i;
        EXPECT_EQ(lines[i].count('\t'), 3) << i;
        EXPECT_EQ(lines[i].size(), 6 + 4 + 5 + 3 + 1) << i;  // widths 6, 4, 5, three TABs, CR
    }
}

TEST_F(AlignedLayout, ExistingFileIsReplacedWholly)
{
    ASSERT_TRUE(test::writeWholeFile(target(), QByteArray(10000, 'x')));
    ListModel list;
    fillList(list, {"A"}, {{"b"}});
    EXPECT_EQ(save(list), QByteArray("A\t\r\nb\t\r\n"));
}

TEST_F(AlignedLayout, NewFileIsReadableLikeAnyFileTheUserCreates)
{
    ListModel list;
    fillList(list, {"A"}, {});
    const mode_t mask = umask(022);
    save(list);
    umask(mask);
    const QFileDevice::Permissions permissions = QFile::permissions(target());
    EXPECT_TRUE(permissions & QFileDevice::ReadGroup);
    EXPECT_TRUE(permissions & QFileDevice::ReadOther);
}

TEST_F(AlignedLayout, ReplacedFileKeepsItsPermissions)
{
    ASSERT_TRUE(test::writeWholeFile(target(), "old"));
    ASSERT_TRUE(QFile::setPermissions(target(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                    | QFileDevice::ReadGroup));
    ListModel list;
    fillList(list, {"A"}, {});
    save(list);
    const QFileDevice::Permissions permissions = QFile::permissions(target());
    EXPECT_TRUE(permissions & QFileDevice::ReadGroup);
    EXPECT_FALSE(permissions & QFileDevice::WriteGroup);
    EXPECT_FALSE(permissions & QFileDevice::ReadOther);
}

TEST_F(AlignedLayout, SymbolicLinkTargetIsWrittenThroughTheLink)
{
    const QString real = m_folder.filePath(QStringLiteral("real.txt"));
    ASSERT_TRUE(test::writeWholeFile(real, "old"));
    ASSERT_TRUE(QFile::link(real, target()));
    ListModel list;
    fillList(list, {"A"}, {});
    save(list);
    EXPECT_TRUE(QFileInfo(target()).isSymLink());
    EXPECT_EQ(test::readWholeFile(real), QByteArray("A\t\r\n"));
}

struct AlignedLineCase {
    const char* name;
    QStringList cells;
    QList<qsizetype> widths;
    QString expected;
};

void PrintTo(const AlignedLineCase& rule, std::ostream* out) { *out << rule.name; }

class AlignedLineTable : public ::testing::TestWithParam<AlignedLineCase> {};

TEST_P(AlignedLineTable, PadsEachCellAndEndsItWithATab)
{
    EXPECT_EQ(alignedLine(GetParam().cells, GetParam().widths), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AlignedLine, AlignedLineTable,
    ::testing::Values(
        AlignedLineCase{"Padded", {"ab", "c"}, {4, 2}, "ab  \tc \t"},
        AlignedLineCase{"ExactWidth", {"abc"}, {3}, "abc\t"},
        AlignedLineCase{"EmptyCellIsAllSpaces", {""}, {3}, "   \t"},
        AlignedLineCase{"LongerCellIsNotCut", {"abcdef"}, {2}, "abcdef\t"},
        AlignedLineCase{"MissingWidthCountsAsZero", {"a", "b"}, {3}, "a  \tb\t"},
        AlignedLineCase{"NoCells", {}, {}, ""},
        AlignedLineCase{"SurrogatePairCountsTwo", {QString::fromUtf8("\U0001F600")}, {3},
                        QString::fromUtf8("\U0001F600 \t")}),
    [](const auto& info) { return std::string(info.param.name); });

// The text shown on screen and the file share one layout: only the line ends differ.
TEST(AlignedText, AgreesWithTheFileTheWriterLeaves)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("r.txt"));
    ListModel list;
    fillList(list, {"Zip", "Location Name"},
             {{"03755", "Hanover"}, {"", "Blank line."}, {"00128", "Caf\u00e9 Wide Valley"}});
    ASSERT_TRUE(writeListAligned(list, path).written);
    const QString text = alignedText(list);
    EXPECT_TRUE(text.startsWith("Zip  \tLocation Name   \t\n03755\tHanover         \t\n"));
    EXPECT_EQ(test::readWholeFile(path), encodeWindows1252(QString(text).replace("\n", "\r\n")));
}

}  // namespace
}  // namespace zd
