#include "tests/support/scripteddialogs.h"
#include "window/form1.h"
#include "retrieval/locationlookup.h"
#include "tests/support/scopedenvironment.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

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

// Where /proc is missing, a file being saved has a name of its own beside the
// target until it takes the target's place (otherwise the system may keep it
// nameless); only a named one can be left behind. Hidden for this process alone,
// in a mount namespace of its own, which needs root.
bool hideProcSoThatFilesBeingSavedHaveNames()
{
    return ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
           && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
           && ::mount("zd-no-proc", "/proc", "tmpfs", MS_NOSUID | MS_NODEV, nullptr) == 0;
}

// The same, asked to close while the save command's writer has its temporary
// file open beside the target.
int closeDuringWriter(const QString& target)
{
    zd::ScriptedDialogs dialogs;
    dialogs.queueSave(target);
    zd::Form1 form(dialogs);
    form.show();
    zd::setLookupWaitSeconds(0);
    form.PushButton5_Click();
    const QDir folder = QFileInfo(target).absoluteDir();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &form, [&] {
        const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
        const bool temporaryOpen =
            std::any_of(names.cbegin(), names.cend(), [&](const QString& name) {
                return name != QFileInfo(target).fileName();
            });
        if (!temporaryOpen)
            return;
        std::printf("temporary file open\n");
        std::fflush(stdout);
        form.close();
    });
    poll.start(0);
    form.PushButton2_Click();
    std::printf("command finished\n");
    std::fflush(stdout);
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool closeDuringWriterRun = argc > 2 && std::strcmp(argv[1], "--close-during-writer") == 0;
    if (closeDuringWriterRun && !hideProcSoThatFilesBeingSavedHaveNames()) {
        std::printf("cannot hide /proc\n");
        return 4;
    }
    zd::test::clearProxyEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--close-during-wait") == 0)
        return closeDuringWait();
    if (closeDuringWriterRun)
        return closeDuringWriter(QString::fromLocal8Bit(argv[2]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
