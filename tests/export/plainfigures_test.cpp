// The census source's figures for data tools: plain numbers in CSV under a
// column that names their unit, a bound with its side, kept through a table on
// disk; the site's figures as its pages show them.
#include "export/csvwriter.h"
#include "export/jsonlwriter.h"
#include "export/resultstable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

Figure censusFigure(const QString& label, const QString& value, const QString& variable, const QString& unit,
                    FigureBound bound = FigureBound::None)
{
    Figure figure{label, value};
    figure.variable = variable;
    figure.unit = unit;
    figure.bound = bound;
    return figure;
}

EntryResult censusEntry(const QString& zip, const QString& income, FigureBound bound)
{
    return {zip, zip, EntryStatus::Found, QStringLiteral("Somewhere, MO"),
            {censusFigure("Median household income (2022 dollars)", income, "B19013_001E", "dollars", bound),
             censusFigure("Median age", "41.2 years", "DP05_0018E", "years"),
             censusFigure("Total population", "1,234", "B01003_001E", {}),
             censusFigure("Owner-occupied", "39.9%", "DP04_0046PE", "percent")},
            std::nullopt};
}

const FigureSource kCensus{QStringLiteral("2018-2022 ACS 5-year"), QStringLiteral("U.S. Census Bureau")};

TEST(PlainFigures, CensusCsvHoldsPlainNumbersUnderColumnsThatNameTheirUnit)
{
    QTemporaryDir folder;
    ResultsTable table;
    QString error;
    ASSERT_TRUE(table.keepOnDisk(folder.filePath("out.csv"), error)) << error.toStdString();
    table.append(censusEntry("63073", "250,000+", FigureBound::AtLeast));
    table.append(censusEntry("64147", "2,500-", FigureBound::AtMost));
    table.append(censusEntry("50101", "$158,750", FigureBound::None));
    const QList<QByteArray> wide = csvText(table, CsvLayout::Wide, kCensus).split('\n');
    ASSERT_EQ(wide.size(), 5);
    EXPECT_EQ(wide[0], "entry,zip,status,location,vintage,source,Median household income (2022 dollars) "
                       "[B19013_001E],Median age (years) [DP05_0018E],Total population [B01003_001E],"
                       "Owner-occupied (percent) [DP04_0046PE]\r");
    EXPECT_TRUE(wide[1].endsWith(",250000+,41.2,1234,39.9\r")) << wide[1].constData();
    EXPECT_TRUE(wide[2].endsWith(",2500-,41.2,1234,39.9\r")) << wide[2].constData();
    EXPECT_TRUE(wide[3].endsWith(",158750,41.2,1234,39.9\r")) << wide[3].constData();
    const QByteArray longForm = csvText(table, CsvLayout::Long, kCensus);
    EXPECT_TRUE(longForm.contains(",Median age (years),DP05_0018E,41.2\r\n")) << longForm.constData();
    EXPECT_TRUE(longForm.contains(",Median household income (2022 dollars),B19013_001E,250000+\r\n"));

    // The site's figures stay as its pages show them.
    ResultsTable site;
    site.append({"03053", "03053", EntryStatus::Found, QStringLiteral("Londonderry, NH"),
                 {{"Median household income", "$95,825"}, {"Median age", "29.5 years"}}, std::nullopt});
    EXPECT_EQ(csvText(site, CsvLayout::Wide).split('\n')[1],
              "03053,03053,found,\"Londonderry, NH\",\"$95,825\",29.5 years\r");
}

TEST(PlainFigures, JsonLinesGiveABoundsNumberAndItsSide)
{
    const EntryResult entry = censusEntry("63073", "250,000+", FigureBound::AtLeast);
    const QJsonObject line = QJsonDocument::fromJson(entryJsonLine(entry, kCensus)).object();
    const QJsonObject income = line["figures"].toArray()[0].toObject();
    EXPECT_EQ(income["bound"], "at least");
    EXPECT_EQ(income["number"], 250000);
    EXPECT_EQ(income["value"], "250,000+");
    EXPECT_FALSE(line["figures"].toArray()[1].toObject().contains("bound"));
    const QJsonObject low =
        QJsonDocument::fromJson(entryJsonLine(censusEntry("64147", "2,500-", FigureBound::AtMost), kCensus))
            .object()["figures"].toArray()[0].toObject();
    EXPECT_EQ(low["bound"], "at most");
    EXPECT_EQ(low["number"], 2500);
}

}  // namespace
}  // namespace zd
