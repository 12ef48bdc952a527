// Files of a source that names its figures: the vintage and the source in every
// format, each figure's variable ID where a reader finds it, read back by the
// programs people read them with (Python's csv and json, openpyxl). A table
// without such names is written as it always was (the other tests' expected bytes).
#include "core/listmodel.h"
#include "export/alignedspool.h"
#include "export/alignedwriter.h"
#include "export/csvwriter.h"
#include "export/exportformat.h"
#include "export/jsonlwriter.h"
#include "export/resultstable.h"
#include "export/workbookwriter.h"
#include "tests/export/exporttestsupport.h"
#include "tests/support/realreaders.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

const FigureSource kSource{QStringLiteral("2019-2023 ACS 5-year"),
                           QStringLiteral("U.S. Census Bureau, survey \"profile\", an API")};

Figure named(const QString& label, const QString& value, const QString& variable)
{
    Figure figure{label, value};
    figure.variable = variable;
    return figure;
}

EntryResult found(const QString& entry, QList<Figure> figures)
{
    return {entry, entry, EntryStatus::Found, QStringLiteral("Derry, NH"), std::move(figures), std::nullopt};
}

// As the table layouts hold a census run with margins of error: each margin a
// figure of its own after its figure, with the margin's ID. Two figures share a
// label but not their IDs.
ResultsTable namedTable()
{
    ResultsTable table;
    table.append(found("03053", {named("Total population", "19,756", "DP05_0001E"),
                                 named("Total population (margin of error)", "1,234", "DP05_0001M"),
                                 named("Under 5 years", "5.1%", "DP05_0005PE"),
                                 named("Under 5 years", "1,010", "DP05_0005E")}));
    table.append({QStringLiteral("0305"), QString(), EntryStatus::NotFiveCharacters, std::nullopt, {}, std::nullopt});
    return table;
}

class NamedFigures : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

    QTemporaryDir m_folder;
    ResultsTable m_table = namedTable();
};

TEST_F(NamedFigures, BothCsvFormsCarryTheVintageInEveryRowAndEachFiguresId)
{
    if (const QString missing = test::pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(writeCsv(m_table, path("wide.csv"), CsvLayout::Wide, kSource).written);
    const QJsonArray wide = test::runPythonForJson(test::kReadCsv, {path("wide.csv")}).array();
    ASSERT_EQ(wide.size(), 3);
    EXPECT_EQ(wide[0], test::strings({"entry", "zip", "status", "location", "vintage", "source",
                                "Total population [DP05_0001E]", "Total population (margin of error) [DP05_0001M]",
                                "Under 5 years [DP05_0005PE]", "Under 5 years [DP05_0005E]"}));
    EXPECT_EQ(wide[1], test::strings({"03053", "03053", "found", "Derry, NH", kSource.vintage, kSource.publisher, "19756",
                                "1234", "5.1", "1010"}));
    EXPECT_EQ(wide[2], test::strings({"0305", "", "not 5 characters", "", kSource.vintage, kSource.publisher, "", "", "",
                                ""}));

    ASSERT_TRUE(writeCsv(m_table, path("long.csv"), CsvLayout::Long, kSource).written);
    const QJsonArray long_ = test::runPythonForJson(test::kReadCsv, {path("long.csv")}).array();
    ASSERT_EQ(long_.size(), 1 + 4 + 1);
    EXPECT_EQ(long_[0], test::strings({"entry", "zip", "location", "vintage", "source", "label", "variable", "value"}));
    EXPECT_EQ(long_[2], test::strings({"03053", "03053", "Derry, NH", kSource.vintage, kSource.publisher,
                                 "Total population (margin of error)", "DP05_0001M", "1234"}));
    EXPECT_EQ(long_[4], test::strings({"03053", "03053", "Derry, NH", kSource.vintage, kSource.publisher, "Under 5 years",
                                 "DP05_0005E", "1010"}));
    // An entry without figures keeps its row, with the vintage.
    EXPECT_EQ(long_[5], test::strings({"0305", "", "", kSource.vintage, kSource.publisher, "", "", ""}));
}

// The keys in sorted order, as every line has had them; each ID after its value.
TEST_F(NamedFigures, AJsonLineNamesTheVintageAndTheVariableOfEachFigureAndMargin)
{
    Figure population = named("Total population", "19,756", "DP05_0001E");
    population.margin = QStringLiteral("1,234");
    population.marginVariable = QStringLiteral("DP05_0001M");
    EntryResult entry = found("03053", {population, named("Median age", "", "DP05_0018E")});
    EXPECT_EQ(entryJsonLine(entry, kSource),
              "{\"entry\":\"03053\",\"figures\":[{\"label\":\"Total population\","
              "\"moe\":{\"number\":1234,\"value\":\"1,234\",\"variable\":\"DP05_0001M\"},"
              "\"number\":19756,\"value\":\"19,756\",\"variable\":\"DP05_0001E\"},"
              "{\"label\":\"Median age\",\"number\":null,\"value\":\"\",\"variable\":\"DP05_0018E\"}],"
              "\"location\":\"Derry, NH\",\"source\":\"U.S. Census Bureau, survey \\\"profile\\\", an API\","
              "\"status\":\"found\",\"vintage\":\"2019-2023 ACS 5-year\",\"zip\":\"03053\"}");
    // A figure without an ID, of a run without a source: the line of old.
    EXPECT_EQ(entryJsonLine(found("03053", {{"Total population", "19,756"}})),
              "{\"entry\":\"03053\",\"figures\":[{\"label\":\"Total population\",\"number\":19756,"
              "\"value\":\"19,756\"}],\"location\":\"Derry, NH\",\"status\":\"found\",\"zip\":\"03053\"}");

    if (const QString missing = test::pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ResultsTable table;
    table.append(entry);
    ASSERT_TRUE(writeJsonLines(table, path("r.jsonl"), kSource).written);
    const char* const readLines = R"(
import json, sys
print(json.dumps([json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]))
)";
    const QJsonObject read = test::runPythonForJson(readLines, {path("r.jsonl")}).array()[0].toObject();
    EXPECT_EQ(read["vintage"], kSource.vintage);
    EXPECT_EQ(read["source"], kSource.publisher);
    EXPECT_EQ(read["figures"][0]["variable"], "DP05_0001E");
    EXPECT_EQ(read["figures"][0]["moe"]["variable"], "DP05_0001M");
    EXPECT_EQ(read["figures"][1]["variable"], "DP05_0018E");
}

TEST_F(NamedFigures, TheWorkbookNamesEachIdInItsColumnAndTheVintageOnItsAboutSheet)
{
    if (const QString missing = test::pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    RunInfo run{QStringLiteral("Census Data API"), QDateTime(QDate(2026, 12, 7), QTime(11, 30), Qt::UTC),
                QStringLiteral("0.1.0")};
    run.figureSource = kSource;
    const TableWriteOutcome outcome = writeResultsTable(m_table, path("r.xlsx"), ExportFormat::Xlsx, {false, run});
    ASSERT_TRUE(outcome.written) << outcome.description.toStdString();
    const char* const readBook = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
rows = lambda name: [[c.value for c in row] for row in book[name].iter_rows()]
print(json.dumps({'rows': rows('Demographics'), 'about': rows('About')}))
)";
    const QJsonObject book = test::runPythonForJson(readBook, {path("r.xlsx")}).object();
    const QJsonArray rows = book["rows"].toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], test::strings({"entry", "zip", "status", "location", "Total population [DP05_0001E]",
                                "Total population (margin of error) [DP05_0001M]", "Under 5 years [DP05_0005PE]",
                                "Under 5 years [DP05_0005E]"}));
    EXPECT_EQ(rows[1].toArray()[4], 19756);
    EXPECT_EQ(rows[1].toArray()[7], 1010);
    EXPECT_EQ(book["about"], (QJsonArray{test::strings({"Site", "Census Data API"}), test::strings({"Vintage", kSource.vintage}),
                                        test::strings({"Source", kSource.publisher}),
                                        test::strings({"Time of the run", "2026-12-07T11:30:00Z"}),
                                        test::strings({"Program version", "0.1.0"})}));
}

// A long run keeps its entries in a scratch file: the IDs come back from it.
TEST_F(NamedFigures, ATableKeptOnDiskGivesBackEveryId)
{
    ResultsTable onDisk;
    QString error;
    ASSERT_TRUE(onDisk.keepOnDisk(path("out.csv"), error)) << error.toStdString();
    Figure withMargin = named("Total population", "19,756", "DP05_0001E");
    withMargin.margin = QStringLiteral("1,234");
    withMargin.marginVariable = QStringLiteral("DP05_0001M");
    QList<EntryResult> entries = {found("03053", {withMargin, named("Under 5 years", "5.1%", "DP05_0005PE")}),
                                  found("01830", {{"No ID", "7"}})};
    for (const EntryResult& entry : entries)
        onDisk.append(entry);
    QList<QByteArray> lines;
    onDisk.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        lines.append(entryJsonLine(entry, kSource));
        return true;
    });
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], entryJsonLine(entries[0], kSource));
    EXPECT_EQ(lines[1], entryJsonLine(entries[1], kSource));
    EXPECT_EQ(onDisk.figureColumns(),
              (QStringList{"Total population [DP05_0001E]", "Under 5 years [DP05_0005PE]", "No ID"}));
}

// The table's lines stay as they are without the line; it follows them,
// unpadded, from the spool of an export and from the window's list alike.
TEST_F(NamedFigures, TheAlignedFileClosesWithTheSourceLineAfterTheRows)
{
    ListModel list;
    test::fillList(list, {"Demographics", " Value"}, {{"Derry, NH", ""}, {"Total population", "19,756"}});
    const auto spooled = [&](const QString& closingLine, const char* name) {
        AlignedSpool spool(list);
        QString error;
        EXPECT_TRUE(spool.open(path(name), error)) << error.toStdString();
        spool.addRows(list);
        spool.setClosingLine(closingLine);
        EXPECT_TRUE(spool.write(path(name)).written);
        return test::readWholeFile(path(name));
    };
    const QByteArray plain = spooled({}, "plain.txt");
    EXPECT_EQ(plain.count("\r\n"), 3);
    const QString line = figureSourceLine(FigureSource{QStringLiteral("2020-2024 ACS 5-year"),
                                                       QStringLiteral("Bureau \u00e9")});
    EXPECT_EQ(line, "Figures: 2020-2024 ACS 5-year, Bureau \u00e9");
    EXPECT_EQ(figureSourceLine({}), "");
    const QByteArray named = plain + "Figures: 2020-2024 ACS 5-year, Bureau \xe9\r\n";
    EXPECT_EQ(spooled(line, "spooled.txt"), named);
    ASSERT_TRUE(writeListAligned(list, path("listed.txt"), line).written);
    EXPECT_EQ(test::readWholeFile(path("listed.txt")), named);
    ASSERT_TRUE(writeListAligned(list, path("listed-plain.txt")).written);
    EXPECT_EQ(test::readWholeFile(path("listed-plain.txt")), plain);
    // A device that takes nothing fails the line as it fails a row.
    const AlignedWriteOutcome full = writeListAligned(ListModel(), QStringLiteral("/dev/full"), line);
    EXPECT_FALSE(full.written);
}

}  // namespace
}  // namespace zd
