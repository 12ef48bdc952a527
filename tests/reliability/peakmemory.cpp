#include "tests/reliability/peakmemory.h"

#include <QFile>

namespace zd::test {
namespace {

// A "Vm...:   1234 kB" line of /proc/self/status, in bytes; -1 when missing.
qint64 statusField(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

}  // namespace

qint64 residentBytes() { return statusField("VmRSS"); }

bool peakIsMeaningful()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return residentBytes() >= 0 && peakResidentBytes() >= 0;
#endif
}

qint64 peakResidentBytes() { return statusField("VmHWM"); }

bool resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

}  // namespace zd::test
