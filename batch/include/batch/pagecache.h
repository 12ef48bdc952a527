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

// What the cache holds for an address.
struct CacheLookup {
    enum class Kind {
        Missing,  // no file, or one that is not ours
        Damaged,  // ours, but cut short, changed or unreadable: fetch the page again
        Found,
    };
    Kind kind = Kind::Missing;
    CachedPage page;
};

// Pages kept in a folder, one file per address. Each file carries its body's
// length and SHA-256, so a file cut short or changed is known for what it is.
// A page is written in place without waiting for the disk: should the run or the
// machine stop in the middle, the checksum tells the torn file, which is then
// fetched again.
class PageCache {
public:
    explicit PageCache(QString folder);

    // Creates the folder when missing and, unless only reading, makes sure it
    // takes new files; false with the reason.
    enum class Use { ReadOnly, ReadWrite };
    [[nodiscard]] bool open(QString& error, Use use = Use::ReadWrite);
    CacheLookup lookUp(const QByteArray& url) const;
    // The page kept for the address; nothing when there is none or it is damaged.
    std::optional<CachedPage> find(const QByteArray& url) const;
    [[nodiscard]] bool store(const QByteArray& url, const CachedPage& page, QString& error) const;
    // Removes the page kept for the address, if any; false when one stays.
    bool forget(const QByteArray& url) const;

    // The file that holds an address's page.
    QString pathFor(const QByteArray& url) const;

private:
    QString m_folder;
};

// "--max-age": a number of seconds, or a number followed by s, m, h or d.
std::optional<std::chrono::seconds> parseMaxAge(const QString& text);

}  // namespace zd
