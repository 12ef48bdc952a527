// The CSV, JSON Lines and workbook files, read back by the programs people read
// them with: Python's csv and json modules, openpyxl, LibreOffice.
#include "export/csvwriter.h"
#include "export/exportformat.h"
#include "export/figurenumber.h"
#include "export/jsonlwriter.h"
#include "export/jsontext.h"
#include "export/resultstable.h"
#include "export/workbookwriter.h"
#include "tests/export/exporttestsupport.h"
#include "tests/support/realreaders.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include <limits>

namespace zd {
namespace {

using test::readWholeFile;
using test::folderEntries;

EntryResult found(const QString& entry, const QString& location, QList<Figure> figures)
{
    return {entry, entry.trimmed(), EntryStatus::Found, location, std::move(figures), std::nullopt};
}

// Entries that put every writer to work: leading zeros, a name that needs quoting,
// non-ASCII letters, entries without a location or figures, a figure missing from
// one entry, a label that one entry holds twice, and values that are no numbers.
ResultsTable sampleTable()
{
    ResultsTable table;
    table.append(found(QStringLiteral("03053"), QStringLiteral("Harrowmere Falls, NH"),
                       {{"Total population", "19,756"}, {"Under 18 years", "18.7%"},
                        {"Median home value", "$136,900"}, {"Median age", "46.0 years"}}));
    table.append(found(QStringLiteral(" 00501"), QStringLiteral("Ch\u00e2teau \"Old\" Mill,\r\nNY"),
                       {{"Total population", "1,204"}, {"Median age", "41\u00bd years"},
                        {"Average rent in \u20ac", "\u20ac 1.050"}, {"Median age", "39.5 years"}}));
    table.append({QStringLiteral("   "), QString(), EntryStatus::Blank, std::nullopt, {}, std::nullopt});
    table.append({QStringLiteral("1234"), QString(), EntryStatus::NotFiveCharacters, std::nullopt, {}, std::nullopt});
    table.append({QStringLiteral("99999"), QStringLiteral("99999"), EntryStatus::NotFound, std::nullopt, {}, std::nullopt});
    return table;
}

class TableFormats : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_folder.filePath(QLatin1String(name)); }

    QTemporaryDir m_folder;
    ResultsTable m_table = sampleTable();
};

TEST_F(TableFormats, WideCsvReadsBackAsTheTableThroughPythonsCsvModule)
{
    if (const QString missing = test::pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(writeCsv(m_table, path("wide.csv"), CsvLayout::Wide).written);
    const QJsonArray rows = test::runPythonForJson(test::kReadCsv, {path("wide.csv")}).array();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0], test::strings({"entry", "zip", "status", "location", "Total population",
                                "Under 18 years", "Median home value", "Median age",
                                "Average rent in \u20ac", "Median age (2)"}));
    EXPECT_EQ(rows[1], test::strings({"03053", "03053", "found", "Harrowmere Falls, NH", "19,756", "18.7%",
                                "$136,900", "46.0 years", "", ""}));
    EXPECT_EQ(rows[2], test::strings({" 00501", "00501", "found", "Ch\u00e2teau \"Old\" Mill,\\x0d\\x0aNY", "1,204",
                                "", "", "41\u00bd years", "\u20ac 1.050", "39.5 years"}));
    EXPECT_EQ(rows[3], test::strings({"   ", "", "blank", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[4], test::strings({"1234", "", "not 5 characters", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rows[5], test::strings({"99999", "99999", "not found", "", "", "", "", "", "", ""}));
}

TEST_F(TableFormats, CsvIsUtf8WithCrLfAndQuotesOnlyWhereNeeded)
{
    ASSERT_TRUE(writeCsv(m_table, path("wide.csv"), CsvLayout::Wide).written);
    const QByteArray bytes = test::readWholeFile(path("wide.csv"));
    EXPECT_TRUE(bytes.startsWith("entry,zip,status,location,Total population,"));
    EXPECT_TRUE(bytes.contains("\r\n03053,03053,found,\"Harrowmere Falls, NH\",\"19,756\",18.7%,"));
    // The line break from outside is escaped: no field carries a raw control.
    EXPECT_TRUE(bytes.contains("\" 00501\",00501,found,\"Ch\xc3\xa2teau \"\"Old\"\" Mill,\\x0d\\x0aNY\""));
    EXPECT_TRUE(bytes.endsWith("99999,99999,not found,,,,,,,\r\n"));
}

TEST_F(TableFormats, LongCsvHasOneRowPerFigureAndKeepsEntriesWithoutFigures)
{
    if (const QString missing = test::pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(writeCsv(m_table, path("long.csv"), CsvLayout::Long).written);
    const QJsonArray rows = test::runPythonForJson(test::kReadCsv, {path("long.csv")}).array();
    ASSERT_EQ(rows.size(), 1 + 4 + 4 + 3);
    EXPECT_EQ(rows[0], test::strings({"entry", "zip", "location", "label", "value"}));
    EXPECT_EQ(rows[1], test::strings({"03053", "03053", "Harrowmere Falls, NH", "Total population", "19,756"}));
    EXPECT_EQ(rows[8], test::strings({" 00501", "00501", "Ch\u00e2teau \"Old\" Mill,\\x0d\\x0aNY", "Median age",
                                "39.5 years"}));
    EXPECT_EQ(rows[9], test::strings({"   ", "", "", "", ""}));
    EXPECT_EQ(rows[11], test::strings({"99999", "99999", "", "", ""}));
}

TEST_F(TableFormats, JsonLinesReadBackThroughPythonsJsonModuleWithNumbers)
{
    if (const QString missing = test::pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(writeJsonLines(m_table, path("results.jsonl")).written);
    const char* const readLines = R"(
import json, sys
with open(sys.argv[1], encoding='utf-8', newline='') as f:
    text = f.read()
assert text.endswith('\n') and '\r' not in text.replace('\\r', '')
print(json.dumps([json.loads(line) for line in text.split('\n')[:-1]]))
)";
    const QJsonArray objects = test::runPythonForJson(readLines, {path("results.jsonl")}).array();
    ASSERT_EQ(objects.size(), 5);
    const QJsonObject first = objects[0].toObject();
    EXPECT_EQ(first["entry"], "03053");
    EXPECT_EQ(first["zip"], "03053");
    EXPECT_EQ(first["status"], "found");
    EXPECT_EQ(first["location"], "Harrowmere Falls, NH");
    const QJsonArray figures = first["figures"].toArray();
    ASSERT_EQ(figures.size(), 4);
    EXPECT_EQ(figures[0].toObject(), (QJsonObject{{"label", "Total population"}, {"value", "19,756"}, {"number", 19756}}));
    EXPECT_EQ(figures[1].toObject()["number"], 18.7);
    EXPECT_EQ(figures[2].toObject()["number"], 136900);
    EXPECT_EQ(figures[3].toObject()["number"], 46);
    const QJsonObject second = objects[1].toObject();
    EXPECT_EQ(second["location"], "Ch\u00e2teau \"Old\" Mill,\r\nNY");
    EXPECT_EQ(second["figures"].toArray()[1].toObject()["value"], "41\u00bd years");
    EXPECT_TRUE(second["figures"].toArray()[1].toObject()["number"].isNull());
    EXPECT_EQ(second["figures"].toArray()[3].toObject()["number"], 39.5);
    EXPECT_TRUE(objects[2].toObject()["location"].isNull());
    EXPECT_EQ(objects[2].toObject()["figures"], QJsonArray());
    EXPECT_EQ(objects[3].toObject()["status"], "not 5 characters");
}

const char* const kReadWorkbook = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
def cell(c):
    return {'value': c.value, 'type': type(c.value).__name__, 'format': c.number_format,
            'bold': bool(c.font and c.font.b)}
print(json.dumps({
    'sheets': book.sheetnames,
    'freeze': book['Demographics'].freeze_panes,
    'widths': {k: v.width for k, v in book['Demographics'].column_dimensions.items()},
    'rows': [[cell(c) for c in row] for row in book['Demographics'].iter_rows()],
    'about': [[c.value for c in row] for row in book['About'].iter_rows()],
}))
)";

TEST_F(TableFormats, WorkbookKeepsZipCodesAsTextAndFiguresAsNumbersForOpenpyxl)
{
    if (const QString missing = test::pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const RunInfo run{QStringLiteral("127.0.0.1:8080"),
                      QDateTime(QDate(2026, 12, 7), QTime(11, 30), Qt::UTC), QStringLiteral("0.1.0")};
    const TableWriteOutcome outcome = writeWorkbook(m_table, path("results.xlsx"), run);
    ASSERT_TRUE(outcome.written) << outcome.description.toStdString();
    const QJsonObject book = test::runPythonForJson(kReadWorkbook, {path("results.xlsx")}).object();
    EXPECT_EQ(book["sheets"], test::strings({"Demographics", "About"}));
    EXPECT_EQ(book["freeze"], "A2");
    const QJsonArray rows = book["rows"].toArray();
    ASSERT_EQ(rows.size(), 6);
    const auto at = [&](int row, int column) { return rows[row].toArray()[column].toObject(); };
    EXPECT_EQ(at(0, 4), (QJsonObject{{"value", "Total population"}, {"type", "str"}, {"format", "General"}, {"bold", true}}));
    EXPECT_EQ(at(1, 0)["value"], "03053");
    EXPECT_EQ(at(1, 1)["type"], "str");
    EXPECT_EQ(at(1, 1)["value"], "03053");
    EXPECT_EQ(at(2, 1)["value"], "00501");
    EXPECT_EQ(at(2, 0)["value"], " 00501");
    EXPECT_EQ(at(1, 4)["value"], 19756);
    EXPECT_EQ(at(1, 4)["format"], "#,##0");
    EXPECT_DOUBLE_EQ(at(1, 5)["value"].toDouble(), 0.187);
    EXPECT_EQ(at(1, 5)["format"], "0.0%");
    EXPECT_EQ(at(1, 6)["value"], 136900);
    EXPECT_EQ(at(1, 6)["format"], "$#,##0");
    EXPECT_EQ(at(1, 7)["value"], 46);
    // The line break from outside is escaped, as in every other format.
    EXPECT_EQ(at(2, 3)["value"], "Ch\u00e2teau \"Old\" Mill,\\x0d\\x0aNY");
    EXPECT_EQ(at(2, 7)["value"], "41\u00bd years");
    EXPECT_EQ(at(2, 7)["type"], "str");
    EXPECT_EQ(at(2, 8)["value"], "\u20ac 1.050");
    EXPECT_EQ(at(2, 9)["value"], 39.5);
    EXPECT_EQ(at(3, 2)["value"], "blank");
    EXPECT_TRUE(at(3, 3)["value"].isNull());
    EXPECT_GE(book["widths"].toObject()["D"].toDouble(), 20);
    EXPECT_EQ(book["about"], (QJsonArray{test::strings({"Site", "127.0.0.1:8080"}),
                                        test::strings({"Time of the run", "2026-12-07T11:30:00Z"}),
                                        test::strings({"Program version", "0.1.0"})}));
}

TEST_F(TableFormats, LibreOfficeShowsTheZipCodesWithTheirLeadingZeros)
{
    if (const QString missing = test::libreOfficeMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(writeWorkbook(m_table, path("results.xlsx"), {}).written);
    const QByteArray csv = test::libreOfficeCsvOf(path("results.xlsx"));
    EXPECT_TRUE(csv.contains("\n03053,03053,found,\"Harrowmere Falls, NH\",\"19,756\",18.7%,\"$136,900\",46.0 years"))
        << csv.toStdString();
    EXPECT_TRUE(csv.contains("\n 00501,00501,found,\"Ch\xc3\xa2teau \"\"Old\"\" Mill,\\x0d\\x0aNY\",\"1,204\""))
        << csv.toStdString();
}

TEST_F(TableFormats, FormatFollowsItsNameOrTheOutputExtension)
{
    EXPECT_EQ(exportFormatNamed("jsonl"), ExportFormat::Jsonl);
    EXPECT_EQ(exportFormatNamed("JSONL"), std::nullopt);
    EXPECT_EQ(exportFormatNamed("txt"), std::nullopt);
    EXPECT_EQ(exportFormatOfPath("out/results.CSV"), ExportFormat::Csv);
    EXPECT_EQ(exportFormatOfPath("results.jsonl"), ExportFormat::Jsonl);
    EXPECT_EQ(exportFormatOfPath("results.xlsx"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatOfPath("results.txt"), ExportFormat::Aligned);
    EXPECT_EQ(exportFormatOfPath("results.xlsx.bak"), ExportFormat::Aligned);
    EXPECT_EQ(exportFormatOfPath("csv"), ExportFormat::Aligned);
}

// A write that cannot finish leaves the old file's bytes and no file of its own.
TEST_F(TableFormats, AFailedWriteChangesNothingInEveryFormat)
{
    ASSERT_TRUE(test::writeWholeFile(path("kept"), "old bytes"));
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("sub"));
    for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::Jsonl, ExportFormat::Xlsx}) {
        SCOPED_TRACE(exportFormatName(format).toStdString());
        const TableWriteOutcome missing = writeResultsTable(m_table, path("missing/out"), format, {});
        EXPECT_FALSE(missing.written);
        EXPECT_EQ(missing.description, "Path not found");
        const TableWriteOutcome folder = writeResultsTable(m_table, path("sub"), format, {});
        EXPECT_FALSE(folder.written);
        EXPECT_FALSE(folder.description.isEmpty());
    }
    EXPECT_EQ(test::readWholeFile(path("kept")), "old bytes");
    EXPECT_EQ(folderEntries(m_folder.path()), (QStringList{"kept", "sub"}));
    EXPECT_TRUE(folderEntries(path("sub")).isEmpty());
}

QList<QList<int>> columnsOfEach(const ResultsTable& table)
{
    QList<QList<int>> columns;
    table.forEachEntry([&](const EntryResult&, const QList<int>& ofEntry) {
        columns.append(ofEntry);
        return true;
    });
    return columns;
}

TEST_F(TableFormats, DuplicateLabelsGetAColumnPerOccurrenceInFirstSeenOrder)
{
    ResultsTable table;
    table.append(found("11111", "A", {{"x", "1"}, {"y", "2"}, {"x", "3"}}));
    table.append(found("22222", "B", {{"z", "4"}, {"x", "5"}}));
    EXPECT_EQ(table.figureColumns(), (QStringList{"x", "y", "x (2)", "z"}));
    EXPECT_EQ(columnsOfEach(table), (QList<QList<int>>{{0, 1, 2}, {3, 0}}));
}

// Labels that read like a fixed column or like another label's numbered column
// get the next free name, and every value keeps a column of its own.
TEST_F(TableFormats, ColumnNamesNeverRepeatAFixedColumnOrAnotherLabel)
{
    ResultsTable table;
    table.append(found("11111", "A", {{"zip", "1"}, {"x (2)", "2"}, {"status", "3"}}));
    table.append(found("22222", "B", {{"x", "4"}, {"x", "5"}, {"zip", "6"}, {"zip", "7"}}));
    EXPECT_EQ(table.figureColumns(), (QStringList{"zip (2)", "x (2)", "status (2)", "x", "x (3)", "zip (3)"}));
    EXPECT_EQ(columnsOfEach(table)[1], (QList<int>{3, 4, 0, 5}));
    const QList<QByteArray> lines = csvText(table, CsvLayout::Wide).split('\n');
    EXPECT_EQ(lines[0], "entry,zip,status,location,zip (2),x (2),status (2),x,x (3),zip (3)\r");
    EXPECT_EQ(lines[2], "22222,22222,found,B,6,,,4,5,7\r");
}

// Literal "_xHHHH_" in a text and percentages with one decimal, as LibreOffice
// shows the cells: the text as written, the percentage as the page showed it.
TEST_F(TableFormats, WorkbookKeepsLiteralEscapesAndStoresPercentagesAsTheirDecimal)
{
    EXPECT_EQ(workbookCellText("_x0041_"), "_x005F_x0041_");
    EXPECT_EQ(workbookCellText("a_x0041_x0042_b _x12_"), "a_x005F_x0041_x005F_x0042_b _x12_");
    EXPECT_EQ(readFigureNumber("80.6%")->stored, 0.806);
    EXPECT_EQ(readFigureNumber("-0.1%")->stored, -0.001);
    EXPECT_EQ(readFigureNumber("$1,204.5")->stored, 1204.5);
    if (const QString missing = test::pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    ResultsTable table;
    table.append(found("_x0041_", "_x0041_x0042_", {{"_x0043_", "80.6%"}, {"b", "57.3%"}}));
    const RunInfo run{QStringLiteral("site"), QDateTime::currentDateTimeUtc(), QStringLiteral("0")};
    ASSERT_TRUE(writeWorkbook(table, path("escapes.xlsx"), run).written);
    // openpyxl hands the stored text over undecoded, so the escape shows as written.
    const QJsonObject book = test::runPythonForJson(kReadWorkbook, {path("escapes.xlsx")}).object();
    const QJsonArray header = book["rows"].toArray()[0].toArray();
    const QJsonArray row = book["rows"].toArray()[1].toArray();
    EXPECT_EQ(header[4].toObject()["value"], "_x005F_x0043_");
    EXPECT_EQ(row[0].toObject()["value"], "_x005F_x0041_");
    EXPECT_EQ(row[4].toObject()["value"], 0.806);  // exactly: Python prints the shortest form
    EXPECT_EQ(row[5].toObject()["value"], 0.573);
    if (const QString missing = test::libreOfficeMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const QByteArray shown = test::libreOfficeCsvOf(path("escapes.xlsx"));
    EXPECT_EQ(shown, "entry,zip,status,location,_x0043_,b\n_x0041_,_x0041_,found,_x0041_x0042_,80.6%,57.3%\n")
        << shown.toStdString();
}

// The JSON text written directly is the text Qt's JSON writer gives for the same
// values, for every kind of character and number; DEL, which Qt leaves raw, is
// the escape of the same text.
TEST(JsonText, EqualsQtsCompactJson)
{
    QByteArray controls;
    appendJsonString(controls, QString::fromUtf8("a\x7f\u0085\u202eb"));
    EXPECT_EQ(controls, "\"a\\u007f\u0085\u202eb\"");
    EXPECT_EQ(QJsonDocument::fromJson("[" + controls + "]").array()[0].toString(),
              QString::fromUtf8("a\x7f\u0085\u202eb"));
    QString awkward;
    for (char16_t unit = 0; unit < 0x7F; ++unit)
        awkward += QChar(unit);
    awkward += QString::fromUtf8("\u00e9\u20ac\U0001F600\uFFFD\uFFFF");
    awkward += QChar(0xD800);
    awkward += QChar('x');
    awkward += QChar(0xDC00);
    awkward += QChar(0xDBFF);
    QJsonArray expected{awkward, QString(), QStringLiteral("plain")};
    QByteArray written = "[";
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (i > 0)
            written += ',';
        appendJsonString(written, expected[i].toString());
    }
    for (const double number : {0.0, -0.0, 404.0, -2.5, 0.806, 18.7, 1e6, 136900.0, 123456789012.0, 1e15,
                                9007199254740992.0, 9007199254740994.0, 1e16, 1e21, 1e-7, 1e300, 5e-324,
                                std::numeric_limits<double>::infinity()}) {
        expected.append(number);
        written += ',';
        appendJsonNumber(written, number);
    }
    written += ']';
    EXPECT_EQ(written, QJsonDocument(expected).toJson(QJsonDocument::Compact));
}

// Figures with a fraction, as pages show them and beyond: every number is
// written as Qt's JSON writer writes it.
TEST(JsonText, NumbersWithAFractionEqualQtsCompactJson)
{
    std::mt19937_64 random(7);
    QJsonArray expected;
    QByteArray written = "[";
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + int(random() % 17);
        const double whole = double(random() % 9007199254740992ULL);
        double number = whole / std::pow(10.0, double(random() % (digits + 1)));
        if (i % 3 == 0)
            number = std::bit_cast<double>(random());  // any double at all
        if (i % 2 == 0)
            number = -number;
        if (!std::isfinite(number))
            continue;
        expected.append(number);
        if (written.size() > 1)
            written += ',';
        appendJsonNumber(written, number);
    }
    written += ']';
    EXPECT_EQ(written, QJsonDocument(expected).toJson(QJsonDocument::Compact));
}

}  // namespace
}  // namespace zd
