#include "tests/reliability/privatemounts.h"
#include "tests/support/scopedenvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Mounts that the tests make (a small disk, a read-only folder, another name
// server) stay inside this process: the namespace is entered before any thread
// starts. Lookups wait and child processes are watched through Qt, so an
// application object exists; no proxy stands between the fetches and loopback.
int main(int argc, char** argv)
{
    zd::test::enterPrivateMountNamespace();
    zd::test::clearProxyEnvironment();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
