#include "export/scratchfile.h"

#include "export/resultfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace zd {
namespace {
constexpr qsizetype kBlockSize = 1024 * 1024;
}

bool ScratchFile::open(const QString& besidePath, const QString& suffix, QString& error)
{
    const QString name = QStringLiteral(".%1.XXXXXX.%2").arg(QFileInfo(besidePath).fileName(), suffix);
    for (const QString& folder : {QFileInfo(besidePath).absolutePath(), QDir::tempPath()}) {
        m_file.setFileTemplate(QDir(folder).filePath(name));
        if (m_file.open())
            return true;
        error = m_file.errorString();
    }
    return false;
}

void ScratchFile::append(QByteArrayView record)
{
    if (!m_failure.isEmpty())
        return;
    m_pending.append(record);
    if (m_pending.size() >= kBlockSize)
        writePending();
}

bool ScratchFile::finish() { return writePending(); }

// Written to the descriptor itself, so that the reason of a failure is known.
bool ScratchFile::writePending()
{
    for (qsizetype done = 0; m_failure.isEmpty() && done < m_pending.size();) {
        const ssize_t count = ::write(m_file.handle(), m_pending.constData() + done, m_pending.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            m_failure = describeWriteFailure(count < 0 ? errno : EIO);
        else
            done += count;
    }
    m_pending.resize(0);
    return m_failure.isEmpty();
}

}  // namespace zd
