#include "ziplist/ziplisttext.h"

#include "core/windows1252.h"

namespace zd {

ByteOrderMark detectByteOrderMark(QByteArrayView start)
{
    if (start.startsWith("\xEF\xBB\xBF"))
        return {ZipListEncoding::Utf8, 3};
    if (start.startsWith("\xFF\xFE"))
        return {ZipListEncoding::Utf16LittleEndian, 2};
    if (start.startsWith("\xFE\xFF"))
        return {ZipListEncoding::Utf16BigEndian, 2};
    return {};
}

namespace {

std::optional<QStringConverter::Encoding> unicodeEncoding(ZipListEncoding encoding)
{
    switch (encoding) {
    case ZipListEncoding::Utf8: return QStringConverter::Utf8;
    case ZipListEncoding::Utf16LittleEndian: return QStringConverter::Utf16LE;
    case ZipListEncoding::Utf16BigEndian: return QStringConverter::Utf16BE;
    case ZipListEncoding::Windows1252: break;
    }
    return std::nullopt;
}

}  // namespace

ZipListDecoder::ZipListDecoder(ZipListEncoding encoding)
{
    // The mark is taken off before decoding: a second one is text like any other.
    if (const std::optional<QStringConverter::Encoding> unicode = unicodeEncoding(encoding))
        m_unicode.emplace(*unicode, QStringConverter::Flag::ConvertInitialBom);
}

QString ZipListDecoder::decode(QByteArrayView bytes)
{
    return m_unicode ? m_unicode->decode(bytes) : decodeWindows1252(bytes);
}

}  // namespace zd
