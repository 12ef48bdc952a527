#include <QCoreApplication>

#include <gtest/gtest.h>

// The writer processes events as it goes; an application object makes that real.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
