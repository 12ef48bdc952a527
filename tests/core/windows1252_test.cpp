#include "core/windows1252.h"

#include <gtest/gtest.h>

using namespace zd;

TEST(Windows1252, EveryByteDecodesToOneCharacterAndEncodesBack)
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encodeWindows1252(text), all);
}

TEST(Windows1252, DecodesTheHighRangeByTheCodePage)
{
    EXPECT_EQ(decodeWindows1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(decodeWindows1252("\x93\x94"), QString::fromUtf16(u"\u201C\u201D"));
    EXPECT_EQ(decodeWindows1252("\xE9"), QString(QChar(0xE9)));
}

TEST(Windows1252, UndefinedBytesBecomeTheControlCharacterOfTheSameValue)
{
    for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const char raw = static_cast<char>(byte);
        EXPECT_EQ(decodeWindows1252(QByteArrayView(&raw, 1)), QString(QChar(byte))) << int(byte);
    }
}

TEST(Windows1252, CharactersOutsideTheCodePageEncodeAsQuestionMarks)
{
    EXPECT_EQ(encodeWindows1252(QString::fromUtf16(u"a\u4E2Db\u0080")), QByteArray("a?b?"));
    // A character beyond the basic plane takes two code units, so two marks:
    // line lengths in bytes keep matching the widths counted in code units.
    EXPECT_EQ(encodeWindows1252(QString::fromUtf16(u"\U0001F600")), QByteArray("??"));
}

TEST(Windows1252, ChunkByChunkDecodingEqualsWholeDecoding)
{
    const QByteArray body("caf\xE9 \x80 \x9D end");
    QString pieces;
    for (qsizetype i = 0; i < body.size(); ++i)
        appendWindows1252(pieces, body.mid(i, 1));
    EXPECT_EQ(pieces, decodeWindows1252(body));
}
