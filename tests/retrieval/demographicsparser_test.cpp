#include "retrieval/demographicsparser.h"

#include <gtest/gtest.h>

#include <ostream>

namespace zd {

void PrintTo(const DemographicRow& row, std::ostream* out)
{
    *out << '{' << row.name.toStdString() << " | " << row.value.toStdString() << '}';
}
bool operator==(const DemographicRow& a, const DemographicRow& b)
{
    return a.name == b.name && a.value == b.value;
}

namespace {

// --- Location name

struct NameCase {
    const char* name;
    QString page;
    std::optional<QString> expected;
};

class LocationNameExtraction : public ::testing::TestWithParam<NameCase> {};

TEST_P(LocationNameExtraction, CutsAndCleansTheThirdSegment)
{
    EXPECT_EQ(extractLocationName(GetParam().page), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LocationNameExtraction,
    ::testing::Values(
        NameCase{"NbspAndNobrRemovedWordsRunTogether",
                 "<title>(12345)</title><td>(<nobr>Ash&nbsp;Creek</nobr>)</td><td>x</td>",
                 "AshCreek"},
        NameCase{"OpeningBoldRemovedClosingBoldKept", "<p>(1)</p><td>(<b>Ash Creek</b>)</td>",
                 "Ash Creek</b>"},
        NameCase{"NoCellEndTakesSegmentUpToNextMarker", "<a>(1)<td>(Ash Creek)<i>(more)",
                 "Ash Creek<i"},
        NameCase{"NoCellEndTakesRestOfPage", "<a>(1)<td>(Ash Creek)", "Ash Creek"},
        NameCase{"EmptyName", "<a>(1)<td>()</td>", ""},
        NameCase{"SecondMarkerAtEndOfPageGivesEmptyName", "<a>(1)<td>(", ""},
        NameCase{"OneMarkerIsNotFound", "<a>(1)</a><td>Ash</td>", std::nullopt},
        NameCase{"EmptyPageIsNotFound", "", std::nullopt},
        NameCase{"MarkerNeedsParenthesisRightAfterTagEnd", "<a> (1)<b> (Ash)</td>", std::nullopt},
        NameCase{"RemovalsAreSinglePassesInOrder", "<a>(1)<td>(&nb&nbsp;sp;X<<b>b><no&nbsp;br>Y)</td>",
                 "&nbsp;X<b>Y"},
        NameCase{"MarkersAreCaseSensitive", "<A>(1)<TD>(<B>Ash&NBSP;Creek)</TD>",
                 "<B>Ash&NBSP;Creek</TD>"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Rows of both passes

struct RowsCase {
    const char* name;
    QString page;
    QList<DemographicRow> rows;
    bool brokeOff;
};

class FigureRowExtraction : public ::testing::TestWithParam<RowsCase> {};
class HouseholdIncomeRowExtraction : public ::testing::TestWithParam<RowsCase> {};

TEST_P(FigureRowExtraction, FindsRowsInPageOrder)
{
    const ExtractedRows extracted = extractFigureRows(GetParam().page);
    EXPECT_EQ(extracted.rows, GetParam().rows);
    EXPECT_EQ(extracted.brokeOff, GetParam().brokeOff);
}

TEST_P(HouseholdIncomeRowExtraction, FindsRowsInPageOrder)
{
    const ExtractedRows extracted = extractHouseholdIncomeRows(GetParam().page);
    EXPECT_EQ(extracted.rows, GetParam().rows);
    EXPECT_EQ(extracted.brokeOff, GetParam().brokeOff);
}

const QString kRight = QStringLiteral("<td class=\"text\" align=\"right\">");
const QString kRowStart = QStringLiteral("</tr><tr>") + kRight;

INSTANTIATE_TEST_SUITE_P(
    Pages, FigureRowExtraction,
    ::testing::Values(
        RowsCase{"LabelAndValue", "x<td class=\"text\">Population</td><td class=\"n\">1,234</td></tr>",
                 {{"Population", "1,234"}}, false},
        RowsCase{"LabelLosesNbspNobrOpeningBoldOnly",
                 "<td class=\"text\"><b><nobr>Median&nbsp;age</nobr></b></td><td>38.5</td>",
                 {{"Medianage</b>", "38.5"}}, false},
        RowsCase{"ValueCellWithOwnTagGivesThatTagsStart",
                 "<td class=\"text\">Area</td><td><span class=\"v\">12&nbsp;sq mi</span></td>",
                 {{"Area", "<span class=\"v\""}}, false},
        RowsCase{"ValueCellStartingWithNobrGivesTagStart", "<td class=\"text\">Homes</td><td><nobr>1&nbsp;024</td>",
                 {{"Homes", "<nobr"}}, false},
        RowsCase{"ValueRunsToEndWithoutSecondCellEnd", "<td class=\"text\">A</td><td>1&nbsp;7",
                 {{"A", "17"}}, false},
        RowsCase{"RightCellsAreNotFigureCells", kRight + "Under $10,000</td>" + kRight + "5</td>", {}, false},
        RowsCase{"NoMarkers", "<html><body>nothing</body></html>", {}, false},
        RowsCase{"ConsecutiveRowsInOrder",
                 "<td class=\"text\">A</td><td>1</td><td class=\"text\">B</td><td>2</td>",
                 {{"A", "1"}, {"B", "2"}}, false},
        RowsCase{"BreaksWithoutCellEndKeepingEarlierRows",
                 "<td class=\"text\">A</td><td>1</td><td class=\"text\">B cut short", {{"A", "1"}}, true},
        RowsCase{"BreaksWithoutTagEndInNextCell",
                 "<td class=\"text\">A</td><td>1</td><td class=\"text\">B</td>plain</td>", {{"A", "1"}},
                 true},
        RowsCase{"BreaksOnMarkerAtEndOfPage", "<td class=\"text\">A</td><td>1</td><td class=\"text\">",
                 {{"A", "1"}}, true},
        RowsCase{"BreaksOnEmptyNextCell",
                 "<td class=\"text\">A</td></td><td class=\"text\">B</td><td>2</td>", {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Pages, HouseholdIncomeRowExtraction,
    ::testing::Values(
        RowsCase{"LabelAndValueWithoutNobrAndNbsp",
                 "<tr><th>Income</th>" + kRowStart + "$10,000 to $14,999</td>" + kRight
                     + "<nobr>1&nbsp;234</nobr></td></tr>",
                 {{"household income $10,000 to $14,999", "1234"}}, false},
        RowsCase{"LabelKeepsItsTagsLosingNbspOnly",
                 kRowStart + "<b>Less&nbsp;than <nobr>$10,000</nobr></b></td>" + kRight + "7</td>",
                 {{"household income <b>Lessthan <nobr>$10,000</nobr></b>", "7"}}, false},
        RowsCase{"RightCellWithoutRowStartIsNoRow",
                 "<tr>" + kRight + "A</td>" + kRight + "1</td></tr>\n<tr>" + kRight + "B</td>" + kRight
                     + "2</td>",
                 {}, false},
        RowsCase{"ValueEndsAtNextRightCellMarker",
                 kRowStart + "A</td>" + kRight + "5" + kRight + "6</td>", {{"household income A", "5"}},
                 false},
        RowsCase{"BreaksWithoutRightCellAfterLabelKeepingEarlierRows",
                 kRowStart + "A</td>" + kRight + "1</td>" + kRowStart + "B</td><td>2</td>",
                 {{"household income A", "1"}}, true},
        RowsCase{"BreaksWithoutCellEnd", kRowStart + "A</td>" + kRight + "1</td>" + kRowStart + "B",
                 {{"household income A", "1"}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zd
