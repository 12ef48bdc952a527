#include "tests/reliability/privatemounts.h"

#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zd::test {
namespace {

bool& namespaceEntered()
{
    static bool entered = false;
    return entered;
}

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

QByteArray native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

bool enterPrivateMountNamespace()
{
    if (geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
        return false;
    // Nothing mounted here may reach the machine's own namespace.
    namespaceEntered() = ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return namespaceEntered();
}

bool privateMountsAvailable() { return namespaceEntered(); }

ScopedMount ScopedMount::smallDisk(const QString& folder, qint64 bytes)
{
    ScopedMount mount;
    if (!privateMountsAvailable()) {
        mount.m_failure = QStringLiteral("no private mount namespace (needs root)");
        return mount;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("zd-small-disk", native(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        mount.m_failure = systemError("mount tmpfs");
        return mount;
    }
    mount.m_target = folder;
    return mount;
}

ScopedMount ScopedMount::readOnly(const QString& folder)
{
    ScopedMount mount;
    if (!privateMountsAvailable()) {
        mount.m_failure = QStringLiteral("no private mount namespace (needs root)");
        return mount;
    }
    const QByteArray path = native(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        mount.m_failure = systemError("bind mount");
        return mount;
    }
    mount.m_target = folder;  // from here on the destructor takes it away again
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        mount.m_failure = systemError("remount read-only");
        ::umount2(path.constData(), MNT_DETACH);
        mount.m_target.clear();
    }
    return mount;
}

ScopedMount ScopedMount::fileOver(const QString& source, const QString& target)
{
    ScopedMount mount;
    if (!privateMountsAvailable()) {
        mount.m_failure = QStringLiteral("no private mount namespace (needs root)");
        return mount;
    }
    if (::mount(native(source).constData(), native(target).constData(), nullptr, MS_BIND, nullptr)
        != 0) {
        mount.m_failure = systemError("bind mount");
        return mount;
    }
    mount.m_target = target;
    return mount;
}

ScopedMount::ScopedMount(ScopedMount&& other) noexcept
    : m_target(std::exchange(other.m_target, QString())), m_failure(std::move(other.m_failure))
{
}

ScopedMount& ScopedMount::operator=(ScopedMount&& other) noexcept
{
    if (this != &other) {
        release();
        m_target = std::exchange(other.m_target, QString());
        m_failure = std::move(other.m_failure);
    }
    return *this;
}

ScopedMount::~ScopedMount() { release(); }

void ScopedMount::release()
{
    if (active())
        ::umount2(native(m_target).constData(), MNT_DETACH);
    m_target.clear();
}

}  // namespace zd::test
