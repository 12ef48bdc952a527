#include "tests/support/scopedenvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// The main of the test programs that need no window. Event pumping, timers and
// child processes need an application object, and no proxy of the machine may
// stand between the fetches and the loopback servers.
int main(int argc, char** argv)
{
    zd::test::clearProxyEnvironment();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
