// Zip list reading: the whole-buffer split and the streaming reader (with a tiny
// block, so line ends and characters straddle blocks) agree with a plain reading
// of the rules over the whole text.
#include "core/apperror.h"
#include "core/windows1252.h"
#include "ziplist/ziplistreader.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdlib>
#include <utility>

namespace {
// The text of the whole input: after a byte-order mark in the encoding it names,
// else one character a byte.
QString wholeText(const QByteArray& bytes)
{
    const std::pair<const char*, QStringConverter::Encoding> marks[] = {
        {"\xEF\xBB\xBF", QStringConverter::Utf8},
        {"\xFF\xFE", QStringConverter::Utf16LE},
        {"\xFE\xFF", QStringConverter::Utf16BE}};
    for (const auto& [mark, encoding] : marks) {
        if (bytes.startsWith(mark)) {
            QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
            return decoder.decode(QByteArrayView(bytes).sliced(qstrlen(mark)));
        }
    }
    return zd::decodeWindows1252(bytes);
}

// A line ends at CR or CR LF; each line is then cut at every LF.
QStringList referenceEntries(const QString& text)
{
    QStringList entries;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        const bool hasCr = end >= 0;
        if (!hasCr)
            end = text.size();
        entries += text.mid(start, end - start).split(QLatin1Char('\n'));
        start = end + (hasCr ? 1 : 0);
        if (hasCr && start < text.size() && text.at(start) == QLatin1Char('\n'))
            ++start;
    }
    return entries;
}

// The file each input is written to, removed when the run ends. Memory-backed
// when the machine has it: the reader runs once per input.
QString scratchPath()
{
    static QTemporaryFile scratch(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/zd-fuzz-ziplist-XXXXXX"));
    if (!scratch.isOpen() && !scratch.open())
        std::abort();
    return scratch.fileName();
}

QStringList readThroughFile(const QByteArray& bytes)
{
    QFile file(scratchPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();
    QStringList entries;
    zd::ZipListFileReader reader(scratchPath(), 3);
    QString entry;
    while (reader.nextEntry(entry))
        entries.append(entry);
    return entries;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList expected = referenceEntries(wholeText(bytes));
    if (zd::splitZipListEntries(bytes) != expected)
        std::abort();
    if (readThroughFile(bytes) != expected)
        std::abort();
    return 0;
}
