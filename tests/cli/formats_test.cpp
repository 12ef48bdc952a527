// export and show in the table formats against the sample site, read back by the
// programs people read them with.
#include "tests/support/clirun.h"
#include "tests/support/realreaders.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

const QStringList kFaultZips = {"00404", "00204", "00001", "00002", "00003", "00301",
                                "00310", "00128", "00500", "00501"};

// Reads the CSV, the JSON Lines and the workbook of one export and gives, per
// entry, what each holds: [entry, zip, status, location, {label: value}] from the
// CSV, the same from the JSON Lines with the numbers beside, and the workbook's
// cells as stored.
const char* const kReadAllThree = R"(
import csv, json, sys, openpyxl
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
labels = rows[0][4:]
def wide(row):
    return [row[0], row[1], row[2], row[3], {l: v for l, v in zip(labels, row[4:]) if v != ''}]
with open(sys.argv[2], encoding='utf-8') as f:
    objects = [json.loads(line) for line in f]
sheet = openpyxl.load_workbook(open(sys.argv[3], 'rb'))['Demographics']  # any file name
print(json.dumps({
    'csv': [wide(row) for row in rows[1:]],
    'jsonl': [[o['entry'], o['zip'], o['status'], o['location'] or '',
               {g['label']: g['value'] for g in o['figures']},
               {g['label']: g['number'] for g in o['figures']}] for o in objects],
    'header': [c.value for c in next(sheet.iter_rows())],
    'xlsx': [[c.value for c in row] for row in sheet.iter_rows(min_row=2)],
}, ensure_ascii=False))
)";

class TableExports : public ::testing::Test {
protected:
    // No pacing and no retries: the faults show at once, as the site makes them.
    QStringList exportArguments(const QString& name, const QStringList& extra = {}) const
    {
        return QStringList{"export", "--site", m_site.host(), "--rate", "0", "--retries", "0"} + kFaultZips
               + QStringList{"-o", m_folder.filePath(name)} + extra;
    }

    SiteProcess m_site;
    QTemporaryDir m_folder;
};

TEST_F(TableExports, EveryFormatHoldsTheSameTableAndNamesTheSameFailures)
{
    if (const QString missing = pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    // The format by the extension, and by --format whatever the extension; the
    // runs are independent, so they run at once (the site's slow drip takes seconds).
    const QList<ChildRun> runs =
        runCliAtOnce({exportArguments("faults.txt"), exportArguments("faults.csv"), exportArguments("faults.jsonl"),
                      exportArguments("faults.data", {"--format", "xlsx"})});
    const ChildRun& aligned = runs.first();
    for (const ChildRun& run : runs.mid(1)) {
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, aligned.err);
    }
    const QJsonObject read = runPythonForJson(kReadAllThree, {m_folder.filePath("faults.csv"),
                                                              m_folder.filePath("faults.jsonl"),
                                                              m_folder.filePath("faults.data")})
                                 .object();
    const QJsonArray csv = read["csv"].toArray();
    const QJsonArray jsonl = read["jsonl"].toArray();
    const QJsonArray xlsx = read["xlsx"].toArray();
    ASSERT_EQ(csv.size(), kFaultZips.size());
    ASSERT_EQ(jsonl.size(), kFaultZips.size());
    ASSERT_EQ(xlsx.size(), kFaultZips.size());
    QStringList statuses;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        SCOPED_TRACE(kFaultZips[i].toStdString());
        const QJsonArray fromCsv = csv[i].toArray();
        const QJsonArray fromJson = jsonl[i].toArray();
        const QJsonArray fromBook = xlsx[i].toArray();
        statuses.append(fromCsv[2].toString());
        EXPECT_EQ(fromCsv, QJsonArray({fromJson[0], fromJson[1], fromJson[2], fromJson[3], fromJson[4]}));
        EXPECT_EQ(fromBook[0], kFaultZips[i]);  // text, leading zeros and all
        EXPECT_EQ(fromBook[1], kFaultZips[i]);
        EXPECT_EQ(fromBook[2], fromCsv[2]);
        // Each workbook cell holds the JSON number (a percentage as a fraction) or the text.
        const QJsonObject values = fromJson[4].toObject();
        const QJsonObject numbers = fromJson[5].toObject();
        for (qsizetype column = 4; column < fromBook.size(); ++column) {
            const QString label = read["header"].toArray()[column].toString();
            const QJsonValue cell = fromBook[column];
            if (!values.contains(label))
                EXPECT_TRUE(cell.isNull()) << label.toStdString();
            else if (numbers[label].isNull())
                EXPECT_EQ(cell, values[label]) << label.toStdString();
            else if (values[label].toString().endsWith('%'))
                EXPECT_NEAR(cell.toDouble(), numbers[label].toDouble() / 100, 1e-12) << label.toStdString();
            else
                EXPECT_EQ(cell.toDouble(), numbers[label].toDouble()) << label.toStdString();
        }
    }
    EXPECT_EQ(statuses, QStringList({"http 404", "not found", "found", "failed", "found", "found", "failed",
                                     "found", "incomplete", "incomplete"}));
    // The Windows-1252 page's name and figures, decoded once and kept in UTF-8.
    EXPECT_EQ(csv[7].toArray()[3], QString::fromUtf8("Ch\u00e2teau-\u00d1orrel \u2013 \u00d8sterb\u00fc"));
    EXPECT_EQ(jsonl[7].toArray()[4].toObject()["Average rent in \u20ac"], "\u20ac 1.050");
    EXPECT_TRUE(jsonl[7].toArray()[5].toObject()["Average rent in \u20ac"].isNull());
    EXPECT_EQ(jsonl[0].toArray()[5].toObject()["Status"], 404);
}

// Pages that arrive in another order still give the table in input order, with
// the figure columns in the order first seen in it.
TEST_F(TableExports, OneTransferAtATimeAndEightAtOnceGiveTheSameTable)
{
    QStringList entries = kFaultZips;
    for (int i = 0; i < 10; ++i)
        entries.append(QString::number(10001 + 977 * i));
    entries += {"03053", "", " 01830 ", "123"};
    QList<QStringList> exports;
    for (const char* jobs : {"1", "8"}) {
        exports.append(QStringList{"export", "--site", m_site.host(), "--jobs", jobs, "--rate", "0", "--retries", "0",
                                   "--partial", "-o", m_folder.filePath(QStringLiteral("jobs%1.csv").arg(jobs)), "--"}
                       + entries);
    }
    // The two runs are independent, so they run at once.
    QList<QByteArray> files;
    const QList<ChildRun> runs = runCliAtOnce(exports);
    for (qsizetype i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].exitCode, 1) << runs[i].err.toStdString();
        files.append(readWholeFile(exports[i][exports[i].indexOf("-o") + 1]));
    }
    EXPECT_EQ(files[0].count('\n'), 1 + entries.size());
    EXPECT_EQ(files[0], files[1]);
}

TEST_F(TableExports, LongCsvHasOneRowPerFigureOfTheSamples)
{
    if (const QString missing = pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const QString out = m_folder.filePath("long.csv");
    const ChildRun run = runCli({"export", "--site", m_site.host(), "--rate", "0", "--retries", "0", "03053", "01830",
                                 "--csv-long", "-o", out});
    EXPECT_EQ(run.exitCode, 0);
    const char* const readCsv = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps(list(csv.reader(f))))
)";
    const QJsonArray rows = runPythonForJson(readCsv, {out}).array();
    ASSERT_EQ(rows.size(), 1 + 2 * 28);
    EXPECT_EQ(rows[0], QJsonArray({"entry", "zip", "location", "label", "value"}));
    EXPECT_EQ(rows[1], QJsonArray({"03053", "03053", "Harrowmere Falls, NH", "Total population", "19,756"}));
    EXPECT_EQ(rows[56].toArray()[3], "household income $200,000 or more");
}

TEST_F(TableExports, ShowPrintsOneEntryAsAJsonLineOrCsvAndNamesABreak)
{
    const ChildRun json = runCli({"show", "--site", m_site.host(), "--format", "jsonl", "00128"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_TRUE(json.out.endsWith("}\n"));
    EXPECT_EQ(json.out.count('\n'), 1);
    const QJsonObject entry = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(entry["location"], QString::fromUtf8("Ch\u00e2teau-\u00d1orrel \u2013 \u00d8sterb\u00fc"));
    EXPECT_EQ(entry["figures"].toArray()[0].toObject()["value"], QString::fromUtf8("41\u00bd years"));

    const ChildRun csv = runCli({"show", "--site", m_site.host(), "00500", "--format=csv"});
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_TRUE(csv.out.startsWith("entry,zip,status,location,Total population,"));
    EXPECT_TRUE(csv.out.contains("\r\n00500,00500,incomplete,Broken Figures Test Page,"));
    const ChildRun aligned = runCli({"show", "--site", m_site.host(), "00500"});
    EXPECT_EQ(csv.err, aligned.err);
    EXPECT_TRUE(csv.err.contains("breaks off in the figures"));
}

}  // namespace
}  // namespace zd::test
