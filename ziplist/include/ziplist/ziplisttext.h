#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

namespace zd {

// How the bytes of a zip list file become text. A byte-order mark at the start
// selects UTF-8, UTF-16 LE or UTF-16 BE; a file without one is Windows-1252.
enum class ZipListEncoding { Windows1252, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct ByteOrderMark {
    ZipListEncoding encoding = ZipListEncoding::Windows1252;
    qsizetype size = 0;  // bytes the mark takes; 0 without one
};

// The longest mark, in bytes: enough of the file's start to tell.
constexpr qsizetype kLongestByteOrderMark = 3;

// The mark at the start of the bytes, if any.
ByteOrderMark detectByteOrderMark(QByteArrayView start);

// Turns the bytes after the mark into text, block by block: a character whose
// bytes straddle two blocks comes out whole with the second.
class ZipListDecoder {
public:
    explicit ZipListDecoder(ZipListEncoding encoding);
    QString decode(QByteArrayView bytes);

private:
    std::optional<QStringDecoder> m_unicode;  // nothing: Windows-1252
};

}  // namespace zd
