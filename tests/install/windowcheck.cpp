// Starts an installed desktop program on the X display this runs on (Xvfb in the
// tests) and checks what a person would see: the window drawn in its skin, not
// plain white, and the skin and the hand pointer read from the share folder.
//   zd_installed_window_check PROGRAM SHARE_FOLDER GRAB.png
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <set>

namespace {

constexpr QSize kWindowSize(536, 620);
constexpr int kTimeoutMs = 60000;

// Which of the watched files some process opened since the watches were set.
class OpenWatch {
public:
    OpenWatch() : m_fd(inotify_init1(IN_NONBLOCK)) {}
    ~OpenWatch() { ::close(m_fd); }
    bool watch(const QString& path)
    {
        const int wd = inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
        m_paths[wd] = path;
        return wd >= 0;
    }
    std::set<QString> opened()
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t size; (size = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                m_opened.insert(m_paths[event->wd]);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return m_opened;
    }

private:
    int m_fd;
    std::map<int, QString> m_paths;
    std::set<QString> m_opened;
};

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel that differs between two grabs.
QRect changedArea(const QImage& before, const QImage& after)
{
    QRect area;
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < after.width(); ++x) {
            if (a[x] != b[x])
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

// Grabs until the program's window stands drawn and still; an empty image on time-out.
QImage grabShownWindow(const QImage& background, QProcess& program)
{
    QImage previous;
    for (int waited = 0; waited < kTimeoutMs && program.state() == QProcess::Running; waited += 200) {
        QThread::msleep(200);
        const QImage now = grabScreen();
        const QRect area = changedArea(background, now);
        if (area.size() == kWindowSize && now == previous)
            return now.copy(area);
        previous = now;
    }
    return {};
}

int fail(const char* message)
{
    std::fprintf(stderr, "%s\n", message);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 4)
        return fail("usage: zd_installed_window_check PROGRAM SHARE_FOLDER GRAB.png");
    const QString share = QString::fromLocal8Bit(argv[2]);
    const QString skin = share + QStringLiteral("/x/o.cjs");
    const QString cursor = share + QStringLiteral("/HAND-M.CUR");
    OpenWatch watch;
    if (!watch.watch(skin) || !watch.watch(cursor))
        return fail("the skin or the hand pointer is missing from the share folder");

    const QImage background = grabScreen();
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QString::fromLocal8Bit(argv[1]), {});
    if (!program.waitForStarted())
        return fail("the program did not start");
    const QImage window = grabShownWindow(background, program);
    const std::set<QString> opened = watch.opened();
    program.kill();
    program.waitForFinished();

    if (window.isNull())
        return fail("no window of 536 x 620 pixels appeared");
    window.save(QString::fromLocal8Bit(argv[3]));
    std::printf("window grab: %s\n", argv[3]);
    // The window's own background, left of the Help button: the skin paints it.
    if (window.pixel(3, 3) == qRgb(255, 255, 255))
        return fail("the window is plain white: the skin was not applied");
    if (!opened.count(skin) || !opened.count(cursor))
        return fail("the program did not open the skin and the hand pointer in the share folder");
    return 0;
}
