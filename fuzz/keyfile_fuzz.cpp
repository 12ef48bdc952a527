// The key file's bytes, whatever they are: a key read is one trimmed line of
// bounded length that reads back the same once written, a file that holds no key
// says so, and no message repeats what the file holds.
#include "keystore/keyfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
constexpr qsizetype kLongestKey = 4096;

void require(bool holds)
{
    if (!holds)
        std::abort();
}

// The key file of the run, in a folder removed when the run ends. Memory-backed
// when the machine has it: the file is written and read once per input.
const zd::KeyFile& keyFile()
{
    static QTemporaryDir folder(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/zd-fuzz-keyfile-XXXXXX"));
    static const zd::KeyFile file = [] {
        if (!folder.isValid() || !QDir().mkpath(folder.filePath(QStringLiteral("zipdemographics"))))
            std::abort();
        return zd::KeyFile(folder.filePath(QStringLiteral("zipdemographics/census-api-key")));
    }();
    return file;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// Whether the message repeats a long word of the file's first line (the file's
// own name aside, which a message may give).
bool repeatsFirstLine(QString message, const QByteArray& bytes, const QString& path)
{
    const QString firstLine = QString::fromUtf8(bytes.left(kLongestKey).split('\n').first()).trimmed();
    message.remove(path);
    return firstLine.size() >= 12 && !firstLine.contains(QLatin1Char(' ')) && message.contains(firstLine);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zd::KeyFile& file = keyFile();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    writeBytes(file.path(), bytes);

    QString error;
    const QString key = file.read(error);
    require(!repeatsFirstLine(error, bytes, file.path()));
    if (!error.isEmpty())
        return 0;
    require(!key.isEmpty() && key == key.trimmed() && !key.contains(QLatin1Char('\n')) && key.size() <= kLongestKey);

    // A key that fills the longest line may not fit it again once written as
    // UTF-8; one that starts with a byte-order mark loses it when read again, as
    // the first line of a file saved with one does.
    QString writeError;
    if (key.toUtf8().size() >= kLongestKey - 1 || key.startsWith(QChar(0xFEFF)) || !file.write(key, writeError))
        return 0;
    QString readError;
    require(file.read(readError) == key && readError.isEmpty());
    return 0;
}
