#include "tests/support/scopedenvironment.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

// The map is drawn with the system's fonts, which need a QGuiApplication; without
// a display it draws on the offscreen platform. No proxy stands between the
// command line and the loopback site.
int main(int argc, char** argv)
{
    zd::test::clearProxyEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
