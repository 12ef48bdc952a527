#include "site/runsamplesite.h"

#include "site/samplesite.h"
#include "site/siteoptions.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace zd {
namespace {

// One line on standard error under the site's name.
void writeMessage(const QByteArray& text)
{
    const QByteArray line = siteProgramName().toUtf8() + ": " + text + '\n';
    std::fwrite(line.constData(), 1, line.size(), stderr);
}

// --help and --version; their text must arrive like any other output.
int printInformation(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == std::size_t(bytes.size())
        && std::fflush(stdout) == 0)
        return 0;
    writeMessage("cannot write to standard output");
    return 1;
}

int reportOptions(const SiteOptions& options)
{
    if (options.showHelp)
        return printInformation(siteHelpText());
    if (options.showVersion)
        return printInformation(siteVersionText());
    writeMessage(options.error.toUtf8() + '\n' + siteUsageHint().toUtf8());
    return 2;
}

bool readSettings(const SiteOptions& options, SampleSiteSettings& settings)
{
    settings.everyZip = options.everyZip;
    settings.latency = std::chrono::milliseconds(options.latencyMs);
    if (options.robotsPath.isEmpty())
        return true;
    QFile robots(options.robotsPath);
    if (!robots.open(QIODevice::ReadOnly)) {
        writeMessage("cannot read the robots file \"" + options.robotsPath.toUtf8()
                     + "\": " + robots.errorString().toUtf8());
        return false;
    }
    settings.robots = robots.readAll();
    return true;
}

bool openLog(SampleSite& site, const SiteOptions& options)
{
    QString error;
    if (options.logPath.isEmpty() || site.openLog(options.logPath, error))
        return true;
    writeMessage("cannot open the log \"" + options.logPath.toUtf8() + "\": " + error.toUtf8());
    return false;
}

// The port on standard output for whoever started the site, then a line for a
// person on standard error.
void announce(quint16 port)
{
    std::printf("%u\n", unsigned(port));
    std::fflush(stdout);
    writeMessage("serving made-up pages on http://127.0.0.1:" + QByteArray::number(port)
                 + "/ (Ctrl+C stops it)");
}

// SIGINT and SIGTERM are blocked in every thread and taken by sigwait here, so
// the site stops in an orderly way whichever signal arrives.
sigset_t stopSignals()
{
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGINT);
    sigaddset(&stopSet, SIGTERM);
    return stopSet;
}

int serve(const SiteOptions& options, const sigset_t& stopSet)
{
    SampleSiteSettings settings;
    if (!readSettings(options, settings))
        return 2;
    SampleSite site(settings);
    if (!openLog(site, options))
        return 2;
    if (!site.start(options.port)) {
        writeMessage("cannot listen on 127.0.0.1:" + QByteArray::number(options.port) + ": "
                     + site.errorString());
        return 1;
    }
    announce(site.port());
    int received = 0;
    sigwait(&stopSet, &received);
    site.stop();
    writeMessage(received == SIGINT ? "stopped (SIGINT)" : "stopped (SIGTERM)");
    return 0;
}

}  // namespace

int runSampleSite(const QStringList& arguments)
{
    const SiteOptions options = parseSiteOptions(arguments);
    if (options.showHelp || options.showVersion || !options.error.isEmpty())
        return reportOptions(options);
    // Blocked before the server starts its threads, which inherit the mask.
    const sigset_t stopSet = stopSignals();
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &stopSet, &previousMask);
    const int status = serve(options, stopSet);
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return status;
}

}  // namespace zd
