#include "census/censusrequest.h"

#include <QRegularExpression>
#include <QUrl>

namespace zd {
namespace {

const QString kGeography = QStringLiteral("zip%20code%20tabulation%20area");

// The address's length before its ZCTAs: the longest of those of the chunk's requests.
qsizetype lengthWithout(const QString& baseUrl, int year, const QStringList& variables)
{
    return censusDataUrl(baseUrl, year, variables, {}).size();
}

}  // namespace

QString censusDatasetUrl(const QString& baseUrl, int year)
{
    QString base = baseUrl;
    while (base.endsWith('/'))
        base.chop(1);
    return base + "/data/" + QString::number(year) + "/acs/acs5/profile";
}

QString censusVariablesUrl(const QString& baseUrl, int year)
{
    return censusDatasetUrl(baseUrl, year) + "/variables.json";
}

QString censusDataUrl(const QString& baseUrl, int year, const QStringList& variables, const QStringList& zctas)
{
    return censusDatasetUrl(baseUrl, year) + "?get=" + variables.join(',') + "&for=" + kGeography + ':'
           + zctas.join(',');
}

QList<QStringList> CensusRequestPlan::variableChunks() const
{
    QList<QStringList> chunks;
    for (qsizetype at = 0; at < variables.size(); at += kMaxVariablesPerRequest)
        chunks.append(variables.mid(at, kMaxVariablesPerRequest));
    return chunks;
}

QList<QStringList> CensusRequestPlan::zctaChunks(const QStringList& variableChunk) const
{
    if (asksForEveryZcta())
        return {{QStringLiteral("*")}};
    const qsizetype room = longestAddress - lengthWithout(baseUrl, year, variableChunk);
    QList<QStringList> chunks;
    QStringList chunk;
    qsizetype length = 0;
    for (const QString& zcta : zctas) {
        const qsizetype added = zcta.size() + (chunk.isEmpty() ? 0 : 1);
        if (!chunk.isEmpty() && length + added > room) {
            chunks.append(chunk);
            chunk.clear();
            length = 0;
        }
        length += zcta.size() + (chunk.isEmpty() ? 0 : 1);
        chunk.append(zcta);
    }
    if (!chunk.isEmpty())
        chunks.append(chunk);
    return chunks;
}

QStringList CensusRequestPlan::addresses() const
{
    QStringList all;
    if (zctas.isEmpty())
        return all;
    for (const QStringList& variableChunk : variableChunks()) {
        for (const QStringList& zctaChunk : zctaChunks(variableChunk))
            all.append(censusDataUrl(baseUrl, year, variableChunk, zctaChunk));
    }
    return all;
}

QString censusKeySuffix(const QString& key)
{
    if (key.isEmpty())
        return {};
    return "&key=" + QString::fromLatin1(QUrl::toPercentEncoding(key));
}

QString redactCensusKey(QString text, const QString& key)
{
    if (key.isEmpty())
        return text;
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(key));
    const QString stars = QStringLiteral("***");
    // In an address, the key is the whole value of "key=".
    text.replace(QRegularExpression("(?<=key=)" + QRegularExpression::escape(encoded) + "(?![A-Za-z0-9%._~-])"),
                 stars);
    if (key.size() < kShortestKeyRedactedAnywhere)
        return text;
    // Elsewhere only where it stands as a word of its own, never within another.
    for (const QString& form : {key, encoded}) {
        const QRegularExpression alone("(?<![A-Za-z0-9])" + QRegularExpression::escape(form) + "(?![A-Za-z0-9])");
        text.replace(alone, stars);
    }
    return text;
}

}  // namespace zd
