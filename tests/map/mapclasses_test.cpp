// The quantile classes, the palette they are coloured with, and the numbers of
// the legend written in the figure's unit.
#include "map/sequentialpalette.h"
#include "map/valueclasses.h"
#include "map/valuestyle.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(QuantileClasses, CutTheSortedValuesIntoRunsOfEqualLength)
{
    const ValueClasses classes = quantileClasses({10, 1, 9, 2, 8, 3, 7, 4, 6, 5}, 5);
    EXPECT_EQ(classes.lowest, (QList<double>{1, 3, 5, 7, 9}));
    EXPECT_EQ(classes.highest, (QList<double>{2, 4, 6, 8, 10}));
    // Each value falls in the class whose limits hold it; the ends too.
    for (int value = 1; value <= 10; ++value)
        EXPECT_EQ(classes.classOf(value), (value - 1) / 2) << value;
}

TEST(QuantileClasses, UnevenCountsPutTheSpareValuesInTheLaterClasses)
{
    const ValueClasses classes = quantileClasses({1, 2, 3, 4, 5, 6, 7}, 3);
    EXPECT_EQ(classes.highest, (QList<double>{3, 5, 7}));
    EXPECT_EQ(classes.lowest, (QList<double>{1, 4, 6}));
}

TEST(QuantileClasses, FewerDistinctValuesThanClassesGiveOneClassPerValue)
{
    const ValueClasses classes = quantileClasses({5, 5, 5, 7, 7, 9}, 5);
    EXPECT_EQ(classes.count(), 3);
    EXPECT_EQ(classes.lowest, (QList<double>{5, 7, 9}));
    EXPECT_EQ(classes.highest, (QList<double>{5, 7, 9}));
    // One value alone makes one class; none makes none, and no class to fall in.
    EXPECT_EQ(quantileClasses({42, 42, 42}, 5).count(), 1);
    EXPECT_EQ(quantileClasses({}, 5).count(), 0);
    EXPECT_EQ(quantileClasses({}, 5).classOf(1), -1);
}

TEST(QuantileClasses, EqualValuesAreNeverSplitBetweenClasses)
{
    // The cut after the second value would split the run of 2s.
    const ValueClasses classes = quantileClasses({1, 2, 2, 2, 2, 2, 3, 4}, 4);
    for (int c = 1; c < classes.count(); ++c)
        EXPECT_GT(classes.lowest[c], classes.highest[c - 1]);
    EXPECT_EQ(classes.classOf(2), classes.classOf(2.0));
    EXPECT_EQ(classes.lowest.constFirst(), 1);
    EXPECT_EQ(classes.highest.constLast(), 4);
}

TEST(QuantileClasses, ValuesBetweenOrBeyondTheLimitsFindTheirNeighbours)
{
    const ValueClasses classes = quantileClasses({10, 20, 30, 40}, 2);
    EXPECT_EQ(classes.classOf(-100), 0);
    EXPECT_EQ(classes.classOf(25), 1);  // between 20 (class 0) and 30 (class 1)
    EXPECT_EQ(classes.classOf(1e9), 1);
}

TEST(SequentialPalette, EachCountHasThatManyDistinctColoursFromLightToDark)
{
    for (int count = 1; count <= kMostMapClasses; ++count) {
        SCOPED_TRACE(count);
        const QList<QColor> colours = sequentialPalette(count);
        ASSERT_EQ(colours.size(), count);
        for (int i = 1; i < count; ++i)
            EXPECT_GT(colours[i - 1].lightness(), colours[i].lightness());
    }
    EXPECT_TRUE(sequentialPalette(0).isEmpty());
    EXPECT_TRUE(sequentialPalette(kMostMapClasses + 1).isEmpty());
}

TEST(ValueStyle, TheLegendWritesNumbersAsTheFigureShowsThem)
{
    EXPECT_EQ(formatValue(110750, valueStyleOf({"$136,900", "$84,600"})), "$110,750");
    EXPECT_EQ(formatValue(21.46, valueStyleOf({"18.7%", "24.2%"})), "21.5%");
    EXPECT_EQ(formatValue(44, valueStyleOf({"46.0 years"})), "44.0 years");
    EXPECT_EQ(formatValue(12345, valueStyleOf({"950", "19,756"})), "12,345");
    EXPECT_EQ(formatValue(2.5, valueStyleOf({"2.79", "3"})), "2.50");
    EXPECT_EQ(formatValue(-1500, valueStyleOf({"-2,500"})), "-1,500");
}

TEST(ValueStyle, TextsThatAreNoNumbersAreLeftOut)
{
    // A census figure the API withholds is no number; the others set the style.
    EXPECT_EQ(formatValue(1234, valueStyleOf({"-", "N/A", "$1,000"})), "$1,234");
    EXPECT_EQ(formatValue(1234, valueStyleOf({})), "1234");
}

}  // namespace
}  // namespace zd
