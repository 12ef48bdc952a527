// The save command on the census source: every listed location in the fewest
// requests, the command line's file in each format, and a request the API
// refuses that writes nothing.
#include "tests/window/censuswindowtest.h"

#include "tests/support/clirun.h"
#include "tests/support/realreaders.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

namespace zd::test {
namespace {

constexpr char kEntries[] = "03053\r\n01830\r\n02134\r\n90210\r\n\r\nabcd\r\n03053\r\n";

class CensusSave : public CensusWindowTest {
protected:
    explicit CensusSave(const QStringList& siteArguments = {}) : CensusWindowTest(siteArguments) {}

    // The window on the census source with the entries loaded from a file.
    void openWithEntries(CensusSettings settings = {})
    {
        openCensusWindow(std::move(settings));
        m_dialogs.queueOpen(entriesFile());
        click(3);
        m_dialogs.clearRecords();
    }
    QString entriesFile() { return writeFile(QStringLiteral("zips.txt"), kEntries); }
    QString target(const QString& name) const { return m_folder.filePath(name); }

    QByteArray cliExport(const QString& format)
    {
        const QString out = target("cli." + format);
        const ChildRun run = runCli({"export", "--source", "census", "--format", format, "--zips", entriesFile(),
                                     "-o", out},
                                    {{{"ZIPDEMOGRAPHICS_CENSUS_URL", apiAddress()}, {"CENSUS_API_KEY", "test-key-1"}}});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        return readWholeFile(out);
    }
};

class CensusSaveEveryZip : public CensusSave {
protected:
    CensusSaveEveryZip() : CensusSave({"--every-zip"}) {}
};

class CensusSaveRefusingAKey : public CensusSave {
protected:
    CensusSaveRefusingAKey() : CensusSave({"--refuse-key", "refused-key-0042"}) {}
};

TEST_F(CensusSave, EachFormatIsOneRequestForTheFiguresAndTheCommandLinesFile)
{
    const QByteArray aligned = cliExport(QStringLiteral("aligned"));
    const QByteArray csv = cliExport(QStringLiteral("csv"));
    const struct {
        int filter;
        const char* name;
    } saves[] = {{1, "all.txt"}, {3, "all.csv"}, {4, "all.xlsx"}};
    for (const auto& [filter, name] : saves) {
        SCOPED_TRACE(name);
        openWithEntries();
        state().locationList().selectPosition(2);
        window().ListView2_Click();
        const auto shown = demographicsRows();
        const qsizetype before = requests().size();
        m_dialogs.queueSave(target(QLatin1String(name)), filter);
        click(2);
        EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
        // 01830 was fetched by the click; the rest of the list in one request.
        const QByteArrayList made = requests().mid(before);
        ASSERT_EQ(made.size(), 1);
        EXPECT_TRUE(made[0].contains("area:03053,02134,90210")) << made[0].constData();
        EXPECT_EQ(demographicsRows(), shown);
        EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
        showLocation(3);
        EXPECT_EQ(requests().size(), before + 1);  // the save's figures are remembered
    }
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.txt"))), aligned);
    EXPECT_EQ(readWholeFile(target(QStringLiteral("all.csv"))), csv);
    EXPECT_TRUE(csv.contains("\"Londonderry, NH\"")) << csv.constData();

    if (const QString missing = pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    const char* const readBook = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
rows = [[c.value for c in row] for row in book['Demographics'].iter_rows()]
about = ' '.join(str(c.value) for row in book['About'].iter_rows() for c in row)
print(json.dumps({'rows': rows, 'about': about}))
)";
    const QJsonObject book = runPythonForJson(readBook, {target(QStringLiteral("all.xlsx"))}).object();
    const QJsonArray rows = book["rows"].toArray();
    ASSERT_EQ(rows.size(), 8);
    EXPECT_EQ(rows[1].toArray()[3], "Londonderry, NH");
    EXPECT_EQ(rows[4].toArray()[2], "not found");
    const QString about = book["about"].toString();
    EXPECT_TRUE(about.contains("ACS 5-year data profile 2023")) << about.toStdString();
    EXPECT_TRUE(about.contains("not endorsed or certified by the Census Bureau"));
}

TEST_F(CensusSaveEveryZip, FiveHundredZctasAreOneRequest)
{
    QByteArray zips;
    for (int zip = 10000; zip < 10500; ++zip)
        zips += QByteArray::number(zip) + "\r\n";
    openCensusWindow();
    m_dialogs.queueOpen(writeFile(QStringLiteral("many.txt"), zips));
    click(3);
    EXPECT_EQ(requests(), QByteArrayList());
    m_dialogs.queueSave(target(QStringLiteral("many.csv")), 3);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(dataRequests(), 1);
    const QByteArray written = readWholeFile(target(QStringLiteral("many.csv")));
    EXPECT_EQ(written.count('\n'), 501);
    EXPECT_TRUE(written.contains(",found,")) << written.left(400).constData();
}

TEST_F(CensusSave, AFailedRequestNamesItsEntriesKeepsAnExistingFileAndIsAskedAgain)
{
    // The API's general error answers the first two tries of a request naming 00503.
    const QString list = writeFile(QStringLiteral("failing.txt"), "03053\r\n00503\r\n");
    const QString kept = writeFile(QStringLiteral("kept.csv"), "as it was\n");
    openCensusWindow({}, 1);
    m_dialogs.queueOpen(list);
    click(3);
    m_dialogs.queueSave(kept, 3);
    click(2);
    EXPECT_EQ(readWholeFile(kept), QByteArray("as it was\n"));
    ASSERT_EQ(messageTexts().size(), 1);
    EXPECT_TRUE(messageTexts()[0].contains("2 entries could not be fetched: \"03053\", \"00503\"."))
        << messageTexts()[0].toStdString();
    EXPECT_TRUE(messageTexts()[0].contains("was left as it was"));

    // Nothing of the failure is kept: a click asks for 03053 again, and is answered.
    m_dialogs.clearRecords();
    showLocation(1);
    EXPECT_EQ(demographicsRows().value(0).first, QStringLiteral("Londonderry, NH"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(dataRequests(), 3);
}

TEST_F(CensusSave, AClickWhoseRequestFailsSaysWhyAndShowsNothing)
{
    openCensusWindow({}, 1);
    m_dialogs.queueInput(QStringLiteral("00503"));
    click(6);
    showLocation(1);
    EXPECT_TRUE(demographicsRows().isEmpty());
    ASSERT_EQ(messageTexts().size(), 1);
    EXPECT_TRUE(messageTexts()[0].startsWith("The Census Bureau's figures of \"00503\" could not be fetched: "))
        << messageTexts()[0].toStdString();
}

TEST_F(CensusSaveRefusingAKey, ARefusedRequestKeepsTheTargetWritesNothingAndSaysWhy)
{
    CensusSettings refused;
    refused.key = QStringLiteral("refused-key-0042");
    CensusSettings nowhere;
    nowhere.baseUrl = QStringLiteral("http://127.0.0.1:1");
    for (const CensusSettings& settings : {refused, nowhere}) {
        for (const auto& [filter, name] :
             {std::pair{1, "kept.txt"}, std::pair{3, "kept.csv"}, std::pair{4, "kept.xlsx"}}) {
            SCOPED_TRACE(name);
            const QString kept = writeFile(QLatin1String(name), "as it was\n");
            openWithEntries(settings);
            m_dialogs.queueSave(kept, filter);
            click(2);
            m_dialogs.queueSave(target(QStringLiteral("new-") + QLatin1String(name)), filter);
            click(2);
            EXPECT_EQ(readWholeFile(kept), QByteArray("as it was\n"));
            EXPECT_FALSE(QFile::exists(target(QStringLiteral("new-") + QLatin1String(name))));
            const QStringList said = messageTexts();
            ASSERT_EQ(said.size(), 2);
            for (const QString& text : said) {
                EXPECT_TRUE(text.startsWith("The Census Bureau's figures could not be fetched: "))
                    << text.toStdString();
                EXPECT_FALSE(text.contains("refused-key-0042"));
            }
            EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
        }
    }
    EXPECT_FALSE(readWholeFile(m_log).contains("refused-key-0042"));
}

}  // namespace
}  // namespace zd::test
