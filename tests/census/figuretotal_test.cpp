#include "census/censuslabels.h"
#include "census/figuretotal.h"
#include "census/reliability.h"
#include "census/totalrules.h"

#include "tests/census/yearlabels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zd {
namespace {

// The handbook's worked proportion (chapter 8 of "Understanding and Using
// American Community Survey Data", the never-married women of a three-county
// area): 203,119 never-married women of 15 and over (MOE 5,070, itself the
// sum worked out in the chapter's example of aggregated counts) of all women of
// 15 and over, 630,498 (MOE 831): 32.2% with a margin of 0.0080. Its margin is
// held to a millionth: with p for p² under the root it would be 0.008006, not
// 0.008030. The made-up second case tells them apart more plainly.
TEST(FigureTotal, AProportionsMarginTakesTheSquareOfTheProportion)
{
    struct Case {
        Estimate count, base;
        double value, margin;
    };
    const QList<Case> cases = {
        {{203119, 5070}, {630498, 831}, 0.322156, 0.0080301},
        {{60, 30}, {100, 40}, 0.6, 0.18},  // sqrt(30² − 0.36·40²) / 100; with p the root would be negative
    };
    for (const Case& c : cases) {
        const std::optional<Proportion> share = proportionOf(c.count, c.base);
        ASSERT_TRUE(share && share->margin);
        EXPECT_NEAR(share->value, c.value, 0.000001);
        EXPECT_NEAR(*share->margin, c.margin, 0.000001);
        EXPECT_FALSE(share->ratioForm);
    }
}

// The handbook states the rule (the ratio form when the value under the root is
// negative) without a worked example of it; these figures are made up.
TEST(FigureTotal, ANegativeValueUnderTheRootFallsBackToTheRatioForm)
{
    // 9 - 1 * 16 < 0: the ratio form sqrt(9 + 16) / 2 = 2.5 instead.
    const std::optional<Proportion> share = proportionOf({2, 3}, {2, 4});
    ASSERT_TRUE(share && share->margin);
    EXPECT_TRUE(share->ratioForm);
    EXPECT_DOUBLE_EQ(*share->margin, 2.5);
    // Exactly zero under the root stays with the proportion form.
    const std::optional<Proportion> even = proportionOf({2, 3}, {2, 3});
    ASSERT_TRUE(even && even->margin);
    EXPECT_FALSE(even->ratioForm);
    EXPECT_DOUBLE_EQ(*even->margin, 0);
}

TEST(FigureTotal, NoProportionOfAZeroBaseAndNoMarginWithoutTheParts)
{
    EXPECT_FALSE(proportionOf({0, 5}, {0, 5}));
    const std::optional<Proportion> withoutMargins = proportionOf({25, std::nullopt}, {100, 4});
    ASSERT_TRUE(withoutMargins);
    EXPECT_DOUBLE_EQ(withoutMargins->value, 0.25);
    EXPECT_FALSE(withoutMargins->margin);
}

// The handbook's example of aggregated counts gives its three counties' figures
// in a table not at hand here; its total, 203,119 (MOE 5,070), is checked in
// its proportion above and its CV below. These figures are made up.
TEST(FigureTotal, CountsAddUpWithTheRootOfTheSquaredMargins)
{
    CountTotal total;
    EXPECT_TRUE(total.isEmpty());
    EXPECT_FALSE(total.margin());
    total.add({1200, 300});
    total.add({800, 400});
    EXPECT_DOUBLE_EQ(total.value(), 2000);
    EXPECT_DOUBLE_EQ(*total.margin(), 500);  // sqrt(300² + 400²)
}

// The handbook gives the zero-estimate rule without a worked example; these
// figures are made up.
TEST(FigureTotal, OfSeveralZeroEstimatesOnlyTheLargestMarginCountsOnce)
{
    CountTotal total;
    total.add({1200, 300});
    total.add({0, 21});
    total.add({0, 400});
    total.add({0, 89});
    EXPECT_DOUBLE_EQ(total.value(), 1200);
    EXPECT_DOUBLE_EQ(*total.margin(), 500);  // sqrt(300² + 400²), the 21 and 89 left out

    CountTotal zeros;
    zeros.add({0, 27});
    zeros.add({0, 27});
    EXPECT_DOUBLE_EQ(zeros.value(), 0);
    EXPECT_DOUBLE_EQ(*zeros.margin(), 27);
}

TEST(FigureTotal, OnePlaceWithoutAMarginLeavesTheTotalsMarginUnknown)
{
    CountTotal total;
    total.add({10, 3});
    total.add({20, std::nullopt});
    EXPECT_DOUBLE_EQ(total.value(), 30);
    EXPECT_FALSE(total.margin());
}

TEST(Reliability, TheCoefficientOfVariationIsTheStandardErrorOverTheEstimate)
{
    // 1,645 over 1.645 is a standard error of 1,000: 10% of 10,000.
    EXPECT_NEAR(*coefficientOfVariation(10000, 1645), 10.0, 1e-9);
    EXPECT_NEAR(*coefficientOfVariation(-10000, 1645), 10.0, 1e-9);
    EXPECT_EQ(cvText(*coefficientOfVariation(10000, 1645)), "10.0%");
    // A zero estimate has no CV (and so no reliability word); nor has an annotation.
    EXPECT_FALSE(coefficientOfVariation(0, 27));
    EXPECT_FALSE(coefficientOfVariation(100, -555555555));
}

// The handbook's CV of its three-county total: 203,119 with a margin of 5,070
// is a standard error of 3,082 and a CV of 1.5%.
TEST(Reliability, TheHandbooksThreeCountyTotalHasACvOfOneAndAHalfPercent)
{
    const std::optional<double> cv = coefficientOfVariation(203119, 5070);
    ASSERT_TRUE(cv);
    EXPECT_NEAR(5070 / 1.645, 3082, 0.5);
    EXPECT_EQ(cvText(*cv), "1.5%");
    EXPECT_EQ(reliabilityOf(*cv), Reliability::High);
}

// The CV's text reads as Qt writes the number, at every size and at the
// halfway points (a quarter), the same each time it is asked for.
TEST(Reliability, TheCvsTextIsQtsOneDecimalWithAPercentSign)
{
    QList<double> cvs{0.0, 0.04, 0.05, 0.05000001, 0.25, 0.75, 1.25, 12.25, 12.35, 39.95, 40.05, 99.95,
                      999.94, 999.95, 999.96, 1000.0, 12345.678, 1e20, 1e300};
    for (int i = 0; i < 20000; ++i)
        cvs.append(100.0 * (i * 7919 % 100003) / 1.645 / (1 + i % 997));
    for (const double cv : cvs) {
        const QString expected = QString::number(cv, 'f', 1) + '%';
        EXPECT_EQ(cvText(cv), expected) << cv;
        EXPECT_EQ(cvText(cv), expected) << cv;
    }
}

TEST(Reliability, TheWordsBoundsAreTwelveAndFortyPercentBothMedium)
{
    EXPECT_EQ(reliabilityWord(reliabilityOf(0)), "high");
    EXPECT_EQ(reliabilityWord(reliabilityOf(11.99)), "high");
    EXPECT_EQ(reliabilityWord(reliabilityOf(12.0)), "medium");
    EXPECT_EQ(reliabilityWord(reliabilityOf(40.0)), "medium");
    EXPECT_EQ(reliabilityWord(reliabilityOf(40.01)), "low");
    // Worked out from margins: 1,974 on 10,000 is exactly 12%.
    EXPECT_EQ(reliabilityOf(*coefficientOfVariation(10000, 1974)), Reliability::Medium);
    EXPECT_EQ(reliabilityOf(*coefficientOfVariation(10000, 6581)), Reliability::Low);
}

class TotalRules2017 : public ::testing::Test {
protected:
    FigureTotalRule ruleOf(const QString& id, FigureKind kind)
    {
        CensusVariable variable;
        variable.id = id;
        variable.kind = kind;
        return figureTotalRules({variable}, m_labels).first();
    }

    CensusLabels m_labels = test::keptProfileLabels(2017);
};

TEST_F(TotalRules2017, CountsAddAndPercentsFindTheirCountAndTheRowTheyHangUnder)
{
    EXPECT_EQ(ruleOf("DP05_0001E", FigureKind::Count).way, TotalWay::Sum);
    const FigureTotalRule owners = ruleOf("DP04_0046PE", FigureKind::Percent);
    EXPECT_EQ(owners.way, TotalWay::Share);
    EXPECT_EQ(owners.countId, "DP04_0046E");
    EXPECT_EQ(owners.baseId, "DP04_0045E");  // HOUSING TENURE!!Occupied housing units
    const FigureTotalRule uninsured = ruleOf("DP03_0099PE", FigureKind::Percent);
    EXPECT_EQ(uninsured.way, TotalWay::Share);
    EXPECT_EQ(uninsured.baseId, "DP03_0095E");
    EXPECT_EQ(shareSupportIds({owners, uninsured, owners}),
              QStringList({"DP04_0046E", "DP04_0045E", "DP03_0099E", "DP03_0095E"}));
}

TEST_F(TotalRules2017, MediansMeansPerCapitaAndRatesHaveNoTotalEachWithItsReason)
{
    EXPECT_EQ(ruleOf("DP05_0018E", FigureKind::Years).reason, NoTotalReason::Median);  // Median age
    EXPECT_EQ(ruleOf("DP03_0062E", FigureKind::Dollars).reason, NoTotalReason::Median);
    EXPECT_EQ(ruleOf("DP03_0088E", FigureKind::Dollars).reason, NoTotalReason::PerCapita);
    EXPECT_EQ(ruleOf("DP03_0025E", FigureKind::Minutes).reason, NoTotalReason::Mean);
    // Average household size is kept as a count, yet it is a mean.
    const FigureTotalRule size = ruleOf("DP02_0015E", FigureKind::Count);
    EXPECT_EQ(size.way, TotalWay::None);
    EXPECT_EQ(size.reason, NoTotalReason::Mean);
    // The 2017 "Percent ... or higher" rows and the poverty percents have no count behind them.
    EXPECT_EQ(ruleOf("DP02_0066PE", FigureKind::Percent).reason, NoTotalReason::NoCountOrBase);
    EXPECT_EQ(ruleOf("DP03_0128PE", FigureKind::Percent).reason, NoTotalReason::NoCountOrBase);
    for (NoTotalReason reason : {NoTotalReason::Median, NoTotalReason::Mean, NoTotalReason::PerCapita,
                                 NoTotalReason::NoCountOrBase, NoTotalReason::NotACount, NoTotalReason::Rate})
        EXPECT_FALSE(noTotalReasonText(reason).isEmpty());
}

// A percent of the data profile is of its block's universe row, however deep it
// hangs; the unemployment rate is the unemployed over the civilian labor force;
// an estimate whose label names a rate is never summed, whatever kind it is
// read as. The same IDs in both years.
TEST(TotalRules, PercentsAreOfTheirBlocksUniverseAndRatesAreNoCounts)
{
    struct Case {
        const char* id;
        FigureKind kind;
        FigureTotalRule rule;
    };
    const FigureTotalRule aRate{TotalWay::None, {}, {}, NoTotalReason::Rate};
    const FigureTotalRule noCount{TotalWay::None, {}, {}, NoTotalReason::NoCountOrBase};
    const QList<Case> cases = {
        // Employed: of Population 16 years and over, not of In labor force or the Civilian labor force.
        {"DP03_0004PE", FigureKind::Percent, {TotalWay::Share, "DP03_0004E", "DP03_0001E", {}}},
        // With private health insurance, two levels down: of the Civilian noninstitutionalized population.
        {"DP03_0097PE", FigureKind::Percent, {TotalWay::Share, "DP03_0097E", "DP03_0095E", {}}},
        {"DP03_0009PE", FigureKind::Percent, {TotalWay::Share, "DP03_0005E", "DP03_0008E", {}}},
        {"DP04_0046PE", FigureKind::Percent, {TotalWay::Share, "DP04_0046E", "DP04_0045E", {}}},
        // Units by their costs as a percentage of income are counts, and their percents have a base.
        {"DP04_0111E", FigureKind::Count, {TotalWay::Sum, {}, {}, {}}},
        {"DP04_0111PE", FigureKind::Percent, {TotalWay::Share, "DP04_0111E", "DP04_0110E", {}}},
        {"DP03_0009E", FigureKind::Count, aRate},  // "Unemployment Rate"
        {"DP04_0005E", FigureKind::Count, aRate},  // "Rental vacancy rate"
        {"DP04_0005PE", FigureKind::Percent, noCount},
        {"DP03_0008PE", FigureKind::Percent, noCount},  // the universe itself
        {"DP03_0128PE", FigureKind::Percent, noCount},  // below the poverty level: all people
    };
    for (const int year : {2019, 2023}) {
        const CensusLabels labels = test::keptProfileLabels(year);
        for (const Case& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(year).arg(c.id).toStdString());
            CensusVariable variable;
            variable.id = c.id;
            variable.kind = c.kind;
            const FigureTotalRule rule = figureTotalRules({variable}, labels).first();
            EXPECT_EQ(rule.way, c.rule.way);
            EXPECT_EQ(rule.countId, c.rule.countId);
            EXPECT_EQ(rule.baseId, c.rule.baseId);
            EXPECT_EQ(rule.reason, c.rule.reason);
        }
    }
}

}  // namespace
}  // namespace zd
