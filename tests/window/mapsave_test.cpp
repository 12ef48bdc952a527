// The save dialog's map filters: a map of the figure selected in the
// demographics list (else its first figure) over every listed location, read
// back from the SVG; the PNG; the failures; the filters as the dialog shows them.
#include "tests/window/windowtest.h"

#include "commands/saveallcommand.h"
#include "tests/support/svgshapes.h"
#include "tests/support/wholefile.h"
#include "window/qtdialogs.h"

#include <QFile>
#include <QImage>

namespace zd::test {
namespace {

class MapSave : public WindowTest {
protected:
    QString target(const QString& name) { return m_folder.filePath(name); }

    // The two sample locations listed, the second one shown, and the row of `figure` selected.
    void listTheSamplesWithSelected(const QString& figure)
    {
        openWithTheSamplesShown();
        ListModel& demographics = state().demographicsList();
        for (int position = 1; position <= demographics.rowCount(); ++position) {
            if (demographics.rowText(position) == figure)
                demographics.selectPosition(position);
        }
        m_requestsBefore = m_site.requestCount();
    }

    qsizetype m_requestsBefore = 0;
};

TEST_F(MapSave, TheSvgFilterDrawsTheSelectedFigureOfEveryLocation)
{
    listTheSamplesWithSelected(QStringLiteral("MedianAge"));
    const auto before = demographicsRows();
    m_dialogs.queueSave(target(QStringLiteral("ages")), 5);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(m_site.requestCount() - m_requestsBefore, 2);  // one fetch per location
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0}));
    EXPECT_EQ(demographicsRows(), before);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("ages"))));  // the filter's extension was added
    const SvgShapes svg = readSvgShapes(readWholeFile(target(QStringLiteral("ages.svg"))));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.title, QStringLiteral("MedianAge"));
    EXPECT_EQ(svg.circles.size(), 2);
    // Two distinct ages (33 and 30): two classes, one dot each.
    const QStringList swatches = svg.swatchColours();
    ASSERT_EQ(swatches.size(), 2);
    QStringList fills = svg.circleFills();
    std::sort(fills.begin(), fills.end());
    QStringList sortedSwatches = swatches;
    std::sort(sortedSwatches.begin(), sortedSwatches.end());
    EXPECT_EQ(fills, sortedSwatches);
    EXPECT_TRUE(svg.texts.contains(QStringLiteral("30")));
    EXPECT_TRUE(svg.texts.contains(QStringLiteral("33")));
}

TEST_F(MapSave, WithTheLocationsNameRowSelectedTheFirstFigureIsDrawn)
{
    listTheSamplesWithSelected(locationName(QStringLiteral("01830")));
    ASSERT_EQ(state().demographicsList().selectedPosition(), 1);
    m_dialogs.queueSave(target(QStringLiteral("first.svg")), 5);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(readSvgShapes(readWholeFile(target(QStringLiteral("first.svg")))).title, QStringLiteral("Population"));
}

TEST_F(MapSave, ThePngFilterWritesAPictureOfTheDefaultWidth)
{
    listTheSamplesWithSelected(QStringLiteral("Population"));
    m_dialogs.queueSave(target(QStringLiteral("people")), 6);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    QImage image;
    ASSERT_TRUE(image.load(target(QStringLiteral("people.png")), "PNG"));
    EXPECT_EQ(image.width(), 1600);
    EXPECT_GT(image.height(), 400);
}

TEST_F(MapSave, AMapThatCannotBeWrittenShowsTheCommandsErrorBoxAndKeepsTheOldFile)
{
    listTheSamplesWithSelected(QStringLiteral("Population"));
    const auto before = demographicsRows();
    m_dialogs.queueSave(target(QStringLiteral("no-such-folder/map.svg")), 5);
    click(2);
    EXPECT_EQ(messageTexts(),
              QStringList{errorBox(QStringLiteral("Form1.PushButton2_Click"), 138, QStringLiteral("Path not found"))});
    EXPECT_EQ(demographicsRows(), before);
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(MapSave, WithNoLocationListedTheMapShowsTheOutlinesAlone)
{
    openWindow();
    m_dialogs.queueSave(target(QStringLiteral("empty.svg")), 5);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    const SvgShapes svg = readSvgShapes(readWholeFile(target(QStringLiteral("empty.svg"))));
    EXPECT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.title, QStringLiteral("No figures"));
    EXPECT_TRUE(svg.circles.isEmpty());
    EXPECT_GT(svg.paths, 50);  // the states' outlines, land and line
}

TEST(MapSaveFilters, TheDialogShowsBothMapFiltersAfterTheOthersUnchanged)
{
    const QStringList filters = qtNameFilters(saveDialogSettings().filter);
    ASSERT_EQ(filters.size(), 6);
    EXPECT_EQ(filters[2], QStringLiteral("CSV Files (*.csv)"));
    EXPECT_EQ(filters[3], QStringLiteral("Excel Workbooks (*.xlsx)"));
    EXPECT_EQ(filters[4], QStringLiteral("Map of the selected figure (*.svg)"));
    EXPECT_EQ(filters[5], QStringLiteral("Map of the selected figure (*.png)"));
}

}  // namespace
}  // namespace zd::test
