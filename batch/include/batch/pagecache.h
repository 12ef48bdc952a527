#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

namespace zd {

// A page as the site answered it: the body bytes as received (after transfer
// decoding), the HTTP status and when it arrived.
struct CachedPage {
    QByteArray body;
    long httpStatus = 0;
    QDateTime fetched;  // UTC
};

// Pages kept in a folder, one file per address, each written atomically (a
// temporary file renamed into place), so a run that is stopped leaves either
// the whole page or none.
class PageCache {
public:
    explicit PageCache(QString folder);

    // Creates the folder when missing; false with the reason.
    [[nodiscard]] bool open(QString& error);
    // The page kept for the address; nothing when there is none or its file is
    // not one of ours (it is then fetched again).
    std::optional<CachedPage> find(const QByteArray& url) const;
    [[nodiscard]] bool store(const QByteArray& url, const CachedPage& page, QString& error);

    // The file that holds an address's page.
    QString pathFor(const QByteArray& url) const;

private:
    QString m_folder;
};

// "--max-age": a number of seconds, or a number followed by s, m, h or d.
std::optional<std::chrono::seconds> parseMaxAge(const QString& text);

}  // namespace zd
