// Reading a figure's value as a number, and the workbook format that shows it as
// the page did.
#include "export/figurenumber.h"
#include "export/workbookwriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

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

bool sameReading(const std::optional<FigureNumber>& a, const std::optional<FigureNumber>& b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return std::memcmp(&a->value, &b->value, sizeof(double)) == 0
           && std::memcmp(&a->stored, &b->stored, sizeof(double)) == 0 && a->decimals == b->decimals
           && a->grouped == b->grouped && a->percent == b->percent && a->currency == b->currency
           && a->unit == b->unit;
}

// The reading by hand against the pattern's, on texts made of the pieces the
// pattern cares about (and a few it must refuse), joined at random: the same
// answer for every one, to the bit, and the same value read alone.
TEST(FigureNumberByHand, ReadsEveryTextAsThePatternDoes)
{
    const QStringList pieces{"-", "$", "0", "1", "5", "9", "12", "123", "1234", ",", ",000", ",12", ".", ".5",
                             "%", " ", "  ", "\t", "\n", "\v", "\f", "\r", "a", "Z", ".", "years", "sq.", "mi.",
                             "per", "million", "Thousand", "e5", "\u00a0", "\u0663", "\u2009", "\uff11",
                             QString(400, u'9'), "0." + QString(400, u'0') + "1"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1);
    std::uniform_int_distribution<int> length(1, 7);
    int numbers = 0;
    for (int i = 0; i < 200000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += pieces[piece(random)];
        const std::optional<FigureNumber> byHand = readFigureNumber(text);
        ASSERT_TRUE(sameReading(byHand, readFigureNumberByPattern(text))) << text.toStdString();
        const std::optional<double> value = readFigureValue(text);
        ASSERT_EQ(value.has_value(), byHand.has_value()) << text.toStdString();
        ASSERT_TRUE(!value || std::bit_cast<quint64>(*value) == std::bit_cast<quint64>(byHand->value));
        numbers += byHand ? 1 : 0;
    }
    EXPECT_GT(numbers, 5000) << "too few texts were numbers to compare the readings";
}

// Decimals as pages show them, read as the text reads by itself: the value, and
// for a percentage the number stored, to the bit.
TEST(FigureNumberByHand, ValuesAreTheNearestDoublesToTheDecimals)
{
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        const QString whole = QString::number(1 + random() % 999999999999ULL).left(1 + int(random() % 12));
        const QString fraction = QString::number(random()).left(int(random() % 9));
        const QString decimal = fraction.isEmpty() ? whole : whole + '.' + fraction;
        const std::optional<FigureNumber> plain = readFigureNumber(decimal);
        const std::optional<FigureNumber> percent = readFigureNumber(decimal + '%');
        ASSERT_TRUE(plain && percent) << decimal.toStdString();
        ASSERT_EQ(std::bit_cast<quint64>(plain->value), std::bit_cast<quint64>(decimal.toDouble())) << decimal.toStdString();
        ASSERT_EQ(std::bit_cast<quint64>(percent->stored), std::bit_cast<quint64>((decimal + "e-2").toDouble()))
            << decimal.toStdString();
    }
}

}  // namespace
}  // namespace zd
