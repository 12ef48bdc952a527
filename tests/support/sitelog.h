#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace zd::test {

// One line of the sample site's --log, by the format its help documents: when the
// request arrived, the connection's number, method, target, status (0: reset),
// body bytes sent, milliseconds until the answer was sent, and what was served.
struct SiteLogLine {
    QDateTime arrived;
    int connection = 0;
    QByteArray method;
    QByteArray target;
    int status = 0;
    qint64 bytes = 0;
    qint64 tookMs = 0;
    QByteArray what;
};

// The lines of the log file, in order; lines of fewer fields are left out.
QList<SiteLogLine> readSiteLog(const QString& path);

// The lines whose target asks for the page of the zip code.
QList<SiteLogLine> siteLogLinesFor(const QList<SiteLogLine>& log, const QByteArray& zip);

}  // namespace zd::test
