#include "census/censuslabels.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

const QByteArray kVariables = R"json({"variables": {
  "for": {"label": "Census API FIPS 'for' clause"},
  "DP05_0001E": {"label": "Estimate!!SEX AND AGE!!Total population", "group": "DP05"},
  "DP05_0002E": {"label": "Estimate!!SEX AND AGE!!Total population!!Male"},
  "DP05_0003E": {"label": "Estimate!!SEX AND AGE!!Total population!!Female"},
  "DP04_0089E": {"label": "Estimate!!VALUE!!Owner-occupied units!!Median (dollars)"},
  "DP04_0134E": {"label": "Estimate!!GROSS RENT!!Occupied units paying rent!!Median (dollars)"},
  "DP03_0128PE": {"label": "Percent!!PERCENTAGE OF FAMILIES AND PEOPLE WHOSE INCOME IN THE PAST 12 MONTHS IS BELOW THE POVERTY LEVEL!!All people"}
}})json";

TEST(CensusLabels, TheVariableListGivesLabelsAndSomethingElseGivesNothing)
{
    const std::optional<CensusLabels> labels = CensusLabels::parse(kVariables);
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->label("DP05_0002E"), "Estimate!!SEX AND AGE!!Total population!!Male");
    EXPECT_FALSE(labels->contains("DP99_0001E"));
    EXPECT_FALSE(CensusLabels::parse("[[\"DP05_0001E\"]]"));
    EXPECT_FALSE(CensusLabels::parse("<html>"));
}

TEST(CensusLabels, AConceptMatchesTheEndOfTheLabelOnly)
{
    const QString male = "Estimate!!SEX AND AGE!!Total population!!Male";
    EXPECT_TRUE(labelMatchesConcept(male, "Male"));
    EXPECT_TRUE(labelMatchesConcept(male, "total population!!male"));
    EXPECT_FALSE(labelMatchesConcept("Estimate!!SEX AND AGE!!Total population!!Female", "Male"));
    EXPECT_FALSE(labelMatchesConcept(male, "Total population"));
    EXPECT_TRUE(labelMatchesConcept("Percent!!PEOPLE WHOSE INCOME IS BELOW THE POVERTY LEVEL!!All people",
                                    "BELOW THE POVERTY LEVEL!!All people"));
    EXPECT_TRUE(labelMatchesConcept("Estimate!!HOUSEHOLDS!!Total households:", "Total households"));
}

TEST(CensusLabels, BuiltInFiguresWhoseNumberMovedAreLeftOutAndAUsersUnknownOneIsRefused)
{
    const CensusLabels labels = *CensusLabels::parse(kVariables);
    const QList<CensusVariable> builtIn = {{"DP05_0001E", FigureKind::Count, "Total population"},
                                           {"DP05_0003E", FigureKind::Count, "Total population!!Male"},
                                           {"DP05_0999E", FigureKind::Count, "Median age (years)"}};
    const CheckedVariables checked = checkVariables(builtIn, false, labels, 2023);
    ASSERT_EQ(checked.variables.size(), 1);
    EXPECT_EQ(checked.variables[0].id, "DP05_0001E");
    ASSERT_EQ(checked.leftOut.size(), 2);
    EXPECT_TRUE(checked.leftOut[0].contains("Female")) << checked.leftOut[0].toStdString();
    EXPECT_TRUE(checked.error.isEmpty());

    const CheckedVariables user = checkVariables({{"DP05_0001E", FigureKind::Count, {}},
                                                  {"DP05_0999E", FigureKind::Count, {}}}, true, labels, 2023);
    EXPECT_TRUE(user.error.contains("DP05_0999E")) << user.error.toStdString();
}

TEST(CensusLabels, ShortFormsAreTheLastLevelWithParentsOnlyWhereTwoWouldReadTheSame)
{
    const QStringList forms = shortLabels({"Estimate!!SEX AND AGE!!Total population",
                                           "Estimate!!VALUE!!Owner-occupied units!!Median (dollars)",
                                           "Estimate!!GROSS RENT!!Occupied units paying rent!!Median (dollars)",
                                           "Estimate!!INCOME!!Total households!!Less than $10,000",
                                           "Percent!!INCOME!!Total households!!Less than $10,000"});
    EXPECT_EQ(forms, QStringList({"Total population", "Owner-occupied units: Median (dollars)",
                                  "Occupied units paying rent: Median (dollars)",
                                  "Estimate: INCOME: Total households: Less than $10,000",
                                  "Percent: INCOME: Total households: Less than $10,000"}));
    EXPECT_EQ(shortLabels({"A!!B", "A!!B"}), QStringList({"A: B", "A: B"}));
}

}  // namespace
}  // namespace zd
