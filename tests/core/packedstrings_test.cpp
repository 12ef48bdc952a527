#include "core/packedstrings.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(PackedStrings, GivesBackEveryStringAsItWentInEmptyOnesAndLoneSurrogatesIncluded)
{
    const QStringList strings{QStringLiteral("03053"), QString(), QStringLiteral(" 123 "),
                              QString::fromUtf16(u"caf\u00E9"), QString(QChar(0xD800)) + "x",
                              QString::fromUtf16(u"\U0001F600"), QString()};
    PackedStrings packed(strings);
    packed.squeeze();
    ASSERT_EQ(packed.size(), strings.size());
    for (qsizetype i = 0; i < strings.size(); ++i)
        EXPECT_EQ(packed.at(i), strings[i]) << i;
    EXPECT_EQ(packed.toStringList(), strings);
    EXPECT_TRUE(PackedStrings().isEmpty());
}
