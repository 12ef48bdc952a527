#include "keystore/keyfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "core/apikeyfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zd {
namespace {

QString systemError(int number) { return QString::fromLocal8Bit(std::strerror(number)); }

// The key's own folder: made only its owner's (0700), or tightened to that when
// it is there already. Anything but a folder of this user is refused.
bool preparePrivateFolder(const QString& folder, QString& error)
{
    const QString parent = QFileInfo(folder).absolutePath();
    if (!QDir().mkpath(parent)) {
        error = "cannot create the folder \"" + parent + "\"";
        return false;
    }
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create the folder \"" + folder + "\": " + systemError(errno);
        return false;
    }
    struct stat status {};
    if (::lstat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) {
        error = "\"" + folder + "\" is not a folder of this user";
        return false;
    }
    if ((status.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        error = "cannot make the folder \"" + folder + "\" private: " + systemError(errno);
        return false;
    }
    return true;
}

bool writeAll(int descriptor, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// A new file of the key beside the target, 0600 from its creation on, then
// renamed over the target; removed again on any failure.
bool replaceWith(const QString& path, const QByteArray& content, QString& error)
{
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());  // created 0600
    if (descriptor < 0) {
        error = "cannot create a file in \"" + QFileInfo(path).absolutePath() + "\": " + systemError(errno);
        return false;
    }
    const bool written = writeAll(descriptor, content) && ::fsync(descriptor) == 0;
    const int writeError = errno;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int failure = written && closed ? errno : writeError;
        ::unlink(temporary.constData());
        error = "cannot write \"" + path + "\": " + systemError(failure);
        return false;
    }
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace

QString KeyFile::defaultPath()
{
    // A relative XDG_CONFIG_HOME is to be ignored: it would put the key in
    // whatever folder the program was started from.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = QDir::isAbsolutePath(configHome) ? configHome : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base) + QStringLiteral("/zipdemographics/census-api-key");
}

ApiKeyFileReading KeyFile::read() const
{
    ApiKeyFileReading reading = readApiKeyFile(m_path);
    if (reading.missing)
        reading.error.clear();
    return reading;
}

bool KeyFile::write(const QString& key, QString& error) const
{
    return preparePrivateFolder(QFileInfo(m_path).absolutePath(), error)
           && replaceWith(m_path, key.toUtf8() + '\n', error);
}

bool KeyFile::remove(bool& removed, QString& error) const
{
    removed = false;
    if (::unlink(QFile::encodeName(m_path).constData()) == 0) {
        removed = true;
        return true;
    }
    if (errno == ENOENT)
        return true;
    error = "cannot remove \"" + m_path + "\": " + systemError(errno);
    return false;
}

}  // namespace zd
