#include "tests/support/scopedenvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// The waits pump events, so an application object must exist; and no proxy of
// the machine may stand between the fetches and the loopback servers.
int main(int argc, char** argv)
{
    zd::test::clearProxyEnvironment();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
