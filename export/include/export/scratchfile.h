#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTemporaryFile>

namespace zd {

// A scratch file for results too many to hold in memory: records appended and
// written out in large blocks, then read back from the start under fileName().
// It lies beside the result file (or in the temporary folder when that folder
// takes no new file) and is removed with its owner.
class ScratchFile {
public:
    [[nodiscard]] bool open(const QString& besidePath, const QString& suffix, QString& error);
    void append(QByteArrayView record);
    // Writes what is gathered; false once any write failed.
    [[nodiscard]] bool finish();
    // Why a write failed, in the words of the result file's failures; empty while none did.
    const QString& failure() const { return m_failure; }
    QString fileName() const { return m_file.fileName(); }

private:
    bool writePending();

    QTemporaryFile m_file;
    QByteArray m_pending;
    QString m_failure;
};

}  // namespace zd
