// Reading a figure's value as a number, and the workbook format that shows it as
// the page did.
#include "export/figurenumber.h"
#include "export/workbookwriter.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

struct NumberCase {
    const char* text;
    double value;
    const char* format;
};

class FigureNumberReads : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FigureNumberReads, ValueAndFormatAsShown)
{
    const std::optional<FigureNumber> number = readFigureNumber(QString::fromUtf8(GetParam().text));
    ASSERT_TRUE(number.has_value()) << GetParam().text;
    EXPECT_DOUBLE_EQ(number->value, GetParam().value);
    EXPECT_EQ(workbookNumberFormat(*number), QString::fromUtf8(GetParam().format));
}

INSTANTIATE_TEST_SUITE_P(
    Figures, FigureNumberReads,
    ::testing::Values(NumberCase{"19,756", 19756, "#,##0"}, NumberCase{"1,234,567", 1234567, "#,##0"},
                      NumberCase{"881", 881, "0"}, NumberCase{"0", 0, "0"},
                      NumberCase{"2.79", 2.79, "0.00"}, NumberCase{"0.5", 0.5, "0.0"},
                      NumberCase{"18.7%", 18.7, "0.0%"}, NumberCase{"6.1 %", 6.1, "0.0%"},
                      NumberCase{"$136,900", 136900, "$#,##0"}, NumberCase{"$1,075.50", 1075.5, "$#,##0.00"},
                      NumberCase{"-$5", -5, "$0"}, NumberCase{"$-5", -5, "$0"}, NumberCase{"-2.5", -2.5, "0.0"},
                      NumberCase{"46.0 years", 46, "0.0\" years\""},
                      NumberCase{"22.4 sq. mi.", 22.4, "0.0\" sq. mi.\""},
                      NumberCase{"1,881 per sq. mi.", 1881, "#,##0\" per sq. mi.\""},
                      NumberCase{"\u00a0 19,756 ", 19756, "#,##0"}));

class FigureNumberRefuses : public ::testing::TestWithParam<const char*> {};

TEST_P(FigureNumberRefuses, TextThatIsNoSingleNumber)
{
    EXPECT_FALSE(readFigureNumber(QString::fromUtf8(GetParam())).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FigureNumberRefuses,
    ::testing::Values("", " ", "N/A", "-", "$", "%", "41\u00bd years", "3\u2030", "\u20ac 1.050", "1,23",
                      "12,3456", ",123", "1.", ".5", "03053", "00501", "1.2 million", "5 thousand",
                      "--5", "-$-5", "12 34", "$10,000 to $14,999", "1e5", "\uff11\uff12"));

}  // namespace
}  // namespace zd
