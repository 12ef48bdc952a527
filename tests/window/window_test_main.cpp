#include "app/core/scripteddialogs.h"
#include "app/window/form1.h"
#include "retrieval/locationlookup.h"
#include "tests/support/scopedenvironment.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

// The program as the user runs it, asked to close while "Load Sample/Example Zips"
// waits after its first lookup. The process must end there and then.
int closeDuringWait()
{
    zd::ScriptedDialogs dialogs;
    zd::Form1 form(dialogs);
    form.show();
    zd::setLookupWaitSeconds(30);
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    form.PushButton5_Click();
    std::printf("command finished\n");
    std::fflush(stdout);
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    zd::test::clearProxyEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--close-during-wait") == 0)
        return closeDuringWait();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
