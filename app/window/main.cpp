#include "app/core/programversion.h"
#include "app/window/form1.h"
#include "app/window/qtdialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

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

}  // namespace

int main(int argc, char** argv)
{
    if (asksForVersion(argc, argv)) {
        std::printf("zipdemographics %s\n", zd::programVersion().toUtf8().constData());
        return 0;
    }
    QApplication application(argc, argv);
    zd::QtDialogs dialogs;
    zd::Form1 form(dialogs);
    form.show();
    return application.exec();
}
