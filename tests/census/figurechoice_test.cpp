// Picking a map's one figure out of a year's checked set, by the label a file
// shows or by the variable's ID, before any figure is asked for.
#include "census/censuslabels.h"
#include "census/figurechoice.h"

#include "tests/census/yearlabels.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

struct CheckedYear {
    QList<CensusVariable> variables;
    QStringList labels;
};

CheckedYear builtInSetOf(int year)
{
    const CensusLabels labels = test::keptProfileLabels(year);
    const CheckedVariables checked = checkVariables(builtInCensusVariables(), false, labels, year);
    return {checked.variables, shownLabels(checked.variables, labels, year)};
}

TEST(FigureChoice, TheFigureIsFoundByItsIdOrItsShownLabelInAnyCaseAndIsTheOnlyOneLeft)
{
    const CheckedYear year = builtInSetOf(2023);
    const QList<QString> names = {"DP03_0062E", "dp03_0062e", " Median household income (2023 dollars) ",
                                  "MEDIAN HOUSEHOLD INCOME (2023 DOLLARS)"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const ChosenFigure chosen = chooseFigure(year.variables, year.labels, name);
        EXPECT_TRUE(chosen.error.isEmpty()) << chosen.error.toStdString();
        ASSERT_EQ(chosen.variables.size(), 1);
        EXPECT_EQ(chosen.variables.first().id, "DP03_0062E");
        EXPECT_EQ(chosen.variables.first().kind, FigureKind::Dollars);
        EXPECT_EQ(chosen.labels, QStringList{"Median household income (2023 dollars)"});
    }
    // A percent figure keeps its own ID; an estimate's ID does not name the percent.
    EXPECT_EQ(chooseFigure(year.variables, year.labels, "DP03_0009PE").labels,
              QStringList{"Unemployment rate: percent of civilian labor force"});
    // A percent is named with or without what it is a percent of.
    for (const char* name : {"unemployment rate", "Unemployment rate: percent of civilian labor force"})
        EXPECT_EQ(chooseFigure(year.variables, year.labels, name).variables.value(0).id, "DP03_0009PE") << name;
    EXPECT_FALSE(chooseFigure(year.variables, year.labels, "DP03_0009E").error.isEmpty());
}

TEST(FigureChoice, AFigureTheSetLacksNamesEveryFigureThereIsWithItsIdAndChoosesNone)
{
    const CheckedYear year = builtInSetOf(2023);
    // The label without the year's dollars is not the label the files show, nor is a part of one.
    for (const QString& name : {QStringLiteral("Median household income"), QStringLiteral("income"),
                                QStringLiteral("DP99_9999E"), QStringLiteral("")}) {
        SCOPED_TRACE(name.toStdString());
        const ChosenFigure chosen = chooseFigure(year.variables, year.labels, name);
        EXPECT_TRUE(chosen.variables.isEmpty());
        EXPECT_TRUE(chosen.labels.isEmpty());
        EXPECT_TRUE(chosen.error.startsWith("unknown figure \"" + name + "\"; the figures are: Total population "
                                            "[DP05_0001E]; "))
            << chosen.error.toStdString();
        EXPECT_EQ(chosen.error.count(" ["), year.variables.size());
        EXPECT_TRUE(chosen.error.contains("; Median household income (2023 dollars) [DP03_0062E]; "));
    }
}

TEST(FigureChoice, AUsersFigureIsFoundByTheLabelItIsShownWithAmongTheOthersOfItsSet)
{
    const CensusLabels labels = test::keptProfileLabels(2021);
    QList<CensusVariable> wanted;
    for (const QString& id : {QStringLiteral("DP05_0002E"), QStringLiteral("DP04_0089E")}) {
        CensusVariable variable;
        variable.id = id;
        variable.kindGiven = false;
        wanted.append(variable);
    }
    const CheckedVariables checked = checkVariables(wanted, true, labels, 2021);
    const QStringList shown = shownLabels(checked.variables, labels, 2021);
    ASSERT_EQ(shown.size(), 2);
    const ChosenFigure byLabel = chooseFigure(checked.variables, shown, shown[1]);
    ASSERT_EQ(byLabel.variables.size(), 1);
    EXPECT_EQ(byLabel.variables.first().id, "DP04_0089E");
    EXPECT_EQ(byLabel.variables.first().kind, FigureKind::Dollars);
    EXPECT_EQ(byLabel.labels, QStringList{shown[1]});
    EXPECT_EQ(chooseFigure(checked.variables, shown, "DP05_0002E").labels, QStringList{shown[0]});
}

}  // namespace
}  // namespace zd
