#pragma once

#include "ziplist/ziplisttext.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// Reads the entries of a zip list file (or of any stream) one at a time, without
// holding it in memory. A line ends at CR or at CR LF; each line is then cut at every LF it
// still holds, and every piece, empty or not, is one entry. The text is
// Windows-1252, or what a byte-order mark at the start says (see ZipListDecoder).
class ZipListFileReader {
public:
    static constexpr qsizetype kDefaultBlockSize = 64 * 1024;
    // Whether a character or block device (/dev/null, /dev/stdin) is read like a
    // file: the command line reads it, the window refuses it as it always has.
    enum class Devices { Refuse, Read };
    // Whether a line end at the very end of the file opens one more, empty entry.
    // The window's rule: after a final LF there is one (after CR or CR LF none).
    // The command line's: after none of them.
    enum class FinalLineEnd { AddsEntryAfterLf, AddsNoEntry };

    // Opens the file; throws AppError with a clear description when it cannot.
    explicit ZipListFileReader(const QString& path, qsizetype blockSize = kDefaultBlockSize,
                               Devices devices = Devices::Refuse);
    // Reads from a stream that is open for reading (standard input, a buffer).
    explicit ZipListFileReader(QIODevice& stream, qsizetype blockSize = kDefaultBlockSize);
    ZipListFileReader(const ZipListFileReader&) = delete;
    ZipListFileReader& operator=(const ZipListFileReader&) = delete;

    // The next entry, or false at the end of the file. Throws AppError when reading fails.
    bool nextEntry(QString& entry);
    // Every entry from here to the end.
    QStringList remainingEntries();
    void close() { m_device->close(); }
    void setFinalLineEnd(FinalLineEnd rule) { m_finalLineEnd = rule; }

private:
    void readByteOrderMark();
    qint64 readBytes(qsizetype count);
    bool readBlock();
    QString takePiece(qsizetype end);

    QFile m_file;
    QIODevice* m_device = &m_file;
    qsizetype m_blockSize;
    std::optional<ZipListDecoder> m_decoder;
    QByteArray m_bytes;          // the bytes last read
    QString m_block;             // the text they gave
    qsizetype m_position = 0;
    QString m_carry;             // the start of a piece that began in an earlier block
    bool m_lineOpen = false;     // bytes were read since the last CR or CR LF
    bool m_dropNextLf = false;   // the last byte was a CR, maybe at the end of a block
    FinalLineEnd m_finalLineEnd = FinalLineEnd::AddsEntryAfterLf;
};

// The entries of a whole zip list file held in memory.
QStringList splitZipListEntries(QByteArrayView bytes);

// The description of a failure to open the file at path for reading.
QString describeOpenFailure(const QString& path);

}  // namespace zd
