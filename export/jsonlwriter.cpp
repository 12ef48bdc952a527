#include "export/jsonlwriter.h"

#include "export/figurenumber.h"
#include "export/jsontext.h"
#include "export/resultfile.h"
#include "export/resultstable.h"

namespace zd {
namespace {

// "number":N,"value":"text": the text read as a number, or null.
void appendNumberAndValue(QByteArray& json, const QString& value)
{
    json.append("\"number\":");
    if (const std::optional<FigureNumber> number = readFigureNumber(value))
        appendJsonNumber(json, number->value);
    else
        json.append("null");
    json.append(",\"value\":");
    appendJsonString(json, value);
}

void appendFigure(QByteArray& json, const Figure& figure)
{
    json.append("{\"label\":");
    appendJsonString(json, figure.label);
    if (figure.margin) {
        json.append(",\"moe\":{");
        appendNumberAndValue(json, *figure.margin);
        json.append('}');
    }
    json.append(',');
    appendNumberAndValue(json, figure.value);
    json.append('}');
}

}  // namespace

// The keys in the order Qt's JSON objects keep them, sorted, so that a line reads
// the same as it always has.
QByteArray entryJsonLine(const EntryResult& entry)
{
    QByteArray json;
    json.reserve(128 + 96 * entry.figures.size());
    json.append("{\"entry\":");
    appendJsonString(json, entry.entry);
    json.append(",\"figures\":[");
    for (qsizetype i = 0; i < entry.figures.size(); ++i) {
        if (i > 0)
            json.append(',');
        appendFigure(json, entry.figures[i]);
    }
    json.append("],\"location\":");
    if (entry.location)
        appendJsonString(json, *entry.location);
    else
        json.append("null");
    json.append(",\"status\":");
    appendJsonString(json, entryStatusText(entry.status, entry.httpStatus));
    json.append(",\"zip\":");
    appendJsonString(json, entry.zip);
    json.append('}');
    return json;
}

TableWriteOutcome writeJsonLines(const ResultsTable& table, const QString& path)
{
    ResultFile file(path);
    if (!file.open())
        return {false, file.description()};
    const bool written = table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        file.append(entryJsonLine(entry));
        return file.endLine("\n");
    });
    if (!written || !file.commit())
        return {false, file.description()};
    return {true, QString()};
}

}  // namespace zd
