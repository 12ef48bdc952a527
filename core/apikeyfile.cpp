#include "core/apikeyfile.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zd {
namespace {

// Room for the longest key with spaces and blank lines about it; anything
// longer is no key file, and is not read whole.
constexpr qint64 kLongestKeyFile = 4096;

bool isSpaceOrControl(QChar character) { return character.unicode() <= 0x20 || character.unicode() == 0x7f; }

QString namedFile(const QString& path) { return "the key file \"" + path + "\""; }

// The path as typed at a shell prompt: quoted when it holds anything but the
// characters that need no quoting.
QString shellWord(QString path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return '\'' + path.replace(QLatin1Char('\''), QLatin1String("'\\''")) + '\'';
}

QByteArray readUpTo(int descriptor, qint64 limit, int& failure)
{
    QByteArray bytes(limit, Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        const ssize_t got = ::read(descriptor, bytes.data() + done, size_t(limit - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failure = errno;
        if (got <= 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

// The key of the file's content: its first line, trimmed, alone in the file.
QString keyOfContent(QByteArray content, const QString& named, QString& error)
{
    if (content.startsWith("\xEF\xBB\xBF"))  // a byte-order mark some editors write first
        content.remove(0, 3);
    const qsizetype end = content.indexOf('\n');
    const QByteArray firstLine = content.left(end < 0 ? content.size() : end).trimmed();
    if (firstLine.isEmpty()) {
        error = named + " holds no key on its first line";
        return {};
    }
    if (end >= 0 && !content.mid(end + 1).trimmed().isEmpty()) {
        error = named + " holds more than the key: a key file holds the key alone, on one line";
        return {};
    }
    const QString key = QString::fromLatin1(firstLine);
    if (const QString problem = apiKeyProblem(key); !problem.isEmpty()) {
        error = named + " holds no usable key: " + problem;
        return {};
    }
    return key;
}

QString openToOthersWarning(const QString& path, mode_t mode)
{
    return namedFile(path) + " may be read or changed by others (its mode is "
           + QString::number(mode & 0777, 8).rightJustified(4, '0') + "); make it yours alone: chmod 600 "
           + shellWord(path);
}

}  // namespace

QString apiKeyProblem(const QString& key)
{
    if (key.isEmpty())
        return QStringLiteral("no key was given");
    if (key.size() > kLongestApiKey)
        return QStringLiteral("the key is %1 characters long; a key has at most %2").arg(key.size()).arg(kLongestApiKey);
    for (const QChar character : key) {
        if (isSpaceOrControl(character))
            return QStringLiteral("the key holds a space or a control character; a Census Data API key is one "
                                  "word of letters and digits");
        if (character.unicode() > 0x7e)
            return QStringLiteral("the key holds a character other than ASCII letters, digits and punctuation; a "
                                  "Census Data API key is one word of letters and digits");
    }
    return {};
}

ApiKeyFileReading readApiKeyFile(const QString& path)
{
    ApiKeyFileReading reading;
    const QString named = namedFile(path);
    // Not blocking: a pipe there must not hold the reading up.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        reading.missing = errno == ENOENT || errno == ENOTDIR;  // nothing there, or a file where a folder would be
        reading.error = "cannot read " + named + ": " + QString::fromLocal8Bit(std::strerror(errno));
        return reading;
    }
    struct stat status {};
    int failure = 0;
    if (::fstat(descriptor, &status) != 0) {
        failure = errno;
    } else if (!S_ISREG(status.st_mode)) {
        reading.error = named + " is not a regular file";
    } else if (status.st_size > kLongestKeyFile) {
        reading.error = named + " is " + QString::number(status.st_size) + " bytes long: a key file holds one key of "
                        + "at most " + QString::number(kLongestApiKey) + " characters";
    } else {
        const QByteArray content = readUpTo(descriptor, kLongestKeyFile + 1, failure);
        if (!failure && content.size() > kLongestKeyFile)
            reading.error = named + " grew beyond " + QString::number(kLongestKeyFile) + " bytes while it was read";
        else if (!failure)
            reading.key = keyOfContent(content, named, reading.error);
    }
    ::close(descriptor);
    if (failure)
        reading.error = "cannot read " + named + ": " + QString::fromLocal8Bit(std::strerror(failure));
    if (!reading.key.isEmpty() && (status.st_mode & 077) != 0)
        reading.warning = openToOthersWarning(path, status.st_mode);
    return reading;
}

}  // namespace zd
