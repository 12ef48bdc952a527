// The key file's bytes, whatever they are: a key read is one word of printable
// ASCII of bounded length that reads back the same once written, a file that
// holds no key says so, and no message repeats what the file holds.
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

    const zd::ApiKeyFileReading reading = file.read();
    require(!repeatsFirstLine(reading.error, bytes, file.path()));
    require(!repeatsFirstLine(reading.warning, bytes, file.path()));
    if (!reading.error.isEmpty() || reading.missing) {
        require(reading.key.isEmpty());
        return 0;
    }
    const QString& key = reading.key;
    require(key.size() <= zd::kLongestApiKey && zd::apiKeyProblem(key).isEmpty());
    for (const QChar c : key)
        require(c.unicode() > 0x20 && c.unicode() < 0x7F);

    QString writeError;
    if (!file.write(key, writeError))
        return 0;
    const zd::ApiKeyFileReading again = file.read();
    require(again.key == key && again.error.isEmpty());
    return 0;
}
