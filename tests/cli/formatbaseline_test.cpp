// The files of one export of the sample site's list, in every format, equal to
// the bytes kept in data/formats/ (written by make-expected.sh there). Pages
// arrive in any order and results go out as they come; the bytes stay the same.
// Their census counterparts: every format names the vintage and the source, and
// each figure's variable, the same in every format.
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

const QString kFormats = QStringLiteral(ZD_CLI_TEST_DATA "/formats/");

class FormatBaseline : public ::testing::TestWithParam<const char*> {
protected:
    ChildRun exportTo(const QString& name, const QStringList& extra = {})
    {
        return runCli(QStringList{"export", "--site", m_site.host(), "--rate", "0", "--jobs",
                                                       GetParam(), "--retries", "0", "--quiet", "--zips",
                                                       kFormats + "samples.txt", "-o", m_folder.filePath(name)}
                                               + extra);
    }

    SiteProcess m_site{{"--every-zip"}};
    QTemporaryDir m_folder;
};

TEST_P(FormatBaseline, EveryFormatGivesTheKeptBytes)
{
    const ChildRun aligned = exportTo("r.txt");
    EXPECT_EQ(aligned.exitCode, 1);
    EXPECT_EQ(aligned.err, readWholeFile(kFormats + "expected.err"));
    EXPECT_EQ(readWholeFile(m_folder.filePath("r.txt")), readWholeFile(kFormats + "expected.txt"));
    const QList<std::pair<QString, QStringList>> tables = {
        {"expected.csv", {}}, {"expected-long.csv", {"--csv-long"}}, {"expected.jsonl", {}}};
    for (const auto& [name, extra] : tables) {
        SCOPED_TRACE(name.toStdString());
        const QString out = name.endsWith(".csv") ? "r.csv" : "r.jsonl";
        EXPECT_EQ(exportTo(out, extra).err, aligned.err);
        EXPECT_EQ(readWholeFile(m_folder.filePath(out)), readWholeFile(kFormats + name));
    }
    if (const QString missing = pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    EXPECT_EQ(exportTo("r.xlsx").err, aligned.err);
    // The workbook holds the time of the run; its sheet of results does not.
    const char* const readSheet = R"(
import json, sys, zipfile
print(json.dumps([zipfile.ZipFile(sys.argv[1]).read('xl/worksheets/sheet1.xml').decode('utf-8')]))
)";
    const QJsonArray sheet = runPythonForJson(readSheet, {m_folder.filePath("r.xlsx")}).array();
    EXPECT_EQ(sheet[0].toString().toUtf8(), readWholeFile(kFormats + "expected-sheet1.xml"));
}

INSTANTIATE_TEST_SUITE_P(Jobs, FormatBaseline, ::testing::Values("1", "16"));

class CensusFormats : public ::testing::Test {
protected:
    ChildRun census(const QStringList& arguments)
    {
        // The exports share one cache: the API is asked once for all of them.
        const QStringList cache = arguments.first() == "export" ? QStringList{"--cache", path("cache")} : QStringList{};
        return runCli(QStringList{arguments.first(), "--source", "census", "--year", "2023", "--moe"} + cache
                          + arguments.mid(1),
                      {{{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()}, {"CENSUS_API_KEY", "test-key-1"}}});
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    SiteProcess m_site;
    QTemporaryDir m_folder;
};

const QString kVintage = QStringLiteral("2019-2023 ACS 5-year");

// Every file as its reader gives it: each entry's figures by the name of their
// wide column ("LABEL [ID]"), from the wide CSV, the long CSV (label and
// variable), JSON Lines (label and variable, and the margin's) and the workbook.
// The CSV's figures are plain numbers under names with their unit, JSON Lines'
// as shown: both are read as numbers, and the names without the unit.
const char* const kReadEveryFormat = R"(
import csv, json, re, sys, openpyxl
folder = sys.argv[1]
def bare(name):
    return re.sub(r' \((?:dollars|percent|years|minutes)\)(?= \[| \(|$)', '', name)
def plain(text):
    try:
        return float(re.sub(r'[$,%]| years$| minutes$', '', text))
    except ValueError:
        return text
def rows(name):
    with open(folder + '/' + name, newline='', encoding='utf-8') as f:
        return list(csv.reader(f))
wide = rows('r.csv')
long = rows('r-long.csv')
lines = [json.loads(line) for line in open(folder + '/r.jsonl', encoding='utf-8')]
book = openpyxl.load_workbook(folder + '/r.xlsx')
sheet = [[c.value for c in row] for row in book['Demographics'].iter_rows()]
figures = {'wide': {}, 'long': {}, 'jsonl': {}, 'xlsx': {}}
for row in wide[1:]:
    figures['wide'][row[0]] = {bare(name): plain(value) for name, value in zip(wide[0][6:], row[6:]) if value}
for row in long[1:]:
    record = dict(zip(long[0], row))
    if record['label'] and record['value']:
        name = '%s [%s]' % (record['label'], record['variable']) if record['variable'] else record['label']
        figures['long'].setdefault(record['entry'], {})[bare(name)] = plain(record['value'])
for line in lines:
    mine = figures['jsonl'].setdefault(line['entry'], {})
    for figure in line['figures']:
        mine['%s [%s]' % (figure['label'], figure['variable'])] = figure['value']
        margin = figure['moe']
        mine['%s (margin of error) [%s]' % (figure['label'], margin['variable'])] = margin['value']
        mine['%s (coefficient of variation)' % figure['label']] = margin.get('cv', '')
        mine['%s (reliability)' % figure['label']] = margin.get('reliability', '')
    figures['jsonl'][line['entry']] = {k: plain(v) for k, v in mine.items() if v}
print(json.dumps({
    'figures': figures,
    'sheet': sheet,
    'about': {row[0].value: row[1].value for row in book['About'].iter_rows()},
    'wideHeader': [bare(name) for name in wide[0]],
    'vintages': sorted({row[4] for row in wide[1:]} | {r[3] for r in long[1:]} | {l['vintage'] for l in lines}),
    'sources': sorted({row[5] for row in wide[1:]} | {r[4] for r in long[1:]} | {l['source'] for l in lines}),
}))
)";

TEST_F(CensusFormats, EveryFormatNamesTheVintageAndEachFiguresVariableAlike)
{
    if (const QString missing = pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const QStringList entries = {"03053", "01830", "99999"};
    for (const auto& [name, extra] : QList<std::pair<QString, QStringList>>{
             {"r.csv", {}}, {"r-long.csv", {"--csv-long"}}, {"r.jsonl", {}}, {"r.xlsx", {}}, {"r.txt", {}}}) {
        const ChildRun run = census(QStringList{"export", "--quiet", "-o", path(name)} + extra + entries);
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << run.err.constData();
    }
    const QJsonObject read = runPythonForJson(kReadEveryFormat, {m_folder.path()}).object();
    EXPECT_EQ(read["vintages"], QJsonArray{kVintage});
    ASSERT_EQ(read["sources"].toArray().size(), 1);
    const QString source = read["sources"][0].toString();
    EXPECT_TRUE(source.startsWith("U.S. Census Bureau, American Community Survey")) << source.toStdString();

    const QJsonObject figures = read["figures"].toObject();
    const QJsonObject wide = figures["wide"].toObject();
    ASSERT_EQ(wide.keys(), (QStringList{"01830", "03053", "99999"}));
    EXPECT_GT(wide["03053"].toObject().size(), 60);  // the figures and their margins, the no-estimates left out
    EXPECT_TRUE(wide["03053"].toObject().contains("Total population [DP05_0001E]"));
    EXPECT_TRUE(wide["03053"].toObject().contains("Total population (margin of error) [DP05_0001M]"));
    EXPECT_TRUE(wide["99999"].toObject().isEmpty());
    for (const char* format : {"long", "jsonl"}) {
        SCOPED_TRACE(format);
        QJsonObject expected = wide;
        expected.remove("99999");  // no figures: no figure rows, an empty array
        QJsonObject other = figures[format].toObject();
        other.remove("99999");
        EXPECT_EQ(other, expected);
    }

    // The workbook: the wide CSV's figure columns under the same names; the
    // vintage and the source on its About sheet.
    const QJsonArray sheet = read["sheet"].toArray();
    QJsonArray csvHeader = read["wideHeader"].toArray();
    csvHeader.removeAt(4);  // vintage
    csvHeader.removeAt(4);  // source
    EXPECT_EQ(sheet[0], csvHeader);
    EXPECT_EQ(read["about"]["Vintage"], kVintage);
    EXPECT_EQ(read["about"]["Source"], source);

    const QList<QByteArray> aligned = readWholeFile(path("r.txt")).split('\n');
    ASSERT_GE(aligned.size(), 2);
    EXPECT_EQ(aligned[aligned.size() - 2], ("Figures: " + kVintage + ", " + source + "\r").toLatin1());

    // show prints in csv and jsonl what export writes: the same names.
    const ChildRun shown = census({"show", "--format", "jsonl", "03053"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.constData();
    EXPECT_TRUE(shown.out.contains("\"vintage\":\"" + kVintage.toUtf8() + "\"")) << shown.out.constData();
    EXPECT_TRUE(shown.out.contains("\"variable\":\"DP05_0001E\"")) << shown.out.constData();
}

}  // namespace
}  // namespace zd::test
