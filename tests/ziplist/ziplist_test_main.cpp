#include <QCoreApplication>

#include <gtest/gtest.h>

// Lookups wait while processing events; an application object makes that real.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
