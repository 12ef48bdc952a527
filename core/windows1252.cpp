#include "core/windows1252.h"

#include <array>

namespace zd {
namespace {
// Characters of the bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t decodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControlRange[byte - 0x80];
    return byte;
}

char encodeCharacter(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == character)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}
}  // namespace

void appendWindows1252(QString& text, QByteArrayView bytes)
{
    const qsizetype start = text.size();
    text.resize(start + bytes.size());
    QChar* out = text.data() + start;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(decodeByte(static_cast<unsigned char>(bytes[i])));
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text;
    appendWindows1252(text, bytes);
    return text;
}

void appendEncodedWindows1252(QByteArray& bytes, QStringView text)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char* out = bytes.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeCharacter(text[i].unicode());
}

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray bytes;
    appendEncodedWindows1252(bytes, text);
    return bytes;
}

}  // namespace zd
