// The census export's total (--total) and its figures' reliability, run as a
// user runs them against the sample site's imitation of the API, and each file
// read back with Python's own readers.
#include "tests/support/clirun.h"
#include "tests/support/realreaders.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

// Reads a file of any format into {"header": [...], "rows": [[...]], "about": [[...]]}:
// the wide layout's cells as text, JSON Lines flattened the same way.
constexpr const char* kReadBack = R"(
import csv, json, sys
path = sys.argv[1]
out = {"about": []}
if path.endswith(".csv"):
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    out["header"], out["rows"] = rows[0], rows[1:]
elif path.endswith(".xlsx"):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheet = book["Demographics"]
    cells = [[c.value for c in row] for row in sheet.iter_rows()]
    out["header"] = cells[0]
    def text(c):
        if c.value is None:
            return ""
        if "%" in c.number_format:
            return "%.1f%%" % (c.value * 100)
        return str(c.value)
    out["rows"] = [[text(c) for c in row] for row in sheet.iter_rows(min_row=2)]
    out["shaded"] = [[c.coordinate for c in row if c.fill is not None and c.fill.fgColor is not None
                      and c.fill.fill_type == "solid"] for row in sheet.iter_rows(min_row=2)]
    out["about"] = [[("" if v is None else str(v)) for v in row] for row in book["About"].iter_rows(values_only=True)]
else:
    with open(path, encoding="utf-8") as f:
        out["records"] = [json.loads(line) for line in f]
print(json.dumps(out))
)";

// The figures of the total and of the ZCTAs: each variable in the given set,
// a count summed, its percent over its base, each with its margin.
constexpr const char* kVariables = "DP05_0001E\tcount\n"  // Total population
                                   "DP04_0045E\tcount\n"  // HOUSING TENURE!!Occupied housing units
                                   "DP04_0046E\tcount\n"  // its Owner-occupied
                                   "DP04_0046PE\tpercent\n"
                                   "DP05_0018E\tyears\n"  // Median age
                                   "DP03_0009PE\tpercent\n";  // Unemployment rate

double number(const QJsonValue& cell)
{
    // "19,756", "18.7%", "$95,825", "29.5 years"
    return cell.toString().remove(',').remove('%').remove('$').section(' ', 0, 0).toDouble();
}

class CensusTotal : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = pythonMissing({"openpyxl"});
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        QFile variables(path("variables.tsv"));
        ASSERT_TRUE(variables.open(QIODevice::WriteOnly));
        variables.write(kVariables);
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    ChildRun cli(const QStringList& arguments)
    {
        return runCli(arguments, {{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()},
                                   {"CENSUS_API_KEY", "test-key-1"}}});
    }

    ChildRun exportTotal(const QString& out, const QStringList& more = {})
    {
        return cli(QStringList{"export", "--source", "census", "--year", "2023", "--variables",
                               path("variables.tsv"), "--total"}
                   + more + QStringList{"03053", "01830", "03053", "99999", "03054", "1234", "-o", out});
    }

    QJsonObject readBack(const QString& file) { return runPythonForJson(kReadBack, {file}).object(); }

    QTemporaryDir m_folder;
    SiteProcess m_site;
};

// The wide layouts' rows by entry: 03053 (twice), 01830, then the total last.
void expectTotalOfWideRows(const QJsonObject& read, bool margins)
{
    const QJsonArray header = read["header"].toArray();
    const QJsonArray rows = read["rows"].toArray();
    ASSERT_EQ(rows.size(), 7);
    const QJsonArray total = rows[6].toArray();
    EXPECT_EQ(total[0], "total");
    EXPECT_EQ(total[2], "found");
    EXPECT_EQ(total[3], "total of 2 ZIP Code Tabulation Areas");
    auto column = [&](const QString& variable) {
        for (qsizetype i = 0; i < header.size(); ++i) {
            if (header[i].toString().endsWith("[" + variable + "]"))
                return i;
        }
        ADD_FAILURE() << "no column " << variable.toStdString();
        return qsizetype(0);
    };
    const QJsonArray a = rows[0].toArray();  // 03053
    const QJsonArray b = rows[1].toArray();  // 01830
    // Counts add up, each ZCTA once though 03053 is listed twice.
    const qsizetype people = column("DP05_0001E");
    EXPECT_EQ(number(total[people]), number(a[people]) + number(b[people]));
    // The percent anew from the summed count and base, not the mean of the two.
    const double count = number(a[column("DP04_0046E")]) + number(b[column("DP04_0046E")]);
    const double base = number(a[column("DP04_0045E")]) + number(b[column("DP04_0045E")]);
    const qsizetype owners = column("DP04_0046PE");
    EXPECT_NEAR(number(total[owners]), 100 * count / base, 0.05);
    // A percent: "46.7%" in the workbook, 46.7 under a column that says so in the CSV.
    const auto isPercent = [&](qsizetype at) {
        return total[at].toString().endsWith('%') || header[at].toString().contains("(percent) [");
    };
    EXPECT_TRUE(isPercent(owners));
    // Medians are left empty; the unemployment rate is worked out from its count and base.
    EXPECT_EQ(total[column("DP05_0018E")], "");
    const qsizetype unemployment = column("DP03_0009PE");
    EXPECT_TRUE(isPercent(unemployment) && !total[unemployment].toString().isEmpty());
    if (!margins)
        return;
    const qsizetype peopleMargin = column("DP05_0001M");
    const double squares = std::pow(number(a[peopleMargin]), 2) + std::pow(number(b[peopleMargin]), 2);
    EXPECT_NEAR(number(total[peopleMargin]), std::sqrt(squares), 0.5);
}

TEST_F(CensusTotal, EveryFormatEndsWithTheTotalOfTheFoundZctasEachCountedOnce)
{
    for (const QString& name : {"out.csv", "out.xlsx"}) {
        SCOPED_TRACE(name.toStdString());
        const ChildRun run = exportTotal(path(name), {"--moe"});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        expectTotalOfWideRows(readBack(path(name)), true);
    }
    const ChildRun plain = exportTotal(path("plain.csv"));
    EXPECT_EQ(plain.exitCode, 0) << plain.err.constData();
    expectTotalOfWideRows(readBack(path("plain.csv")), false);

    const ChildRun jsonl = exportTotal(path("out.jsonl"), {"--moe"});
    ASSERT_EQ(jsonl.exitCode, 0) << jsonl.err.constData();
    const QJsonArray records = readBack(path("out.jsonl"))["records"].toArray();
    ASSERT_EQ(records.size(), 7);
    const QJsonObject total = records[6].toObject();
    EXPECT_EQ(total["entry"], "total");
    const QJsonObject people = total["figures"].toArray()[0].toObject();
    EXPECT_EQ(people["variable"], "DP05_0001E");
    auto firstNumber = [&](qsizetype record) {
        return records[record].toObject()["figures"].toArray()[0].toObject()["number"].toDouble();
    };
    EXPECT_EQ(people["number"].toDouble(), firstNumber(0) + firstNumber(1));
    EXPECT_TRUE(people["moe"]["number"].isDouble());

    const ChildRun aligned = exportTotal(path("out.txt"));
    ASSERT_EQ(aligned.exitCode, 0) << aligned.err.constData();
    const QByteArray text = readWholeFile(path("out.txt"));
    const qsizetype at = text.indexOf("total of 2 ZIP Code Tabulation Areas");
    ASSERT_GE(at, 0);
    EXPECT_TRUE(text.mid(at).contains("Total population")) << text.constData();
}

// Over more ZCTAs than are asked for by name (every ZCTA in one answer), the
// counts and bases a percent's total needs are asked for in requests of their
// own: the total is the same as when the figures hold them and they come in
// the same answers. The sample site leaves some estimates out, and a total
// with one left out is empty: the ZCTAs added up are those with every figure,
// among some 1,200 ZIP codes without a ZCTA.
TEST(CensusTotalOfEveryZcta, ThePercentsCountsAndBasesAskedApartGiveTheSameTotal)
{
    const QString missing = pythonMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    QTemporaryDir folder;
    SiteProcess site({"--every-zip"});
    auto writeFile = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString together = writeFile("together.tsv", "DP05_0001E\tcount\nDP04_0045E\tcount\nDP04_0046E\tcount\n"
                                                       "DP04_0046PE\tpercent\n");
    const QString apart = writeFile("apart.tsv", "DP05_0001E\tcount\nDP04_0046PE\tpercent\n");
    // The total's cells by variable ("DP04_0046PE"), the fixed columns by name.
    auto exportWith = [&](const QString& variables, const QString& zips, bool total) {
        const QString out = folder.filePath(QFileInfo(variables).baseName() + ".csv");
        QStringList arguments{"export", "--source", "census", "--year", "2023", "--variables", variables, "--moe",
                              "--zips", zips, "-o", out};
        if (total)
            arguments.append("--total");
        const ChildRun run = runCli(arguments, {{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + site.host()},
                                                 {"CENSUS_API_KEY", "test-key-1"}}});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        return runPythonForJson(kReadBack, {out}).object();
    };
    auto cellsOf = [](const QJsonArray& header, const QJsonArray& row) {
        QHash<QString, QString> cells;
        for (qsizetype i = 0; i < header.size(); ++i) {
            const QString name = header[i].toString();
            const qsizetype bracket = name.lastIndexOf('[');
            cells.insert(bracket < 0 ? name : name.mid(bracket + 1).chopped(1), row[i].toString());
        }
        return cells;
    };

    QByteArray every;
    for (int zip = 3000; zip < 4800; ++zip)  // some 600 of them ZCTAs
        every += QByteArray::number(zip).rightJustified(5, '0') + '\n';
    const QJsonObject all = exportWith(together, writeFile("every.txt", every), false);
    QByteArray chosen;
    int whole = 0;
    for (const QJsonValue& row : all["rows"].toArray()) {
        const QHash<QString, QString> cells = cellsOf(all["header"].toArray(), row.toArray());
        const bool hasEvery = std::all_of(cells.keyBegin(), cells.keyEnd(), [&](const QString& key) {
            return !key.startsWith("DP") || !cells[key].isEmpty();
        });
        if (cells["status"] != "found" || hasEvery) {
            chosen += cells["entry"].toLatin1() + '\n';
            whole += cells["status"] == "found";
        }
    }
    ASSERT_GT(whole, 100);
    const QString zips = writeFile("chosen.txt", chosen);
    const QJsonObject withApart = exportWith(apart, zips, true);
    const QJsonObject withTogether = exportWith(together, zips, true);
    const auto a = cellsOf(withApart["header"].toArray(), withApart["rows"].toArray().last().toArray());
    const auto b = cellsOf(withTogether["header"].toArray(), withTogether["rows"].toArray().last().toArray());
    EXPECT_EQ(a["location"], QString("total of %1 ZIP Code Tabulation Areas").arg(whole));
    EXPECT_EQ(a["location"], b["location"]);
    for (const QString& variable : {"DP05_0001E", "DP05_0001M", "DP04_0046PE", "DP04_0046PM"}) {
        SCOPED_TRACE(variable.toStdString());
        EXPECT_FALSE(a[variable].isEmpty());
        EXPECT_EQ(a[variable], b[variable]);
    }
    EXPECT_GT(a["DP04_0046PE"].toDouble(), 0);  // a plain number in the CSV
}

// The CV and word beside each margin, worked out here from the written value
// and margin: CV = MOE / 1.645 / estimate, high under 12%, low over 40%.
TEST_F(CensusTotal, MoeAddsEachFiguresCvAndReliabilityWordBesideItsMargin)
{
    const ChildRun run = exportTotal(path("moe.csv"), {"--moe"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject read = readBack(path("moe.csv"));
    const QJsonArray header = read["header"].toArray();
    qsizetype checked = 0;
    for (const QJsonValue rowValue : read["rows"].toArray()) {
        const QJsonArray row = rowValue.toArray();
        if (row[2] != "found")
            continue;
        for (qsizetype i = 0; i + 3 < header.size(); ++i) {
            const QString name = header[i + 1].toString();
            if (!name.contains("(margin of error)"))
                continue;
            const QString label = name.left(name.indexOf(" (margin of error)"));  // the CSV's plain numbers after it
            ASSERT_EQ(header[i + 2], label + " (coefficient of variation) (percent)");
            ASSERT_EQ(header[i + 3], label + " (reliability)");
            const QString value = row[i].toString();
            const QString margin = row[i + 1].toString();
            if (value.isEmpty() || margin.isEmpty() || number(row[i]) == 0) {
                EXPECT_EQ(row[i + 2].toString(), "") << label.toStdString() << row[i].toString().toStdString();  // a zero estimate has no CV, no word
                EXPECT_EQ(row[i + 3].toString(), "") << label.toStdString();
                continue;
            }
            const double cv = 100 * number(row[i + 1]) / 1.645 / number(row[i]);
            EXPECT_EQ(row[i + 2].toString(), QString::number(cv, 'f', 1)) << label.toStdString();
            EXPECT_EQ(row[i + 3], cv < 12 ? "high" : cv > 40 ? "low" : "medium") << label.toStdString();
            ++checked;
        }
    }
    EXPECT_GE(checked, 3 * 4);  // 03053 twice, 01830 and the total, each with its counts and percent

    ASSERT_EQ(exportTotal(path("moe.txt"), {"--moe"}).exitCode, 0);
    EXPECT_TRUE(readWholeFile(path("moe.txt")).startsWith("Demographics")) ;
    EXPECT_TRUE(readWholeFile(path("moe.txt")).split('\n').first().contains("Margin of error\t CV  \t Reliability"));
}

TEST_F(CensusTotal, WhyFiguresHaveNoTotalIsSaidOnceInEachFormatsPlace)
{
    const ChildRun csv = exportTotal(path("out.csv"));
    ASSERT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.err.count("total: no total for"), 1) << csv.err.constData();
    EXPECT_TRUE(csv.err.contains("SEX AND AGE: Median age (years) (medians cannot be added)")) << csv.err.constData();
    // The CSV file keeps it in a note column, on the total's row only.
    const QJsonObject read = readBack(path("out.csv"));
    EXPECT_EQ(read["header"].toArray().last(), "note");
    const QJsonArray rows = read["rows"].toArray();
    for (qsizetype i = 0; i + 1 < rows.size(); ++i)
        EXPECT_EQ(rows[i].toArray().last(), "");
    EXPECT_TRUE(rows.last().toArray().last().toString().startsWith("no total for SEX AND AGE: Median age"));

    ASSERT_EQ(exportTotal(path("out.jsonl")).exitCode, 0);
    const QJsonArray records = readBack(path("out.jsonl"))["records"].toArray();
    ASSERT_FALSE(records.isEmpty());
    for (qsizetype i = 0; i + 1 < records.size(); ++i)
        EXPECT_FALSE(records[i].toObject().contains("note"));
    EXPECT_TRUE(records.last()["note"].toString().contains("medians cannot be added"));

    ASSERT_EQ(exportTotal(path("out.xlsx")).exitCode, 0);
    const QJsonArray about = readBack(path("out.xlsx"))["about"].toArray();
    qsizetype notes = 0;
    for (const QJsonValue row : about) {
        if (row[0] == "Note") {
            ++notes;
            EXPECT_TRUE(row[1].toString().startsWith("Total: no total for")) << row[1].toString().toStdString();
        }
    }
    EXPECT_EQ(notes, 1);
}

TEST_F(CensusTotal, ATotalWithoutCensusExportOrFoundZctasIsAClearErrorOrAnEmptyTotal)
{
    const ChildRun site = cli({"export", "--total", "03053", "-o", path("site.csv")});
    EXPECT_EQ(site.exitCode, 2);
    EXPECT_TRUE(site.err.contains("--total goes with the census source")) << site.err.constData();
    const ChildRun lookup = cli({"lookup", "--source", "census", "--total", "03053"});
    EXPECT_EQ(lookup.exitCode, 2);
    EXPECT_TRUE(lookup.err.contains("--total belongs to export")) << lookup.err.constData();
    const ChildRun show = cli({"show", "--source", "census", "--total", "03053"});
    EXPECT_EQ(show.exitCode, 2);
    EXPECT_TRUE(show.err.contains("show takes only")) << show.err.constData();
    EXPECT_FALSE(QFile::exists(path("site.csv")));
    // Nothing found: the total adds nothing up and says so, it does not make figures up.
    const ChildRun none = cli({"export", "--source", "census", "--year", "2023", "--variables",
                               path("variables.tsv"), "--total", "99999", "-o", path("none.csv")});
    EXPECT_EQ(none.exitCode, 0) << none.err.constData();
    const QJsonArray rows = readBack(path("none.csv"))["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][2], "not found");
    EXPECT_EQ(rows[1][3], "total of 0 ZIP Code Tabulation Areas");
    EXPECT_EQ(rows[1][6], "");  // no total population of nothing (after the vintage and source)

    // Entries whose figures could not be had are not silently left out of the total.
    const ChildRun failed = cli({"export", "--source", "census", "--year", "2023", "--total", "--retries", "0",
                                 "03053", "00503", "-o", path("failed.csv")});
    EXPECT_EQ(failed.exitCode, 1) << failed.err.constData();
    EXPECT_TRUE(failed.err.contains("total: the total lacks 2 ZIP codes whose figures could not be had"))
        << failed.err.constData();
    // Written with --partial, a total of failed entries only is no found total.
    const ChildRun partial = cli({"export", "--source", "census", "--year", "2023", "--total", "--retries", "0",
                                  "--partial", "03053", "00503", "-o", path("partial.csv")});
    EXPECT_EQ(partial.exitCode, 1) << partial.err.constData();
    const QJsonArray partialRows = readBack(path("partial.csv"))["rows"].toArray();
    ASSERT_EQ(partialRows.size(), 3);
    EXPECT_EQ(partialRows[2][0], "total");
    EXPECT_EQ(partialRows[2][2], "failed");
}

// Percents nested below their block's universe row, with the real variable
// lists of two years: the total is the summed count over the summed universe
// (Employed of the population of 16 and over, private health insurance of the
// civilian noninstitutionalized population), the unemployment rate the summed
// unemployed over the summed civilian labor force; each percent says what it
// is of, and every JSON Lines figure its unit and universe.
TEST_F(CensusTotal, NestedPercentsAreTotalledOverTheirUniverseInEachYear)
{
    QFile variables(path("nested.tsv"));
    ASSERT_TRUE(variables.open(QIODevice::WriteOnly));
    variables.write("DP03_0001E\nDP03_0004E\nDP03_0004PE\nDP03_0095E\nDP03_0097E\nDP03_0097PE\n"
                    "DP03_0005E\nDP03_0008E\nDP03_0009PE\n");
    variables.close();
    struct Percent {
        const char* id;
        const char* count;
        const char* base;
        const char* universe;
    };
    const QList<Percent> percents = {
        {"DP03_0004PE", "DP03_0004E", "DP03_0001E", "Population 16 years and over"},
        {"DP03_0097PE", "DP03_0097E", "DP03_0095E", "Civilian noninstitutionalized population"},
        {"DP03_0009PE", "DP03_0005E", "DP03_0008E", "Civilian labor force"},
    };
    for (const char* year : {"2019", "2023"}) {
        SCOPED_TRACE(year);
        const QString out = path(QStringLiteral("nested-%1.jsonl").arg(year));
        const ChildRun run = cli({"export", "--source", "census", "--year", year, "--variables", path("nested.tsv"),
                                  "--total", "--moe", "03053", "01830", "-o", out});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QJsonArray records = readBack(out)["records"].toArray();
        ASSERT_EQ(records.size(), 3);
        auto figure = [&](qsizetype record, const QString& id) {
            for (const QJsonValue f : records[record]["figures"].toArray()) {
                if (f["variable"] == id)
                    return f.toObject();
            }
            ADD_FAILURE() << "no " << id.toStdString();
            return QJsonObject();
        };
        auto summed = [&](const char* id) { return figure(0, id)["number"].toDouble() + figure(1, id)["number"].toDouble(); };
        EXPECT_EQ(figure(2, "DP03_0001E")["unit"], "count");
        for (const Percent& percent : percents) {
            SCOPED_TRACE(percent.id);
            const QJsonObject total = figure(2, percent.id);
            EXPECT_NEAR(total["number"].toDouble(), 100 * summed(percent.count) / summed(percent.base), 0.05);
            EXPECT_TRUE(total["moe"]["number"].isDouble());
            EXPECT_EQ(total["unit"], "percent");
            EXPECT_EQ(total["universe"], percent.universe);
            EXPECT_TRUE(total["label"].toString().endsWith(": percent of " + QString(percent.universe).toLower()))
                << total["label"].toString().toStdString();
        }
    }
}

}  // namespace
}  // namespace zd::test
