// The CSV writer's quoting, and the scratch files of long runs written past
// their first blocks: every record comes back once, in order, byte for byte.
#include "core/listmodel.h"
#include "export/alignedspool.h"
#include "export/alignedwriter.h"
#include "export/csvwriter.h"
#include "export/resultstable.h"
#include "export/scratchfile.h"
#include "tests/export/exporttestsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

// A line break or TAB from outside is written escaped (no field carries a
// raw control); a field that would start a formula gets its apostrophe.
TEST(CsvField, QuotesWhatAReaderWouldOtherwiseSplitOrTrim)
{
    const QList<std::pair<QString, QByteArray>> cases = {
        {"19,756", "\"19,756\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "two\\x0d\\x0alines"},
        {"a\nb", "a\\x0ab"},
        {"a\rb", "a\\x0db"},
        {" leading", "\" leading\""},
        {"trailing ", "\"trailing \""},
        {"tab\t", "tab\\x09"},
        {"\tstart", "'\\x09start"},
        {"=1+1, or", "\"'=1+1, or\""},
        {"-2.5", "-2.5"},
        {" ", "\" \""},
        {"", ""},
        {"in side", "in side"},
        {"Derry, NH", "\"Derry, NH\""},
        {QString::fromUtf8("Z\u00fcrich"), "Z\xc3\xbcrich"},
        {"$136,900", "\"$136,900\""},
        {"18.7%", "18.7%"},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(csvField(text), field) << text.toStdString();
}

class LongScratch : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

    QTemporaryDir m_folder;
};

// Records of differing lengths, so that no block boundary falls on a record's end.
QByteArray numberedRecord(int number)
{
    return QByteArray::number(number).rightJustified(7, '0') + ':' + QByteArray(number % 997, char('a' + number % 26))
           + '\n';
}

TEST_F(LongScratch, EveryRecordIsWrittenOnceInOrderPastManyBlocks)
{
    ScratchFile scratch;
    QString error;
    ASSERT_TRUE(scratch.open(path("out.csv"), QStringLiteral("test"), error)) << error.toStdString();
    QByteArray expected;
    for (int number = 0; expected.size() < 5 * 1024 * 1024 + 17; ++number) {
        const QByteArray record = numberedRecord(number);
        scratch.append(record);
        expected += record;
    }
    ASSERT_TRUE(scratch.finish()) << scratch.failure().toStdString();
    const QByteArray written = test::readWholeFile(scratch.fileName());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    // A second finish writes nothing again.
    ASSERT_TRUE(scratch.finish());
    EXPECT_EQ(test::readWholeFile(scratch.fileName()).size(), expected.size());
}

EntryResult entryOf(const QString& entry, const QString& zip, EntryStatus status)
{
    EntryResult result;
    result.entry = entry;
    result.zip = zip;
    result.status = status;
    return result;
}

EntryResult foundEntry(int number, const QList<Figure>& figures)
{
    const QString zip = QString::number(10000 + number);
    EntryResult result = entryOf(zip, zip, EntryStatus::Found);
    result.location = "Place " + QString::number(number);
    result.figures = figures;
    return result;
}

Figure figureOf(const QString& label, const QString& value)
{
    Figure figure;
    figure.label = label;
    figure.value = value;
    return figure;
}

// A run of more entries than one block holds, most named alike, some not: each
// comes back whole, once and in order, with its figures in their columns.
TEST_F(LongScratch, AResultsTableOnDiskGivesBackEveryEntryOnce)
{
    ResultsTable table;
    QString error;
    ASSERT_TRUE(table.keepOnDisk(path("out.csv"), error)) << error.toStdString();
    QList<EntryResult> entries;
    for (int number = 0; number < 12000; ++number) {
        QList<Figure> figures;
        for (int k = 0; k < 12; ++k)
            figures.append(figureOf("Figure " + QString::number(k), QString::number(number * 100 + k)));
        figures[3].variable = QStringLiteral("DP05_0003E");
        figures[3].unit = QStringLiteral("count");
        figures[3].universe = QStringLiteral("Total population");
        if (number % 50 == 0) {  // a label of its own, and a margin
            figures[5] = figureOf("Rare figure", "5");
            figures[5].margin = QStringLiteral("0.5");
            figures[5].variable = QStringLiteral("DP99_0001E");
            figures[5].marginVariable = QStringLiteral("DP99_0001M");
            figures[5].unit = QStringLiteral("percent");
            figures[5].universe = QStringLiteral("Occupied housing units");
        }
        if (number % 7 == 0)
            entries.append(entryOf(QStringLiteral(" 123 "), QStringLiteral("123"), EntryStatus::NotFiveCharacters));
        entries.append(foundEntry(number, figures));
    }
    for (const EntryResult& entry : entries)
        table.append(entry);
    ASSERT_EQ(table.size(), entries.size());
    const QStringList& names = table.figureColumns();
    qsizetype at = 0;
    const bool whole = table.forEachEntry([&](const EntryResult& entry, const QList<int>& columns) {
        EXPECT_LT(at, entries.size());
        if (at >= entries.size())
            return false;
        const EntryResult& expected = entries[at++];
        EXPECT_EQ(entry.entry, expected.entry);
        EXPECT_EQ(entry.location, expected.location);
        EXPECT_EQ(entry.status, expected.status);
        EXPECT_EQ(entry.figures.size(), expected.figures.size());
        for (qsizetype k = 0; k < std::min(entry.figures.size(), expected.figures.size()); ++k) {
            EXPECT_EQ(entry.figures[k].label, expected.figures[k].label);
            EXPECT_EQ(entry.figures[k].value, expected.figures[k].value);
            EXPECT_EQ(entry.figures[k].margin, expected.figures[k].margin);
            EXPECT_EQ(entry.figures[k].variable, expected.figures[k].variable);
            EXPECT_EQ(entry.figures[k].marginVariable, expected.figures[k].marginVariable);
            EXPECT_EQ(entry.figures[k].unit, expected.figures[k].unit);
            EXPECT_EQ(entry.figures[k].universe, expected.figures[k].universe);
            EXPECT_EQ(names.value(columns.value(k, -1)), figureColumnName(expected.figures[k])) << at << " " << k;
        }
        return !::testing::Test::HasFailure();
    });
    EXPECT_TRUE(whole);
    EXPECT_EQ(at, entries.size());
}

// Figures with CVs and words, as --moe gives them: short texts that repeat are
// written once and shared, past the bound on how many are numbered (more
// distinct percents than it holds), beside texts never shared (long, empty,
// null, numbers): each comes back as it went in, null or empty as it was.
TEST_F(LongScratch, RepeatedShortTextsComeBackAsTheyWentInPastTheBoundOnSharedOnes)
{
    ResultsTable table;
    QString error;
    ASSERT_TRUE(table.keepOnDisk(path("out.csv"), error)) << error.toStdString();
    const QStringList words{QStringLiteral("high"), QStringLiteral("medium"), QStringLiteral("low")};
    QList<EntryResult> entries;
    for (int number = 0; number < 6000; ++number) {
        QList<Figure> figures;
        for (int k = 0; k < 6; ++k) {
            Figure figure = figureOf("Figure " + QString::number(k), QString::number(number % 40 + k) + '%');
            figure.margin = QString::number(number * 6 + k);
            figure.cv = QString::number(double(number * 6 + k) / 10, 'f', 1) + '%';  // 36,000 distinct
            figure.reliability = words[(number + k) % 3];
            figures.append(figure);
        }
        figures[1].cv = QString();                          // null: no CV
        figures[2].cv = QStringLiteral("");                 // empty, not null
        figures[3].reliability = QStringLiteral("a word longer than any shared");
        figures[4].margin = std::nullopt;
        figures[4].cv = QString();
        figures[4].reliability = QString();                 // neither: none written
        entries.append(foundEntry(number, figures));
    }
    for (const EntryResult& entry : entries)
        table.append(entry);
    qsizetype at = 0;
    const bool whole = table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        const EntryResult& expected = entries[at++];
        EXPECT_EQ(entry.figures.size(), expected.figures.size());
        for (qsizetype k = 0; k < std::min(entry.figures.size(), expected.figures.size()); ++k) {
            const Figure& got = entry.figures[k];
            const Figure& want = expected.figures[k];
            EXPECT_EQ(got.value, want.value) << at << " " << k;
            EXPECT_EQ(got.margin, want.margin) << at << " " << k;
            EXPECT_EQ(got.cv, want.cv) << at << " " << k;
            EXPECT_EQ(got.cv.isNull(), want.cv.isNull()) << at << " " << k;
            EXPECT_EQ(got.reliability, want.reliability) << at << " " << k;
        }
        return !::testing::Test::HasFailure() && at < entries.size() + 1;
    }, ResultsTable::Columns::Skipped);
    EXPECT_TRUE(whole);
    EXPECT_EQ(at, entries.size());
}

// An export's aligned file of many rows: the same bytes as the list written at once.
TEST_F(LongScratch, TheAlignedSpoolPastManyBlocksWritesWhatTheListWouldWrite)
{
    ListModel list;
    QList<QStringList> rows;
    for (int number = 0; number < 60000; ++number)
        rows.append({"A figure of the page, number " + QString::number(number), QString::number(number * 37)});
    test::fillList(list, {"Demographics", " Value"}, rows);
    AlignedSpool spool(list);
    QString error;
    ASSERT_TRUE(spool.open(path("spooled.txt"), error)) << error.toStdString();
    spool.addRows(list);
    ASSERT_TRUE(spool.write(path("spooled.txt")).written);
    ASSERT_TRUE(writeListAligned(list, path("whole.txt")).written);
    const QByteArray spooled = test::readWholeFile(path("spooled.txt"));
    EXPECT_GT(spooled.size(), 2 * 1024 * 1024);
    EXPECT_TRUE(spooled == test::readWholeFile(path("whole.txt")));
}

}  // namespace
}  // namespace zd
