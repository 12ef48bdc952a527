#include <QCoreApplication>
#include <gtest/gtest.h>

// Child processes are watched through Qt, which wants an application object.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
