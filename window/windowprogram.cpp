#include "window/windowprogram.h"

#include "core/besideeventloop.h"
#include "core/programversion.h"
#include "commands/censusenvironment.h"
#include "commands/startupcheck.h"
#include "window/form1.h"
#include "window/qtdialogs.h"
#include "window/windowarguments.h"

#include <QApplication>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zd {
namespace {

// --version is answered before any display is opened, so that it works without one.
// Every other argument is left to Qt (-platform, -style, ...), as it always was.
bool asksForVersion(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            return true;
    }
    return false;
}

// A version that could not be written (a full disk, a closed pipe) is no success.
int printVersion()
{
    std::printf("zipdemographics %s\n", programVersion().toUtf8().constData());
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "zipdemographics: cannot write the version: %s\n", std::strerror(errno));
    return 1;
}

}  // namespace

int runWindowProgram(int argc, char** argv)
{
    if (asksForVersion(argc, argv))
        return printVersion();
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("net.example.zipdemographics"));
    QApplication application(argc, argv);
    QtDialogs dialogs;
    Form1Options options;
    if (!confirmUsableStartSettings(dialogs, parseWindowArguments(QCoreApplication::arguments()), options.census))
        return 2;
    // Fetches run beside the event loop: the window stays drawn and closes at once.
    setWorkRunsBesideEventLoop(true);
    Form1 form(dialogs, options);
    form.show();
    // The census source without a key asks for one over the window, once it is up.
    if (options.census)
        QTimer::singleShot(0, &form, [&] { askForMissingCensusKey(dialogs, *options.census); });
    return application.exec();
}

}  // namespace zd
