// The desktop window on a real X display (Xvfb in the tests) against a site that
// hangs: the window stays drawn while a fetch waits, and a close request from the
// window system (WM_DELETE_WINDOW, as a window manager sends it) ends the program
// within about a second during a save, a location click and a load, leaving an
// existing result file as it was and no temporary file.
//   zd_window_close_check             runs every check (needs DISPLAY), prints figures
//   zd_window_close_check --child KIND FOLDER SITE   the program under test
#include "core/besideeventloop.h"
#include "tests/support/scripteddialogs.h"
#include "core/siteconfig.h"
#include "retrieval/locationlookup.h"
#include "site/loopbackhttpserver.h"
#include "window/form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kPrevious[] = "the previous result\r\n";
constexpr int kStartDelayMs = 1500;  // from showing the window to starting the command

// --- The program under test ----------------------------------------------------

void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void startCommand(zd::Form1& form, zd::ScriptedDialogs& dialogs, const QString& kind, const QString& folder)
{
    zd::WindowState& state = form.state();
    if (kind == QLatin1String("load")) {
        dialogs.queueOpen(QDir(folder).filePath(QStringLiteral("zips.txt")));
        say("command started");
        form.PushButton3_Click();
        return;
    }
    for (const char* zip : {"03053", "01830"}) {
        state.zipList().addRow(QLatin1String(zip));
        state.locationList().addRow(QLatin1String(zip));
    }
    state.locationList().selectPosition(1);
    say("command started");
    if (kind == QLatin1String("click")) {
        form.ListView2_Click();
    } else {
        dialogs.queueSave(QDir(folder).filePath(QStringLiteral("result.xlsx")), 4);
        form.PushButton2_Click();
    }
}

int runChild(const QString& kind, const QString& folder, const QString& site)
{
    zd::setDemographicsHostOverride(site);
    zd::setWorkRunsBesideEventLoop(true);
    zd::ScriptedDialogs dialogs;
    zd::Form1 form(dialogs);
    form.show();
    std::printf("window %llu\n", static_cast<unsigned long long>(form.winId()));
    std::fflush(stdout);
    QTimer::singleShot(kStartDelayMs, &form, [&] {
        startCommand(form, dialogs, kind, folder);
        say("command finished");
        QCoreApplication::exit(3);
    });
    return QApplication::exec();
}

// --- The checks ----------------------------------------------------------------

int g_failures = 0;

void check(bool ok, const QString& what)
{
    if (!ok) {
        ++g_failures;
        std::printf("FAIL: %s\n", qPrintable(what));
    }
}

class XDisplay {
public:
    XDisplay() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~XDisplay() { xcb_disconnect(m_connection); }
    bool usable() const { return xcb_connection_has_error(m_connection) == 0; }

    // What a window manager sends when the user closes the window.
    void requestClose(xcb_window_t window)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
    }

    // The pixels of a rectangle of the window as the screen shows them.
    QByteArray grab(xcb_window_t window, int x, int y, int width, int height)
    {
        const xcb_get_image_cookie_t cookie =
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, x, y, width, height, ~0u);
        std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
            xcb_get_image_reply(m_connection, cookie, nullptr), &std::free);
        if (!reply)
            return {};
        return QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(reply.get())),
                          xcb_get_image_data_length(reply.get()));
    }

private:
    xcb_atom_t atom(const char* name)
    {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t* m_connection;
};

QString readLine(QProcess& child, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!child.canReadLine() && waited.elapsed() < timeoutMs)
        child.waitForReadyRead(100);
    return QString::fromLocal8Bit(child.readLine()).trimmed();
}

// One run: the command starts, its first fetch hangs, the window is asked to close.
void closeDuring(const QString& kind, zd::LoopbackHttpServer& site, XDisplay& display)
{
    std::printf("close during a %s: ", qPrintable(kind));
    QTemporaryDir folder;
    QFile zips(folder.filePath(QStringLiteral("zips.txt")));
    if (!zips.open(QIODevice::WriteOnly) || zips.write("03053\r\n01830\r\n") < 0)
        return check(false, QStringLiteral("cannot write the zip list"));
    zips.close();
    QFile previous(folder.filePath(QStringLiteral("result.xlsx")));
    if (!previous.open(QIODevice::WriteOnly) || previous.write(kPrevious) < 0)
        return check(false, QStringLiteral("cannot write the previous result"));
    previous.close();
    site.clearRequests();

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), kind, folder.path(), QString::fromLatin1(site.hostAndPort())});
    const QString windowLine = readLine(child, 20000);
    bool ok = false;
    const xcb_window_t window = windowLine.section(QLatin1Char(' '), 1).toUInt(&ok);
    check(ok && windowLine.startsWith(QLatin1String("window ")), kind + QStringLiteral(": no window: ") + windowLine);
    // ListView1, as drawn before the command and while its first fetch hangs.
    QThread::msleep(kStartDelayMs / 2);
    const QByteArray zipListBefore = display.grab(window, 8, 42, 520, 153);
    check(readLine(child, 20000) == QLatin1String("command started"), kind + QStringLiteral(": did not start"));
    check(site.waitForRequests(1, std::chrono::seconds(10)), kind + QStringLiteral(": fetched nothing"));
    QThread::msleep(700);
    const QByteArray zipListDuring = display.grab(window, 8, 42, 520, 153);
    if (kind == QLatin1String("load"))  // the first entry of the file is in the list, its lookup hangs
        check(!zipListDuring.isEmpty() && zipListDuring != zipListBefore,
              QStringLiteral("load: the zip list was not drawn again while the fetch hung"));

    QElapsedTimer closing;
    closing.start();
    display.requestClose(window);
    const bool ended = child.waitForFinished(10000);
    const qint64 milliseconds = closing.elapsed();
    std::printf("ended %lld ms after the close request\n", static_cast<long long>(milliseconds));
    check(ended, kind + QStringLiteral(": the program did not end within 10 s of the close request"));
    check(milliseconds < 3000, kind + QStringLiteral(": the program took %1 ms to end").arg(milliseconds));
    if (!ended)
        child.kill();
    child.waitForFinished();
    check(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
          kind + QStringLiteral(": exit code %1").arg(child.exitCode()));
    check(!child.readAllStandardOutput().contains("command finished"), kind + QStringLiteral(": the command ran to its end"));
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    check(left == QStringList({QStringLiteral("result.xlsx"), QStringLiteral("zips.txt")}),
          kind + QStringLiteral(": files left: ") + left.join(QLatin1Char(' ')));
    check(previous.open(QIODevice::ReadOnly) && previous.readAll() == kPrevious,
          kind + QStringLiteral(": the previous result changed"));
}

int runChecks()
{
    XDisplay display;
    if (!display.usable()) {
        std::printf("SKIP: no X display\n");
        return 77;
    }
    // A site that takes every request and answers none for a minute.
    zd::LoopbackHttpServer site([](const zd::HttpRequest&, zd::HttpConnection& connection) {
        connection.stall(std::chrono::seconds(60));
    });
    if (!site.listen()) {
        std::printf("FAIL: the site cannot listen\n");
        return 1;
    }
    for (const char* kind : {"save", "click", "load"})
        closeDuring(QLatin1String(kind), site, display);
    site.stop();
    std::printf(g_failures == 0 ? "all checks passed\n" : "%d checks failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QApplication application(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    }
    QCoreApplication application(argc, argv);
    return runChecks();
}
