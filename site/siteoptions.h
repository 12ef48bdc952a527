#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// The sample site's command line.
struct SiteOptions {
    quint16 port = 0;  // 0: the system chooses
    QString logPath;   // empty: no log
    bool showHelp = false;
    QString error;     // a usage error, in words
};

// Parses the arguments that follow the program name.
SiteOptions parseSiteOptions(const QStringList& arguments);
QString siteHelpText();

}  // namespace zd
