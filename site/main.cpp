// zipdemographics-site: the bundled sample site, for trying the program offline.
#include "site/samplesite.h"
#include "site/siteoptions.h"

#include <QFile>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

// SIGINT and SIGTERM are blocked in every thread and taken by sigwait in main,
// so the site stops in an orderly way whichever signal arrives.
sigset_t stopSignals()
{
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGINT);
    sigaddset(&stopSet, SIGTERM);
    return stopSet;
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// --help and --version; their text must arrive like any other output.
int printInformation(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == std::size_t(bytes.size())
        && std::fflush(stdout) == 0)
        return 0;
    std::fputs("zipdemographics-site: cannot write to standard output\n", stderr);
    return 1;
}

int reportOptions(const zd::SiteOptions& options)
{
    if (options.showHelp)
        return printInformation(zd::siteHelpText());
    if (options.showVersion)
        return printInformation(zd::siteVersionText());
    std::fprintf(stderr, "zipdemographics-site: %s\nTry \"zipdemographics-site --help\".\n",
                 qUtf8Printable(options.error));
    return 2;
}

bool readSettings(const zd::SiteOptions& options, zd::SampleSiteSettings& settings)
{
    settings.everyZip = options.everyZip;
    settings.refuseKey = options.refuseKey;
    settings.latency = std::chrono::milliseconds(options.latencyMs);
    if (options.robotsPath.isEmpty())
        return true;
    QFile robots(options.robotsPath);
    if (!robots.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zipdemographics-site: cannot read the robots file \"%s\": %s\n",
                     qUtf8Printable(options.robotsPath), qUtf8Printable(robots.errorString()));
        return false;
    }
    settings.robots = robots.readAll();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const zd::SiteOptions options = zd::parseSiteOptions(argumentsOf(argc, argv));
    if (options.showHelp || options.showVersion || !options.error.isEmpty())
        return reportOptions(options);

    // Blocked before the server starts its threads, which inherit the mask.
    const sigset_t stopSet = stopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);

    zd::SampleSiteSettings settings;
    if (!readSettings(options, settings))
        return 2;
    zd::SampleSite site(settings);
    QString logError;
    if (!options.logPath.isEmpty() && !site.openLog(options.logPath, logError)) {
        std::fprintf(stderr, "zipdemographics-site: cannot open the log \"%s\": %s\n",
                     qUtf8Printable(options.logPath), qUtf8Printable(logError));
        return 2;
    }
    if (!site.start(options.port)) {
        std::fprintf(stderr, "zipdemographics-site: cannot listen on 127.0.0.1:%u: %s\n",
                     unsigned(options.port), site.errorString().constData());
        return 1;
    }
    std::printf("%u\n", unsigned(site.port()));
    std::fflush(stdout);
    std::fprintf(stderr, "zipdemographics-site: serving made-up pages on http://127.0.0.1:%u/ "
                         "(Ctrl+C stops it)\n", unsigned(site.port()));

    int received = 0;
    sigwait(&stopSet, &received);
    site.stop();
    std::fprintf(stderr, "zipdemographics-site: stopped (%s)\n",
                 received == SIGINT ? "SIGINT" : "SIGTERM");
    return 0;
}
