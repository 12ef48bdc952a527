#pragma once

#include <QString>

namespace zd::test {

// Mounts that only this test process, and the programs it starts, can see. The
// test main enters a mount namespace of its own before any thread starts; the
// mounts made there end with the process at the latest, so a failed test never
// leaves one behind on the machine.
bool enterPrivateMountNamespace();
// Whether the process may mount: it runs as root in its own mount namespace.
bool privateMountsAvailable();

// One mount for the life of the object. active() says whether it is in place;
// failure() says why not.
class ScopedMount {
public:
    // A file system in memory of the given size on folder: a disk that fills up.
    static ScopedMount smallDisk(const QString& folder, qint64 bytes);
    // folder itself again, read-only: nobody can create, change or remove anything in it.
    static ScopedMount readOnly(const QString& folder);
    // The file at source shown in place of the file at target.
    static ScopedMount fileOver(const QString& source, const QString& target);

    ~ScopedMount();
    ScopedMount(ScopedMount&& other) noexcept;
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;
    ScopedMount& operator=(ScopedMount&& other) noexcept;

    bool active() const { return !m_target.isEmpty(); }
    const QString& failure() const { return m_failure; }

private:
    ScopedMount() = default;
    void release();

    QString m_target;
    QString m_failure;
};

}  // namespace zd::test
