#include "cli/commandapplication.h"

#include <QGuiApplication>

#include <clocale>
#include <cstdio>

namespace zd {
namespace {

// Qt's note that it made a runtime folder of its own says nothing to the user of
// a command that only draws into a file; every other message goes on as ever.
QtMessageHandler g_usualHandler = nullptr;

void quietRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (g_usualHandler)
        g_usualHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// With the C locale it found put back, so that nothing the command reads or
// writes takes the user's locale's numbers from it.
std::unique_ptr<QCoreApplication> guiForDrawing()
{
    g_usualHandler = qInstallMessageHandler(quietRuntimeFolderNote);
    const QByteArray locale = std::setlocale(LC_ALL, nullptr);
    static int argc = 3;
    static char name[] = "zipdemographics-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    std::setlocale(LC_ALL, locale.constData());
    return application;
}

}  // namespace

std::unique_ptr<QCoreApplication> applicationForCommand(const QStringList& arguments)
{
    if (QCoreApplication::instance() || arguments.isEmpty() || arguments.first() != QLatin1String("map"))
        return nullptr;
    return guiForDrawing();
}

bool canDraw() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace zd
