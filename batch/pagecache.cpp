#include "batch/pagecache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace zd {
namespace {
const QByteArray kMagic = "zipdemographics page 1\n";

QByteArray headOf(const QByteArray& url, const CachedPage& page)
{
    return kMagic + "url " + url + "\nstatus " + QByteArray::number(qint64(page.httpStatus))
           + "\nfetched " + page.fetched.toUTC().toString(Qt::ISODateWithMs).toLatin1() + "\n\n";
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

std::optional<CachedPage> readPage(QByteArrayView text, const QByteArray& url)
{
    if (!text.startsWith(kMagic))
        return std::nullopt;
    text = text.sliced(kMagic.size());
    const auto storedUrl = takeField(text, "url");
    const auto status = takeField(text, "status");
    const auto fetched = takeField(text, "fetched");
    if (!storedUrl || *storedUrl != url || !status || !fetched || !text.startsWith('\n'))
        return std::nullopt;
    CachedPage page{text.sliced(1).toByteArray(), status->toLong(),
                    QDateTime::fromString(QString::fromLatin1(*fetched), Qt::ISODateWithMs)};
    if (!page.fetched.isValid())
        return std::nullopt;
    return page;
}
}  // namespace

PageCache::PageCache(QString folder) : m_folder(std::move(folder)) {}

bool PageCache::open(QString& error)
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
    return true;
}

QString PageCache::pathFor(const QByteArray& url) const
{
    const QByteArray hash = QCryptographicHash::hash(url, QCryptographicHash::Sha256).toHex();
    return QDir(m_folder).filePath(QString::fromLatin1(hash.left(40)) + QStringLiteral(".page"));
}

std::optional<CachedPage> PageCache::find(const QByteArray& url) const
{
    QFile file(pathFor(url));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readPage(file.readAll(), url);
}

bool PageCache::store(const QByteArray& url, const CachedPage& page, QString& error)
{
    QSaveFile file(pathFor(url));
    if (!file.open(QIODevice::WriteOnly) || file.write(headOf(url, page)) < 0
        || file.write(page.body) != page.body.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
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
