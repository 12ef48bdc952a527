#include "tests/support/scopedenvironment.h"

#include <QtGlobal>

namespace zd::test {

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name,
                                                     std::optional<QByteArray> value)
    : m_name(name)
{
    if (qEnvironmentVariableIsSet(name))
        m_previous = qgetenv(name);
    apply(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() { apply(m_name.constData(), m_previous); }

void ScopedEnvironmentVariable::apply(const char* name, const std::optional<QByteArray>& value)
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

void clearProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY",
                             "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(name);
}

}  // namespace zd::test
