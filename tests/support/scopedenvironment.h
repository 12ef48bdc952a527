#pragma once

#include <QByteArray>

#include <optional>

namespace zd::test {

// Sets (or, given nothing, removes) one environment variable for its lifetime
// and puts the old state back afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, std::optional<QByteArray> value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    static void apply(const char* name, const std::optional<QByteArray>& value);

    QByteArray m_name;
    std::optional<QByteArray> m_previous;
};

// Removes every proxy setting that the transfer library would read, so that
// requests to loopback go straight to the server.
void clearProxyEnvironment();

}  // namespace zd::test
