#include "census/censusanswer.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zd {
namespace {

const QString kZctaColumn = QStringLiteral("zip code tabulation area");

bool looksLikeHtml(const QByteArray& body)
{
    const QByteArray start = body.trimmed().left(200).toLower();
    return start.startsWith('<') && (start.contains("<html") || start.contains("<!doctype") || start.contains("<div")
                                     || start.contains("<head") || start.contains("<body"));
}

QString apiText(const QByteArray& body)
{
    return QString::fromUtf8(body.trimmed().left(500)).simplified();
}

// The cell as kept: its text, or nothing for null, anything that is not the
// API's string, and the annotation values.
QString keptText(const QJsonValue& cell)
{
    if (!cell.isString())
        return {};
    const QString text = cell.toString();
    if (isCensusAnnotation(text) || text.contains(CensusAnswer::kEnd))
        return {};
    return text;
}

CensusAnswer unreadable(const QString& why)
{
    CensusAnswer answer;
    answer.kind = CensusAnswerKind::Unreadable;
    answer.message = why;
    return answer;
}

CensusAnswer parseTable(const QByteArray& body, const QSet<QString>* wanted)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return unreadable("the answer is not the API's table: " + apiText(body));
    const QJsonArray rows = document.array();
    const QJsonArray header = rows.isEmpty() ? QJsonArray() : rows.first().toArray();
    qsizetype zctaColumn = -1;
    for (qsizetype i = 0; i < header.size(); ++i)
        zctaColumn = header[i].toString() == kZctaColumn ? i : zctaColumn;
    if (zctaColumn < 0)
        return unreadable(QStringLiteral("the answer has no column \"zip code tabulation area\""));
    CensusAnswer answer;
    answer.kind = CensusAnswerKind::Table;
    for (qsizetype c = 0; c < header.size(); ++c) {
        if (c != zctaColumn)
            answer.columns.append(header[c].toString());
    }
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QJsonArray row = rows[r].toArray();
        const QString zcta = row.at(zctaColumn).toString();
        if (zcta.isEmpty() || (wanted && !wanted->contains(zcta)))
            continue;
        QString values;
        for (qsizetype c = 0; c < header.size(); ++c) {
            if (c != zctaColumn)
                values += keptText(row.at(c)) + CensusAnswer::kEnd;
        }
        values.squeeze();
        answer.rows.insert(zcta, values);
    }
    return answer;
}

}  // namespace

CensusValue CensusAnswer::value(const QString& zcta, qsizetype column) const
{
    const auto row = rows.constFind(zcta);
    if (column < 0 || row == rows.constEnd())
        return std::nullopt;
    const QString text = row->section(kEnd, column, column);
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

bool isCensusAnnotation(const QString& value)
{
    static const QStringList annotations = {"-666666666", "-999999999", "-888888888",
                                            "-555555555", "-333333333", "-222222222"};
    return annotations.contains(value.trimmed());
}

bool isCensusGeneralError(const QByteArray& body)
{
    return body.contains("There was an error while running your query");
}

CensusAnswer parseCensusAnswer(long httpStatus, const QByteArray& body, const QSet<QString>* wanted)
{
    CensusAnswer answer;
    if (isCensusGeneralError(body) || httpStatus >= 500) {
        answer.kind = CensusAnswerKind::Transient;
        answer.message = apiText(body);
        return answer;
    }
    if (httpStatus == 204 && body.trimmed().isEmpty()) {
        answer.kind = CensusAnswerKind::NoData;
        return answer;
    }
    if (httpStatus == 400) {
        answer.kind = CensusAnswerKind::UserError;
        answer.message = apiText(body);
        return answer;
    }
    if (httpStatus == 200 && looksLikeHtml(body)) {
        answer.kind = CensusAnswerKind::KeyRefused;
        return answer;
    }
    if (httpStatus != 200)
        return unreadable("the API answered with status " + QString::number(httpStatus) + ": " + apiText(body));
    return parseTable(body, wanted);
}

}  // namespace zd
