#include "census/censuslabels.h"
#include "census/labelpath.h"

#include "tests/census/yearlabels.h"

#include <QSet>
#include <gtest/gtest.h>

namespace zd {
namespace {

// The ID each built-in figure resolves to in a year's list, by its label.
QHash<QString, QString> idsByLabel(int year, QStringList* leftOut = nullptr)
{
    const CheckedVariables checked = checkVariables(builtInCensusVariables(), false, test::keptProfileLabels(year), year);
    if (leftOut)
        *leftOut = checked.leftOut;
    QHash<QString, QString> ids;
    for (const CensusVariable& variable : checked.variables)
        ids.insert(variable.label, variable.id);
    return ids;
}

LabelPath path(const QString& table, bool percent, const QString& wordings)
{
    return {table, percent, wordings.split(" | ")};
}

TEST(BuiltInFigures, TheSetIsReadWholeAndEachNamesATableAFormAPathAndALabel)
{
    const QList<CensusVariable>& figures = builtInCensusVariables();
    EXPECT_GE(figures.size(), 40);
    for (const CensusVariable& figure : figures) {
        ASSERT_TRUE(figure.labelPath) << figure.label.toStdString();
        EXPECT_TRUE(figure.id.isEmpty());
        EXPECT_FALSE(figure.label.isEmpty());
    }
    const CensusVariableSet bad = parseBuiltInFigures("DP05\testimate\tSEX AND AGE!!Total population\tcount\n"
                                                      "DP09\testimate\tX\tcount\tX\n", "test");
    EXPECT_EQ(bad.error, "test, line 1: a figure needs five fields (table, form, label path, kind, label)");
    EXPECT_TRUE(parseBuiltInFigures("DP09\testimate\tX\tcount\tX\n", "t").error.contains("DP09"));
    EXPECT_TRUE(parseBuiltInFigures("DP05\tmedian\tX\tcount\tX\n", "t").error.contains("median"));
    EXPECT_TRUE(parseBuiltInFigures("DP05\tpercent\tX\tcount\tX\nDP05\tpercent\tY\tcount\tX\n", "t")
                    .error.contains("line 2"));
}

TEST(BuiltInFigures, APathIgnoresTheStartCaseAndTrailingColonsTakesTheFirstOfARepeatedRowAndKeepsItsForm)
{
    const CensusLabels labels = *CensusLabels::parse(R"json({"variables": {
      "DP05_0021E": {"label": "Estimate!!SEX AND AGE!!Total population!!18 years and over"},
      "DP05_0025E": {"label": "Estimate!!SEX AND AGE!!Total population!!18 years and over"},
      "DP05_0021PE": {"label": "Percent Estimate!!SEX AND AGE!!Total population!!18 years and over"},
      "DP05_0021M": {"label": "Margin of Error!!SEX AND AGE!!Total population!!18 years and over"},
      "DP05_0060E": {"label": "Estimate!!RACE!!Total population:!!One race:!!Some Other Race"},
      "DP03_0062E": {"label": "Estimate!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Total households!!Median household income (dollars)"},
      "DP03_0063E": {"label": "Estimate!!INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS)!!Total households!!Median household income (dollars)!!Extra"}
    }})json");
    const LabelPathIndex index(labels);
    EXPECT_EQ(index.find(path("DP05", false, "SEX AND AGE!!Total population!!18 years and over")), "DP05_0021E");
    EXPECT_EQ(index.find(path("DP05", true, "sex and age!!total population!!18 YEARS AND OVER")), "DP05_0021PE");
    EXPECT_EQ(index.find(path("DP05", false, "RACE!!Total population!!One race!!Some other race")), "DP05_0060E");
    EXPECT_EQ(index.find(path("DP03", false, "INCOME AND BENEFITS (IN * INFLATION-ADJUSTED DOLLARS)!!Total "
                                             "households!!Median household income (dollars)")),
              "DP03_0062E");
    EXPECT_EQ(index.find(path("DP05", false, "Nothing | SEX AND AGE!!Total population!!18 years and over")),
              "DP05_0021E");
    // No row of another table, another form, or at another depth.
    EXPECT_EQ(index.find(path("DP02", false, "SEX AND AGE!!Total population!!18 years and over")), "");
    EXPECT_EQ(index.find(path("DP05", true, "RACE!!Total population!!One race!!Some other race")), "");
    EXPECT_EQ(index.find(path("DP05", false, "Total population!!18 years and over")), "");
    EXPECT_EQ(index.find(path("DP05", false, "RACE!!Total population!!One race")), "");
}

TEST(BuiltInFigures, EveryFigureIsFoundInEveryKeptYearUnderAnIdWhoseLabelMeansIt)
{
    for (const int year : test::keptProfileYears()) {
        const CensusLabels labels = test::keptProfileLabels(year);
        QStringList leftOut;
        const QHash<QString, QString> ids = idsByLabel(year, &leftOut);
        EXPECT_TRUE(leftOut.isEmpty()) << year << ": " << leftOut.join("; ").toStdString();
        EXPECT_EQ(ids.size(), builtInCensusVariables().size()) << year;
        const QList<QString> distinct = ids.values();
        EXPECT_EQ(QSet<QString>(distinct.begin(), distinct.end()).size(), ids.size()) << year;
        for (const CensusVariable& figure : builtInCensusVariables()) {
            const QString id = ids.value(figure.label);
            EXPECT_EQ(id.endsWith("PE"), figure.labelPath->percent) << year << ' ' << id.toStdString();
            EXPECT_TRUE(id.startsWith(figure.labelPath->table + '_')) << year << ' ' << id.toStdString();
            // The year's label ends as the path does, whatever wording it has.
            const QString last = labelLevels(labels.label(id)).constLast();
            bool ends = false;
            for (const QString& wording : figure.labelPath->wordings)
                ends = ends || last.compare(labelLevels(wording).constLast(), Qt::CaseInsensitive) == 0;
            EXPECT_TRUE(ends) << year << ' ' << id.toStdString() << ' ' << labels.label(id).toStdString();
        }
    }
}

TEST(BuiltInFigures, RowsThatMovedBetweenVintagesAreFollowed)
{
    struct Moved {
        const char* label;
        QList<QPair<int, const char*>> idByYear;
    };
    const QList<Moved> moves = {
        {"Hispanic or Latino (of any race)",
         {{2017, "DP05_0071E"}, {2019, "DP05_0071E"}, {2021, "DP05_0071E"}, {2023, "DP05_0076E"}}},
        {"Race: Asian alone", {{2017, "DP05_0044E"}, {2019, "DP05_0044E"}, {2021, "DP05_0044E"}, {2023, "DP05_0047E"}}},
        {"Average household size",
         {{2017, "DP02_0015E"}, {2019, "DP02_0016E"}, {2021, "DP02_0016E"}, {2023, "DP02_0016E"}}},
        {"Race: Native Hawaiian and Other Pacific Islander alone", {{2021, "DP05_0052E"}, {2023, "DP05_0055E"}}},
        {"Race: some other race alone", {{2021, "DP05_0057E"}, {2023, "DP05_0060E"}}},
        {"Race: two or more races", {{2021, "DP05_0035E"}, {2023, "DP05_0035E"}}},  // not the block's head below
        {"Age: 18 years and over", {{2017, "DP05_0021E"}, {2023, "DP05_0021E"}}},
        {"Age: 65 years and over", {{2017, "DP05_0024E"}, {2023, "DP05_0024E"}}},
        // In 2017 DP02_0067PE is the bachelor's degree figure, the high school one from 2019.
        {"High school graduate or higher", {{2017, "DP02_0066PE"}, {2019, "DP02_0067PE"}}},
        {"Bachelor's degree or higher", {{2017, "DP02_0067PE"}, {2019, "DP02_0068PE"}}},
        {"Per capita income", {{2017, "DP03_0088E"}, {2023, "DP03_0088E"}}},
        {"Race: White alone", {{2017, "DP05_0037E"}, {2023, "DP05_0037E"}}},
    };
    QHash<int, QHash<QString, QString>> byYear;
    for (const int year : test::keptProfileYears())
        byYear.insert(year, idsByLabel(year));
    for (const Moved& moved : moves) {
        for (const auto& [year, id] : moved.idByYear)
            EXPECT_EQ(byYear[year].value(moved.label), id) << moved.label << ' ' << year;
    }
}

TEST(BuiltInFigures, AYearWithoutARowLeavesThatFigureOutWithOneMessage)
{
    const CensusLabels labels = *CensusLabels::parse(R"json({"variables": {
      "DP05_0001E": {"label": "Estimate!!SEX AND AGE!!Total population"},
      "DP05_0076E": {"label": "Estimate!!Hispanic or Latino and race!!Total population!!Hispanic or Latino (of any race)"}
    }})json");
    const CheckedVariables checked = checkVariables(builtInCensusVariables(), false, labels, 2024);
    ASSERT_EQ(checked.variables.size(), 2);
    EXPECT_EQ(checked.variables[1].id, "DP05_0076E");
    EXPECT_EQ(checked.leftOut.size(), builtInCensusVariables().size() - 2);
    EXPECT_TRUE(checked.leftOut.contains("\"Race: White alone\" (DP05: RACE!!Total population!!One race!!White) is "
                                         "not in the 2024 data profile; it is left out"))
        << checked.leftOut.join('\n').toStdString();
    EXPECT_TRUE(checked.error.isEmpty());
    EXPECT_FALSE(checkVariables(builtInCensusVariables(), false, CensusLabels(), 2024).error.isEmpty());
}

}  // namespace
}  // namespace zd
