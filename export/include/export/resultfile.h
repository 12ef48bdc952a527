#pragma once

#include "core/unfinishedfiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

#include <atomic>

#include <memory>
#include <optional>

namespace zd {

// A result file in the making. It is written to a temporary file in the target's
// folder that takes the target's place only when committed, so a failure never
// leaves a half-written file and never harms the file that was there. A target
// that is no regular file (a device, a pipe) is written directly. Should the
// program end before the commit, the temporary file is removed first.
// Lines are gathered in memory and reach the disk in large blocks. The path "-"
// stands for standard output.
class ResultFile {
public:
    static constexpr qsizetype kBlockSize = 1024 * 1024;
    static constexpr const char* kStandardOutput = "-";

    explicit ResultFile(QString path);
    ~ResultFile();
    ResultFile(const ResultFile&) = delete;
    ResultFile& operator=(const ResultFile&) = delete;

    // Each returns false on failure, with the reason in description().
    [[nodiscard]] bool open();
    void append(QByteArrayView bytes) { m_pending.append(bytes); }
    void appendSpaces(qsizetype count) { m_pending.append(count, ' '); }
    void appendTab() { m_pending.append('\t'); }
    [[nodiscard]] bool endLine() { return endLine("\r\n"); }
    [[nodiscard]] bool endLine(QByteArrayView lineEnd);  // writes out a full block
    [[nodiscard]] bool flush();
    [[nodiscard]] bool commit();

    const QString& description() const { return m_description; }

    // A flag that, once raised (non-zero, as by a signal handler), makes every
    // result file still being written fail at its next block or at its commit, so
    // that a stopped run replaces nothing. None by default; set by the command line.
    static void setStopFlag(const std::atomic<int>* flag);

private:
    bool openStandardOutput();
    bool fail(const QString& description);
    bool failWith(const QFileDevice& device);
    void closeDevice();

    QString m_path;
    std::unique_ptr<QFileDevice> m_device;
    std::optional<UnfinishedFile> m_unfinished;  // while a temporary file stands in for the target
    bool m_direct = false;
    QByteArray m_pending;
    QString m_description;
};

// The reason of a failed write, from the system's error number (ENOSPC: disk full).
QString describeWriteFailure(int error);

// The reason of a file failure in the words users of such tools know.
QString describeFileFailure(const QFileDevice& device);

}  // namespace zd
