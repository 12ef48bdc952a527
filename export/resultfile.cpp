#include "export/resultfile.h"

#include "app/core/apperror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace zd {
namespace {

QString accessError() { return QStringLiteral("Path/File access error"); }

struct ErrnoText {
    int error;
    QString (*text)();
};

QString deviceError() { return QStringLiteral("Device I/O error"); }

// Qt reports a failed system call with the system's text for its error number.
QString describeSystemError(const QString& errorString)
{
    static const ErrnoText kTexts[] = {
        {EACCES, errors::permissionDenied}, {EPERM, errors::permissionDenied},
        {EROFS, errors::permissionDenied},  {ENOENT, errors::pathNotFound},
        {ENOTDIR, errors::pathNotFound},    {ENOSPC, errors::diskFull},
        {EFBIG, errors::diskFull},          {EIO, deviceError},
        {EISDIR, accessError},
#ifdef EDQUOT
        {EDQUOT, errors::diskFull},
#endif
    };
    for (const ErrnoText& entry : kTexts) {
        if (errorString == qt_error_string(entry.error))
            return entry.text();
    }
    return accessError();
}

// A failure to create the file: the cases that the system's text does not tell apart.
QString describeCreateFailure(const QString& path, const QFileDevice& device)
{
    if (path.isEmpty())
        return errors::invalidArgument();
    const QFileInfo target(path);
    if (target.isDir())
        return accessError();
    if (!QFileInfo(target.absolutePath()).isDir())
        return errors::pathNotFound();
    if (target.exists() && !target.isWritable())
        return errors::permissionDenied();
    // The folder is there, so "not found" can only mean that it takes no new files
    // (as /proc and /sys do, even for the superuser).
    const QString described = describeFileFailure(device);
    return described == errors::pathNotFound() ? accessError() : described;
}

bool isSpecialFile(const QString& path)
{
    const QFileInfo target(path);
    return target.exists() && !target.isFile() && !target.isDir();
}

}  // namespace

QString describeFileFailure(const QFileDevice& device)
{
    if (device.error() == QFileDevice::ResourceError)
        return errors::diskFull();
    return describeSystemError(device.errorString());
}

ResultFile::ResultFile(QString path) : m_path(std::move(path))
{
    m_pending.reserve(kBlockSize + 64 * 1024);
}

// An uncommitted temporary file is removed with its device.
ResultFile::~ResultFile() = default;

// An uncommitted temporary file goes with its device.
void ResultFile::closeDevice()
{
    m_unfinished.reset();
    m_device.reset();
}

bool ResultFile::fail(const QString& description)
{
    m_description = description;
    closeDevice();
    return false;
}

bool ResultFile::failWith(const QFileDevice& device) { return fail(describeFileFailure(device)); }

bool ResultFile::open()
{
    m_direct = isSpecialFile(m_path);
    if (m_direct)
        m_device = std::make_unique<QFile>(m_path);
    else
        m_device = std::make_unique<QSaveFile>(m_path);
    if (m_path.isEmpty() || !m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(describeCreateFailure(m_path, *m_device));
    if (!m_direct)
        m_unfinished.emplace([this] { fail(QStringLiteral("the program is ending")); });
    return true;
}

bool ResultFile::endLine(QByteArrayView lineEnd)
{
    m_pending.append(lineEnd);
    return m_pending.size() < kBlockSize || flush();
}

bool ResultFile::flush()
{
    if (!m_device)
        return false;
    if (m_pending.isEmpty())
        return true;
    // A short write is tried again for the rest, so that the failure behind it is known.
    for (qsizetype done = 0; done < m_pending.size();) {
        const qint64 count = m_device->write(m_pending.constData() + done, m_pending.size() - done);
        if (count <= 0)
            return failWith(*m_device);
        done += count;
    }
    m_pending.resize(0);  // keeps the block's memory for the next one
    return true;
}

bool ResultFile::commit()
{
    if (!flush())
        return false;
    if (m_direct) {
        m_device->close();
        if (m_device->error() != QFileDevice::NoError)
            return failWith(*m_device);
        closeDevice();
        return true;
    }
    auto& saveFile = static_cast<QSaveFile&>(*m_device);
    if (!saveFile.commit())
        return failWith(saveFile);
    closeDevice();
    return true;
}

}  // namespace zd
