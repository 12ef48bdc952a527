#include "ziplist/ziplistreader.h"

#include "core/apperror.h"

#include <QBuffer>
#include <QFileInfo>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zd {
namespace {

// The first CR or LF at or after from, or end when there is none.
qsizetype findLineBreak(const QChar* text, qsizetype from, qsizetype end)
{
    for (qsizetype i = from; i < end; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return i;
    }
    return end;
}

QString describeMissing(const QString& path)
{
    const QFileInfo info(path);
    return QFileInfo(info.absolutePath()).isDir() ? errors::fileNotFound() : errors::pathNotFound();
}

#ifdef Q_OS_UNIX
QString describeErrno(int error, const QString& path)
{
    switch (error) {
    case ENOENT: return describeMissing(path);
    case ENOTDIR: return errors::pathNotFound();
    case EACCES:
    case EPERM: return errors::permissionDenied();
    case ENAMETOOLONG: return QStringLiteral("Bad file name or number");
    case EMFILE:
    case ENFILE: return QStringLiteral("Too many files");
    case ENOMEM: return errors::outOfMemory();
    default: return errors::accessError();
    }
}

// Opens with the system call itself, so that the reason of a failure is known exactly.
void openForReading(QFile& file, const QString& path, ZipListFileReader::Devices devices)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw AppError(describeErrno(errno, path));
    struct stat status {};
    // A folder opens but cannot be read as lines; the window will not wait on a
    // device that could be read forever.
    const bool statusKnown = ::fstat(fd, &status) == 0;
    const bool device = S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode);
    if (!statusKnown || S_ISDIR(status.st_mode)
        || (device && devices == ZipListFileReader::Devices::Refuse)) {
        ::close(fd);
        throw AppError(errors::accessError());
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw AppError(errors::accessError());
    }
}
#else
void openForReading(QFile& file, const QString& path, ZipListFileReader::Devices)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw AppError(errors::accessError());
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw AppError(describeOpenFailure(path));
}
#endif

}  // namespace

QString describeOpenFailure(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        return errors::fileNotFound();
    if (!info.exists())
        return describeMissing(path);
    if (info.isDir())
        return errors::accessError();
    if (!info.isReadable())
        return errors::permissionDenied();
    return errors::accessError();
}

ZipListFileReader::ZipListFileReader(const QString& path, qsizetype blockSize, Devices devices)
    : m_blockSize(blockSize > 0 ? blockSize : kDefaultBlockSize)
{
    if (path.isEmpty())
        throw AppError(errors::fileNotFound());
    openForReading(m_file, path, devices);
    readByteOrderMark();
}

ZipListFileReader::ZipListFileReader(QIODevice& stream, qsizetype blockSize)
    : m_device(&stream), m_blockSize(blockSize > 0 ? blockSize : kDefaultBlockSize)
{
    readByteOrderMark();
}

// Up to count bytes into m_bytes; fewer only at the end of the file.
qint64 ZipListFileReader::readBytes(qsizetype count)
{
    m_bytes.resize(count);
    qint64 done = 0;
    while (done < count) {
        const qint64 read = m_device->read(m_bytes.data() + done, count - done);
        if (read < 0)
            throw AppError(errors::deviceError());
        if (read == 0)
            break;
        done += read;
    }
    m_bytes.resize(done);
    return done;
}

// The text of the bytes after the mark is the first block.
void ZipListFileReader::readByteOrderMark()
{
    readBytes(kLongestByteOrderMark);
    const ByteOrderMark mark = detectByteOrderMark(m_bytes);
    m_decoder.emplace(mark.encoding);
    m_block = m_decoder->decode(QByteArrayView(m_bytes).sliced(mark.size));
    m_position = 0;
}

bool ZipListFileReader::readBlock()
{
    // A block may end inside a character and give no text of its own.
    do {
        if (readBytes(m_blockSize) == 0)
            return false;
        m_block = m_decoder->decode(m_bytes);
    } while (m_block.isEmpty());
    m_position = 0;
    return true;
}

// The piece from the current position up to end, joined to what earlier blocks held.
QString ZipListFileReader::takePiece(qsizetype end)
{
    const QStringView tail = QStringView(m_block).sliced(m_position, end - m_position);
    if (m_carry.isEmpty())
        return tail.toString();
    m_carry.append(tail);
    return std::exchange(m_carry, QString());
}

bool ZipListFileReader::nextEntry(QString& entry)
{
    for (;;) {
        if (m_position == m_block.size() && !readBlock()) {
            // An open line with no text carried over was opened by a final LF.
            const bool finalLf = m_lineOpen && m_carry.isEmpty();
            if (!m_lineOpen || (finalLf && m_finalLineEnd == FinalLineEnd::AddsNoEntry))
                return false;
            // The last line had no line end: its text after the last LF is one more entry.
            entry = takePiece(m_position);
            m_lineOpen = false;
            return true;
        }
        if (m_dropNextLf) {
            m_dropNextLf = false;
            if (m_block.at(m_position) == u'\n') {
                ++m_position;
                continue;
            }
        }
        const qsizetype end = m_block.size();
        const qsizetype lineBreak = findLineBreak(m_block.constData(), m_position, end);
        if (lineBreak == end) {
            m_carry.append(QStringView(m_block).sliced(m_position));
            m_lineOpen = true;
            m_position = end;
            continue;
        }
        entry = takePiece(lineBreak);
        const bool isCr = m_block.at(lineBreak) == u'\r';
        m_lineOpen = !isCr;  // after an LF the line goes on, maybe with empty text
        m_dropNextLf = isCr;
        m_position = lineBreak + 1;
        return true;
    }
}

QStringList ZipListFileReader::remainingEntries()
{
    QStringList entries;
    QString entry;
    while (nextEntry(entry))
        entries.append(entry);
    return entries;
}

QStringList splitZipListEntries(QByteArrayView bytes)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ZipListFileReader(buffer).remainingEntries();
}

}  // namespace zd
