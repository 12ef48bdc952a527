#include <QGuiApplication>
#include <gtest/gtest.h>

// The map's suite draws text, which needs the system's fonts and so a
// QGuiApplication; without a display it draws on the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
