#include "export/jsonlwriter.h"

#include "export/figurenumber.h"
#include "export/resultfile.h"
#include "export/resultstable.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zd {
namespace {

QJsonValue numberJson(const QString& value)
{
    const std::optional<FigureNumber> number = readFigureNumber(value);
    return number ? QJsonValue(number->value) : QJsonValue(QJsonValue::Null);
}

QJsonArray figuresJson(const QList<Figure>& figures)
{
    QJsonArray array;
    for (const Figure& figure : figures) {
        array.append(QJsonObject{{QStringLiteral("label"), figure.label},
                                 {QStringLiteral("value"), figure.value},
                                 {QStringLiteral("number"), numberJson(figure.value)}});
    }
    return array;
}

}  // namespace

QJsonObject entryJson(const EntryResult& entry)
{
    return QJsonObject{
        {QStringLiteral("entry"), entry.entry},
        {QStringLiteral("zip"), entry.zip},
        {QStringLiteral("status"), entryStatusText(entry.status, entry.httpStatus)},
        {QStringLiteral("location"),
         entry.location ? QJsonValue(*entry.location) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("figures"), figuresJson(entry.figures)},
    };
}

QByteArray entryJsonLine(const EntryResult& entry)
{
    return QJsonDocument(entryJson(entry)).toJson(QJsonDocument::Compact);
}

TableWriteOutcome writeJsonLines(const ResultsTable& table, const QString& path)
{
    ResultFile file(path);
    if (!file.open())
        return {false, file.description()};
    for (const EntryResult& entry : table.entries()) {
        file.append(entryJsonLine(entry));
        if (!file.endLine("\n"))
            return {false, file.description()};
    }
    if (!file.commit())
        return {false, file.description()};
    return {true, QString()};
}

}  // namespace zd
