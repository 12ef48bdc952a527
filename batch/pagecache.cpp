#include "batch/pagecache.h"

#include "export/outputcheck.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <openssl/evp.h>

#include <algorithm>

namespace zd {
namespace {
const QByteArray kMagic = "zipdemographics page 2\n";
// Files of the first kind carry no length or checksum; they were written with a
// wait for the disk, so they are taken as they are.
const QByteArray kFirstMagic = "zipdemographics page 1\n";

// SHA-256 in lowercase hex, by OpenSSL: with the processor's SHA instructions
// some seven times faster than QCryptographicHash, which counts when every page
// of a long run is checked as it is kept and as it is read.
QByteArray sha256Hex(QByteArrayView bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), size_t(bytes.size()), digest, &length, EVP_sha256(), nullptr) != 1)
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(digest), qsizetype(length)).toHex();
}

QByteArray checksumOf(const QByteArray& body) { return sha256Hex(body); }

QByteArray headOf(const QByteArray& url, const CachedPage& page)
{
    return kMagic + "url " + url + "\nstatus " + QByteArray::number(qint64(page.httpStatus)) + "\nfetched "
           + page.fetched.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\nlength "
           + QByteArray::number(page.body.size()) + "\nsha256 " + checksumOf(page.body) + "\n\n";
}

// Takes "name value\n" off the front of the text.
std::optional<QByteArray> takeField(QByteArrayView& text, QByteArrayView name)
{
    const qsizetype end = text.indexOf('\n');
    if (end < 0 || !text.first(end).startsWith(name) || end <= name.size() || text[name.size()] != ' ')
        return std::nullopt;
    const QByteArray value = text.sliced(name.size() + 1, end - name.size() - 1).toByteArray();
    text = text.sliced(end + 1);
    return value;
}

CacheLookup damaged() { return {CacheLookup::Kind::Damaged, {}}; }

// The body after the head, checked against the length and checksum of a file of
// the current kind.
CacheLookup readBody(QByteArrayView text, bool checked, CachedPage page)
{
    std::optional<QByteArray> length;
    std::optional<QByteArray> checksum;
    if (checked) {
        length = takeField(text, "length");
        checksum = takeField(text, "sha256");
        if (!length || !checksum)
            return damaged();
    }
    if (!text.startsWith('\n'))
        return damaged();
    page.body = text.sliced(1).toByteArray();
    if (checked && (QByteArray::number(page.body.size()) != *length || checksumOf(page.body) != *checksum))
        return damaged();
    return {CacheLookup::Kind::Found, std::move(page)};
}

CacheLookup readPage(QByteArrayView text, const QByteArray& url)
{
    const bool checked = text.startsWith(kMagic);
    if (!checked && !text.startsWith(kFirstMagic))
        return {};  // not ours
    text = text.sliced(kMagic.size());
    const auto storedUrl = takeField(text, "url");
    if (storedUrl && *storedUrl != url)
        return {};  // another address's page, under a name that clashed
    const auto status = takeField(text, "status");
    const auto fetched = takeField(text, "fetched");
    if (!storedUrl || !status || !fetched)
        return damaged();
    CachedPage page{{}, status->toLong(), QDateTime::fromString(QString::fromLatin1(*fetched), Qt::ISODateWithMs)};
    if (!page.fetched.isValid())
        return damaged();
    return readBody(text, checked, std::move(page));
}
}  // namespace

PageCache::PageCache(QString folder) : m_folder(std::move(folder)) {}

bool PageCache::open(QString& error, Use use)
{
    const QFileInfo info(m_folder);
    if (info.exists() && !info.isDir()) {
        error = QStringLiteral("it is not a folder");
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        error = QStringLiteral("the folder cannot be created");
        return false;
    }
    if (use == Use::ReadWrite && !folderTakesNewFiles(m_folder)) {
        error = QStringLiteral("the folder takes no new files (read-only?), so pages could not be kept");
        return false;
    }
    return true;
}

QString PageCache::pathFor(const QByteArray& url) const
{
    const QByteArray hash = sha256Hex(url);
    return QDir(m_folder).filePath(QString::fromLatin1(hash.left(40)) + QStringLiteral(".page"));
}

CacheLookup PageCache::lookUp(const QByteArray& url) const
{
    QFile file(pathFor(url));
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return damaged();
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return damaged();
    return readPage(text, url);
}

std::optional<CachedPage> PageCache::find(const QByteArray& url) const
{
    CacheLookup found = lookUp(url);
    if (found.kind != CacheLookup::Kind::Found)
        return std::nullopt;
    return std::move(found.page);
}

bool PageCache::store(const QByteArray& url, const CachedPage& page, QString& error) const
{
    // Written in place, without waiting for the disk: a file cut short by a stop
    // of the machine fails its checksum and is fetched again.
    QFile file(pathFor(url));
    const QByteArray head = headOf(url, page);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(head) != head.size()
        || file.write(page.body) != page.body.size() || !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool PageCache::forget(const QByteArray& url) const
{
    QFile file(pathFor(url));
    return !file.exists() || file.remove();
}

std::optional<std::chrono::seconds> parseMaxAge(const QString& text)
{
    static const QString kUnits = QStringLiteral("smhd");
    static const long long kSeconds[] = {1, 60, 3600, 86400};
    QString number = text;
    long long unit = 1;
    if (!text.isEmpty() && kUnits.contains(text.back())) {
        unit = kSeconds[kUnits.indexOf(text.back())];
        number.chop(1);
    }
    const bool digitsOnly = !number.isEmpty()
                            && std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
    bool ok = false;
    const long long count = number.toLongLong(&ok);
    if (!digitsOnly || !ok || count > (1LL << 40) / unit)
        return std::nullopt;
    return std::chrono::seconds(count * unit);
}

}  // namespace zd
