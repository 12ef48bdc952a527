#include "export/resultfile.h"

#include "core/apperror.h"
#include "export/outputcheck.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace zd {
namespace {

QString describeWriteErrorNumber(int error)
{
    switch (error) {
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return errors::diskFull();
    case EIO: return errors::deviceError();
    case EACCES:
    case EPERM:
    case EROFS: return errors::permissionDenied();
    default: return errors::accessError();
    }
}

bool isSpecialFile(const QString& path)
{
    const QFileInfo target(path);
    return target.exists() && !target.isFile() && !target.isDir();
}

// A failure to create the file, told apart by what stands in the way.
QString describeCreateFailure(const QString& path, const QFileDevice& device)
{
    switch (findOutputObstacle(path)) {
    case OutputObstacle::NoName: return errors::invalidArgument();
    case OutputObstacle::IsFolder: return errors::accessError();
    case OutputObstacle::FolderMissing:
    case OutputObstacle::FolderNotAFolder: return errors::pathNotFound();
    case OutputObstacle::ReadOnly:
    case OutputObstacle::ReadOnlyFolder: return errors::permissionDenied();
    // Otherwise the folder takes no new files for another reason (as /proc and /sys
    // do, even for the superuser): the kind of failure tells the rest.
    case OutputObstacle::FolderTakesNoFiles:
    case OutputObstacle::None: break;
    }
    return describeFileFailure(device);
}

}  // namespace

QString describeWriteFailure(int error) { return describeWriteErrorNumber(error); }

QString describeFileFailure(const QFileDevice& device)
{
    switch (device.error()) {
    case QFileDevice::ResourceError: return errors::diskFull();  // no space left
    case QFileDevice::PermissionsError: return errors::permissionDenied();
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::FatalError: return errors::deviceError();
    default: return errors::accessError();
    }
}

namespace {
std::atomic<const std::atomic<int>*> g_stopFlag{nullptr};

bool stopRaised()
{
    const std::atomic<int>* flag = g_stopFlag.load();
    return flag && flag->load() != 0;
}
}  // namespace

void ResultFile::setStopFlag(const std::atomic<int>* flag) { g_stopFlag.store(flag); }

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
    if (m_path == kStandardOutput)
        return openStandardOutput();
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

bool ResultFile::openStandardOutput()
{
    m_direct = true;
    auto file = std::make_unique<QFile>();
    const bool opened = file->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                   QFileDevice::DontCloseHandle);
    m_device = std::move(file);
    return opened || failWith(*m_device);
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
    if (stopRaised())
        return fail(QStringLiteral("stopped"));
    if (m_pending.isEmpty())
        return true;
    // Written to the descriptor itself, so that the reason of a failure is known
    // exactly. A short write is tried again for the rest, so that the failure
    // behind it is known.
    for (qsizetype done = 0; done < m_pending.size();) {
        const ssize_t count =
            ::write(m_device->handle(), m_pending.constData() + done, m_pending.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return fail(count < 0 ? describeWriteErrorNumber(errno) : errors::deviceError());
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
    if (!saveFile.commit()) {
        // The file takes the target's place by a rename, which fails when the folder went.
        if (!QFileInfo(QFileInfo(m_path).absolutePath()).isDir())
            return fail(errors::pathNotFound());
        return failWith(saveFile);
    }
    closeDevice();
    return true;
}

}  // namespace zd
