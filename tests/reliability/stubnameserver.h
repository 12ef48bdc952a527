#pragma once

#include "tests/reliability/privatemounts.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <optional>
#include <thread>

namespace zd::test {

// A name server on a loopback address of its own, which the resolver of this
// process and of its children uses while the object lives (through a resolver
// configuration mounted over the machine's). It answers every question with "no
// such name", or swallows every question as a name server behind a dead link
// does, or is absent: nothing listens where the configuration points.
class StubNameServer {
public:
    enum class Behaviour { NoSuchName, Silent, Absent };

    // resolverOptions: the "options" line of the configuration, if any.
    explicit StubNameServer(Behaviour behaviour, const QByteArray& resolverOptions = {});
    ~StubNameServer();
    StubNameServer(const StubNameServer&) = delete;
    StubNameServer& operator=(const StubNameServer&) = delete;

    // False when it could not be put in place; failure() says why.
    bool active() const { return m_mount.has_value() && m_mount->active(); }
    const QString& failure() const { return m_failure; }
    int questionCount() const { return m_questions; }

private:
    void serve();
    void answer(const QByteArray& question, const void* peer, unsigned peerLength) const;

    Behaviour m_behaviour;
    int m_socket = -1;
    QString m_failure;
    QTemporaryDir m_folder;
    std::optional<ScopedMount> m_mount;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_questions{0};
    std::thread m_thread;
};

}  // namespace zd::test
