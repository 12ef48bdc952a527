#include "census/censuslabels.h"

#include "tests/census/yearlabels.h"

#include <QSet>
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

CensusVariable user(const QString& id, std::optional<FigureKind> kind = std::nullopt, const QString& chosenFor = {})
{
    CensusVariable variable;
    variable.id = id;
    variable.kind = kind.value_or(id.endsWith("PE") ? FigureKind::Percent : FigureKind::Count);
    variable.kindGiven = kind.has_value();
    variable.chosenFor = chosenFor;
    return variable;
}

TEST(CensusLabels, TheVariableListGivesLabelsAndSomethingElseGivesNothing)
{
    const std::optional<CensusLabels> labels = CensusLabels::parse(kVariables);
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->label("DP05_0002E"), "Estimate!!SEX AND AGE!!Total population!!Male");
    EXPECT_FALSE(labels->contains("DP99_0001E"));
    EXPECT_FALSE(CensusLabels::parse("[[\"DP05_0001E\"]]"));
    EXPECT_FALSE(CensusLabels::parse("<html>"));
}

// The escape sequence would clear a terminal; the tab would split a row of a file.
TEST(CensusLabels, ControlCharactersOfALabelAreKeptEscaped)
{
    const std::optional<CensusLabels> labels = CensusLabels::parse(
        R"({"variables": {"DP05_0001E": {"label": "Estimate!!SEX AND AGE!!Total\u001b[2J\tpopulation"}}})");
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->label("DP05_0001E"), "Estimate!!SEX AND AGE!!Total\\x1b[2J\\x09population");
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

TEST(CensusLabels, AUsersFiguresAreCheckedByIdAndLabelAndTakeDollarsFromTheLabelWhenNoKindIsGiven)
{
    const CensusLabels labels = *CensusLabels::parse(kVariables);
    const CheckedVariables checked =
        checkVariables({user("DP05_0001E", FigureKind::Count, "Total population"),
                        user("DP05_0003E", FigureKind::Count, "Total population!!Male"), user("DP04_0089E"),
                        user("DP04_0134E", FigureKind::Count), user("DP03_0128PE")},
                       true, labels, 2023);
    ASSERT_EQ(checked.variables.size(), 4);
    EXPECT_EQ(checked.variables[0].id, "DP05_0001E");
    ASSERT_EQ(checked.leftOut.size(), 1);  // DP05_0003E is the female population
    EXPECT_TRUE(checked.leftOut[0].contains("Female")) << checked.leftOut[0].toStdString();
    EXPECT_EQ(checked.variables[1].kind, FigureKind::Dollars);  // "Median (dollars)", no kind given
    EXPECT_EQ(checked.variables[2].kind, FigureKind::Count);    // the kind the user gave is kept
    EXPECT_EQ(checked.variables[3].kind, FigureKind::Percent);
    EXPECT_TRUE(checked.error.isEmpty());

    const CheckedVariables unknown = checkVariables({user("DP05_0001E"), user("DP05_0999E")}, true, labels, 2023);
    EXPECT_TRUE(unknown.error.contains("DP05_0999E")) << unknown.error.toStdString();
}

TEST(CensusLabels, AUsersFiguresKeepTheirSectionAndAsManyLevelsAsTheYearNeedsToTellThemApart)
{
    const CensusLabels labels = test::keptProfileLabels(2023);
    const QStringList ids = {"DP05_0001E", "DP05_0002E", "DP05_0026E", "DP04_0089E", "DP04_0134E",
                             "DP03_0128PE", "DP03_0052E", "DP03_0101PE"};
    QList<CensusVariable> wanted;
    for (const QString& id : ids)
        wanted.append(user(id));
    const CheckedVariables checked = checkVariables(wanted, true, labels, 2023);
    ASSERT_TRUE(checked.error.isEmpty()) << checked.error.toStdString();
    EXPECT_EQ(shownLabels(checked.variables, labels, 2023),
              QStringList({"SEX AND AGE: Total population", "SEX AND AGE: Total population: Male",
                           "SEX AND AGE: 18 years and over: Male", "VALUE: Median (2023 dollars)",
                           "GROSS RENT: Median (2023 dollars)",
                           "PERCENTAGE OF FAMILIES AND PEOPLE WHOSE INCOME IN THE PAST 12 MONTHS IS BELOW THE "
                           "POVERTY LEVEL: All people: percent of all people",
                           "INCOME AND BENEFITS (IN 2023 INFLATION-ADJUSTED DOLLARS): Total households: Less "
                           "than $10,000",
                           "HEALTH INSURANCE COVERAGE: Civilian noninstitutionalized population under 19 years: No "
                           "health insurance coverage: percent of civilian noninstitutionalized population under 19 "
                           "years"}));

    // The estimate and the percent of one row read alike but for their start.
    const CheckedVariables both = checkVariables({user("DP03_0052E"), user("DP03_0052PE")}, true, labels, 2023);
    const QStringList forms = shownLabels(both.variables, labels, 2023);
    EXPECT_TRUE(forms[0].startsWith("Estimate: INCOME AND BENEFITS")) << forms[0].toStdString();
    EXPECT_TRUE(forms[1].startsWith("Percent: INCOME AND BENEFITS")) << forms[1].toStdString();
    EXPECT_TRUE(forms[1].endsWith(": percent of total households")) << forms[1].toStdString();
}

TEST(CensusLabels, BuiltInFiguresKeepTheirOwnLabelsAndDollarsSayTheYear)
{
    const QList<CensusVariable>& builtIn = builtInCensusVariables();
    for (const int year : test::keptProfileYears()) {
        const CensusLabels labels = test::keptProfileLabels(year);
        const CheckedVariables checked = checkVariables(builtIn, false, labels, year);
        const QStringList shown = shownLabels(checked.variables, labels, year);
        EXPECT_TRUE(shown.contains("Household income: less than $10,000"));
        // A percent says what it is a percent of, its block's universe.
        EXPECT_TRUE(shown.contains("Below poverty level: percent of all people"));
        EXPECT_TRUE(shown.contains("Owner-occupied: percent of occupied housing units"));
        EXPECT_TRUE(shown.contains("Unemployment rate: percent of civilian labor force"));
        EXPECT_TRUE(shown.contains(QStringLiteral("Median household income (%1 dollars)").arg(year)));
        EXPECT_TRUE(shown.contains(QStringLiteral("Median home value (%1 dollars)").arg(year)));
        EXPECT_TRUE(shown.contains(QStringLiteral("Median gross rent (%1 dollars)").arg(year)));
        EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()).size(), shown.size()) << year;
    }
}

}  // namespace
}  // namespace zd
