#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

// The sample site's command line.
struct SiteOptions {
    quint16 port = 0;  // 0: the system chooses
    QString logPath;   // empty: no log
    bool everyZip = false;
    int latencyMs = 0;
    QString robotsPath;  // empty: /robots.txt is a 404
    bool showHelp = false;
    bool showVersion = false;
    QString error;     // a usage error, in words
};

// Every option of the site, in the order --help lists them. A new option is
// declared here, gets its field in SiteOptions and a reader in siteoptions.cpp.
QList<QCommandLineOption> siteOptionDeclarations();

// Parses the arguments that follow the program name.
SiteOptions parseSiteOptions(const QStringList& arguments);
QString siteHelpText();
QString siteVersionText();

// The name the site goes by in its usage, its version and its messages:
// "zipdemographics-site".
QString siteProgramName();
// The line that follows a usage error: 'Try "zipdemographics-site --help".'
QString siteUsageHint();

}  // namespace zd
