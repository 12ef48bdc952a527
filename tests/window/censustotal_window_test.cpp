// The locations list's "Show the total of the listed places": the real window
// offscreen on the census source against the sample site, its total compared
// with the command line's export of the same list.
#include "commands/totalcommand.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"
#include "tests/window/censuswindowtest.h"
#include "window/reportview.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zd::test {
namespace {

using CensusTotalWindow = CensusWindowTest;
using SiteTotalWindow = WindowTest;

QAction* totalAction(Form1& form)
{
    for (QAction* action : form.listView(2)->actions()) {
        if (action->text() == QLatin1String(showTotalMenuText()))
            return action;
    }
    return nullptr;
}

TEST_F(CensusTotalWindow, TheTotalFillsTheDemographicsWithMarginsAsTheCommandLinesExportAddsItUp)
{
    openCensusWindow();
    click(5);  // Londonderry, Haverhill
    m_dialogs.queueInput(QStringLiteral("03053"));
    click(6);  // Londonderry again: counted once
    QAction* total = totalAction(window());
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(window().listView(2)->contextMenuPolicy(), Qt::ActionsContextMenu);
    total->trigger();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << messageTexts().join('\n').toStdString();
    EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);

    const ChildRun exported =
        runCli({"export", "--source", "census", "--total", "--moe", "03053", "01830", "03053", "-o",
                writeFile("out.jsonl", {})},
               {{{"ZIPDEMOGRAPHICS_CENSUS_URL", apiAddress()}, {"CENSUS_API_KEY", "test-key-1"}}});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.constData();
    const QList<QByteArray> lines = readWholeFile(m_folder.filePath("out.jsonl")).trimmed().split('\n');
    const QJsonObject expected = QJsonDocument::fromJson(lines.last()).object();
    ASSERT_EQ(expected["entry"], "total");

    const QList<QPair<QString, QString>> rows = demographicsRows();
    const QJsonArray figures = expected["figures"].toArray();
    ASSERT_EQ(rows.size(), 1 + figures.size() + 1);
    EXPECT_EQ(rows.first().first, "total of 2 ZIP Code Tabulation Areas");
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const QJsonObject figure = figures[i].toObject();
        const QString value = figure["value"].toString();
        const QString margin = figure["moe"]["value"].toString();
        EXPECT_EQ(rows[1 + i].first, figure["label"].toString());
        EXPECT_EQ(rows[1 + i].second, value.isEmpty() || margin.isEmpty() ? value : value + " \u00b1 " + margin)
            << figure["label"].toString().toStdString();
    }
    EXPECT_EQ(rows[1].second.section(' ', 0, 0), "52,855");  // 43,171 + 9,684
    EXPECT_EQ(rows.last().first, "(" + expected["note"].toString() + ")");
    expectWholeNote(int(rows.size()));

    // The places' own figures stay as they were asked for: no margins.
    showLocation(1);
    EXPECT_EQ(demographicsRows().first().first, "Londonderry, NH");
    EXPECT_FALSE(demographicsRows()[1].second.contains(QChar(0x00b1)));

    // The README's picture, when asked for: the window showing the total.
    if (const QByteArray picture = qgetenv("ZD_TOTAL_PICTURE"); !picture.isEmpty()) {
        total->trigger();
        window().grab().save(QString::fromLocal8Bit(picture));
    }
}

TEST_F(CensusTotalWindow, AnEmptyListHasNothingToAddUpAndAsksNothing)
{
    openCensusWindow();
    const qsizetype before = requests().size();
    totalAction(window())->trigger();
    EXPECT_EQ(messageTexts(), QStringList({"The locations list is empty: there is nothing to add up."}));
    EXPECT_EQ(requests().size(), before);
    EXPECT_EQ(state().demographicsList().rowCount(), 0);
}

TEST_F(SiteTotalWindow, TheSiteSourceSaysTotalsNeedTheCensusSourceAndChangesNothing)
{
    openWithTheSamplesShown();
    const QList<QPair<QString, QString>> shown = demographicsRows();
    ASSERT_FALSE(shown.isEmpty());
    QAction* total = totalAction(window());
    ASSERT_NE(total, nullptr);
    total->trigger();
    ASSERT_EQ(messageTexts().size(), 1);
    EXPECT_TRUE(messageTexts().first().startsWith("Totals need the census source")) << messageTexts().first().toStdString();
    EXPECT_EQ(demographicsRows(), shown);
    EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
}

}  // namespace
}  // namespace zd::test
