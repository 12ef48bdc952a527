#include "batch/distincttexts.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace zd;

namespace {

// Numbers every text of `texts` in turn; the numbers given, one per text.
QList<qsizetype> numbersOf(const QStringList& texts, DistinctTexts::Hash hash)
{
    QStringList firstTexts;
    DistinctTexts distinct([&](qsizetype number) { return firstTexts[number]; }, hash);
    QList<qsizetype> numbers;
    for (const QString& text : texts) {
        const DistinctTexts::Numbered numbered = distinct.number(text);
        EXPECT_EQ(numbered.isNew, numbered.number == firstTexts.size()) << text.toStdString();
        if (numbered.isNew)
            firstTexts.append(text);
        numbers.append(numbered.number);
    }
    EXPECT_EQ(distinct.size(), firstTexts.size());
    return numbers;
}

quint64 everyTextCollides(QStringView) { return 42; }

}  // namespace

// Thousands of texts, so that the table grows many times, each given twice in
// different orders: the same text gets the same number, a new one the next.
TEST(DistinctTexts, NumbersTextsInTheOrderTheyFirstComeAcrossGrowth)
{
    QStringList texts;
    QList<qsizetype> expected;
    for (int i = 0; i < 5000; ++i) {
        texts.append(QString::number(i));
        expected.append(i);
    }
    for (int i = 4999; i >= 0; i -= 7) {
        texts.append(QString::number(i));
        expected.append(i);
    }
    EXPECT_EQ(numbersOf(texts, &DistinctTexts::defaultHash), expected);
}

// Texts that share a hash are told apart by their text, never joined.
TEST(DistinctTexts, TextsWithTheSameHashStayDistinct)
{
    const QStringList texts{"a", "b", "a", "c", "b", "", "c", ""};
    EXPECT_EQ(numbersOf(texts, &everyTextCollides), (QList<qsizetype>{0, 1, 0, 2, 1, 3, 2, 3}));
}
