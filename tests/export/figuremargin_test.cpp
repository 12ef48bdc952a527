// Margins of error carried in their figures: kept through a results table on
// disk, and written by JSON Lines inside the figure.
#include "export/jsonlwriter.h"
#include "export/resultstable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

EntryResult withFigures(const QString& entry, QList<Figure> figures)
{
    return {entry, entry, EntryStatus::Found, QStringLiteral("Londonderry, NH"), std::move(figures), std::nullopt};
}

// Entries with margins, without any, and with one figure whose margin is not
// known beside one whose margin is empty.
QList<EntryResult> sampleEntries()
{
    return {withFigures("03053", {{"Total population", "38,310", "662"}, {"Median age", "39.6 years", "0.8 years"}}),
            withFigures("01830", {{"Total population", "1,204"}, {"Median age", "41.0 years"}}),
            withFigures("00503", {{"Total population", "", ""}, {"Median age", "12", std::nullopt}}),
            {"", QString(), EntryStatus::Blank, std::nullopt, {}, std::nullopt}};
}

QList<EntryResult> walked(const ResultsTable& table)
{
    QList<EntryResult> entries;
    table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        entries.append(entry);
        return true;
    });
    return entries;
}

TEST(FigureMargins, ATableOnDiskGivesBackEveryMarginAsAppended)
{
    QTemporaryDir folder;
    ResultsTable onDisk;
    QString error;
    ASSERT_TRUE(onDisk.keepOnDisk(folder.filePath("out.jsonl"), error)) << error.toStdString();
    for (const EntryResult& entry : sampleEntries())
        onDisk.append(entry);

    const QList<EntryResult> back = walked(onDisk);
    const QList<EntryResult> expected = sampleEntries();
    ASSERT_EQ(back.size(), expected.size());
    for (qsizetype i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].entry, expected[i].entry);
        EXPECT_EQ(back[i].location, expected[i].location);
        ASSERT_EQ(back[i].figures.size(), expected[i].figures.size());
        for (qsizetype k = 0; k < back[i].figures.size(); ++k) {
            EXPECT_EQ(back[i].figures[k].label, expected[i].figures[k].label);
            EXPECT_EQ(back[i].figures[k].value, expected[i].figures[k].value);
            EXPECT_EQ(back[i].figures[k].margin, expected[i].figures[k].margin) << i << ", " << k;
        }
    }
    // Margins take no columns of their own.
    EXPECT_EQ(onDisk.figureColumns(), (QStringList{"Total population", "Median age"}));
}

// The line is what Qt's JSON writer gives for the same object: moe sits in the
// figure among its sorted keys, as {number, value}.
TEST(FigureMargins, JsonLinesPutsTheMarginInsideItsFigure)
{
    const auto figure = [](const char* label, const QJsonValue& number, const char* value) {
        return QJsonObject{{"label", label}, {"number", number}, {"value", value}};
    };
    QJsonObject expected{{"entry", "03053"}, {"location", "Londonderry, NH"}, {"status", "found"}, {"zip", "03053"}};
    QJsonObject population = figure("Total population", 38310, "38,310");
    population["moe"] = QJsonObject{{"number", 662}, {"value", "662"}};
    QJsonObject age = figure("Median age", 39.6, "39.6 years");
    age["moe"] = QJsonObject{{"number", 0.8}, {"value", "0.8 years"}};
    expected["figures"] = QJsonArray{population, age};
    EXPECT_EQ(entryJsonLine(sampleEntries()[0]), QJsonDocument(expected).toJson(QJsonDocument::Compact));
}

}  // namespace
}  // namespace zd
