#include "census/censusanswer.h"

#include "census/censuskeyproblem.h"
#include "census/jsonarrayscan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cctype>

namespace zd {
namespace {

const QString kZctaColumn = QStringLiteral("zip code tabulation area");

QString apiText(const QByteArray& body)
{
    return escapedControls(QString::fromUtf8(body.trimmed().left(500)).simplified());
}

QString shownValue(const QString& value) { return "\"" + escapedControls(value.left(40)) + "\""; }

CensusAnswer unreadable(const QString& why)
{
    CensusAnswer answer;
    answer.kind = CensusAnswerKind::Unreadable;
    answer.message = why;
    return answer;
}

// The header's names; why it cannot be believed, when it cannot.
struct Header {
    QStringList names;
    qsizetype zctaColumn = -1;
    QString fault;
};

Header readHeader(const QJsonValue& first, const QStringList& asked)
{
    Header header;
    if (!first.isArray())
        return {{}, -1, QStringLiteral("the answer's first row names no columns")};
    QSet<QString> seen;
    for (const QJsonValue name : first.toArray()) {
        if (!name.isString())
            return {{}, -1, QStringLiteral("the answer's header holds a name that is no text")};
        const QString text = name.toString();
        if (seen.contains(text))
            return {{}, -1, "the answer's header names " + shownValue(text) + " twice"};
        seen.insert(text);
        if (text == kZctaColumn)
            header.zctaColumn = header.names.size();
        header.names.append(text);
    }
    if (header.zctaColumn < 0)
        header.fault = QStringLiteral("the answer has no column \"zip code tabulation area\"");
    for (const QString& variable : asked) {
        if (header.fault.isEmpty() && !seen.contains(variable))
            header.fault = "the answer has no column " + shownValue(variable) + ", which was asked for";
    }
    return header;
}

// A value as kept (empty for no estimate); why it cannot be believed, when it cannot.
QString keptValue(const QJsonValue& cell, QString& fault)
{
    if (cell.isNull())
        return {};
    if (!cell.isString()) {
        fault = QStringLiteral("a value is no text in quotes (a JSON number, array, object or truth value)");
        return {};
    }
    const QString text = cell.toString();
    if (isCensusAnnotation(text))
        return {};
    if (!isPlainDecimal(text))
        fault = "the value " + shownValue(text) + " is no number";
    return text;
}

// One row's values, each ended by kEnd; why it cannot be believed, when it cannot.
QString rowValues(const QJsonArray& row, const Header& header, QString& fault)
{
    QString values;
    for (qsizetype c = 0; c < row.size() && fault.isEmpty(); ++c) {
        if (c != header.zctaColumn)
            values += keptValue(row.at(c), fault) + CensusAnswer::kEnd;
    }
    values.squeeze();
    return values;
}

QString rowFault(const QJsonValue& value, const Header& header, qsizetype number)
{
    if (!value.isArray())
        return QStringLiteral("row %1 of the answer is no list of values").arg(number);
    const qsizetype length = value.toArray().size();
    if (length != header.names.size())
        return QStringLiteral("row %1 of the answer holds %2 values where the header names %3")
            .arg(number).arg(length).arg(header.names.size());
    if (!value.toArray().at(header.zctaColumn).isString())
        return QStringLiteral("row %1 of the answer names no ZCTA").arg(number);
    return {};
}

bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Whether every backslash starts one of JSON's escapes: Qt's reader takes "\2"
// for "2", which would make "1\2" the figure 12.
bool escapesAreValid(const QByteArray& body)
{
    static const QByteArray single = "\"\\/bfnrt";
    for (qsizetype at = body.indexOf('\\'); at >= 0; at = body.indexOf('\\', at)) {
        const char next = at + 1 < body.size() ? body[at + 1] : '\0';
        if (next == 'u') {
            const QByteArray digits = body.mid(at + 2, 4);
            if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(), isHexDigit))
                return false;
            at += 6;
        } else if (next != '\0' && single.contains(next)) {
            at += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Reads the table one row at a time, as the scan hands each over: a whole
// country's answer is never held twice.
class TableReader {
public:
    TableReader(const QSet<QString>* wanted, const QStringList& asked) : m_wanted(wanted), m_asked(asked)
    {
        m_answer.kind = CensusAnswerKind::Table;
    }

    bool take(QByteArrayView element)
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(element.toByteArray(), &error);
        const QJsonValue value = element.startsWith('[') && error.error == QJsonParseError::NoError
                                     ? QJsonValue(document.array())
                                     : QJsonValue(QString());
        if (error.error != QJsonParseError::NoError && element.startsWith('['))
            m_fault = QStringLiteral("row %1 of the answer is not JSON: %2").arg(m_number).arg(error.errorString());
        else if (m_number == 0)
            takeHeader(value);
        else
            takeRow(value);
        ++m_number;
        return m_fault.isEmpty();
    }

    CensusAnswer finish()
    {
        if (m_number == 0)
            m_fault = QStringLiteral("the answer has no column \"zip code tabulation area\"");
        return m_fault.isEmpty() ? std::move(m_answer) : unreadable(m_fault);
    }

private:
    void takeHeader(const QJsonValue& value)
    {
        m_header = readHeader(value, m_asked);
        m_fault = m_header.fault;
        if (!m_fault.isEmpty())
            return;
        m_answer.columns = m_header.names;
        m_answer.columns.removeAt(m_header.zctaColumn);
    }

    void takeRow(const QJsonValue& value)
    {
        m_fault = rowFault(value, m_header, m_number);
        if (!m_fault.isEmpty())
            return;
        const QJsonArray row = value.toArray();
        const QString zcta = row.at(m_header.zctaColumn).toString();
        if (m_seen.contains(zcta)) {
            m_fault = "the answer holds two rows for ZCTA " + shownValue(zcta);
            return;
        }
        m_seen.insert(zcta);
        const QString values = rowValues(row, m_header, m_fault);
        if (!m_fault.isEmpty())
            m_fault += " (ZCTA " + shownValue(zcta) + ")";
        else if (!zcta.isEmpty() && (!m_wanted || m_wanted->contains(zcta)))
            m_answer.rows.insert(zcta, values);
    }

    const QSet<QString>* m_wanted;
    const QStringList& m_asked;
    Header m_header;
    QSet<QString> m_seen;
    CensusAnswer m_answer;
    QString m_fault;
    qsizetype m_number = 0;
};

CensusAnswer parseTable(const QByteArray& body, const QSet<QString>* wanted, const QStringList& asked)
{
    if (!escapesAreValid(body))
        return unreadable(QStringLiteral("the answer holds an escape that JSON does not know"));
    TableReader reader(wanted, asked);
    const ArrayScan scan = scanJsonArray(body, [&](QByteArrayView element) { return reader.take(element); });
    if (scan == ArrayScan::NotAnArray)
        return unreadable("the answer is not the API's table: " + apiText(body));
    return reader.finish();
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

bool isPlainDecimal(const QString& value)
{
    static const QRegularExpression decimal(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    return decimal.match(value).hasMatch();
}

bool isCensusAnnotation(const QString& value)
{
    static const QStringList annotations = {"-666666666", "-999999999", "-888888888",
                                            "-555555555", "-333333333", "-222222222"};
    static const QRegularExpression zeroFraction(QStringLiteral("\\.0+$"));
    QString whole = value.trimmed();
    whole.remove(zeroFraction);
    return annotations.contains(whole);
}

bool isCensusGeneralError(const QByteArray& body)
{
    return body.contains("There was an error while running your query");
}

QStringList censusVariablesAsked(const QString& address)
{
    const qsizetype question = address.indexOf('?');
    for (const QString& pair : address.mid(question + 1).split('&')) {
        if (question >= 0 && pair.startsWith(QLatin1String("get=")))
            return QUrl::fromPercentEncoding(pair.mid(4).toLatin1()).split(',', Qt::SkipEmptyParts);
    }
    return {};
}

CensusAnswer parseCensusAnswer(long httpStatus, const QByteArray& body, const QSet<QString>* wanted,
                               const QStringList& asked)
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
    if (httpStatus == 200 && isCensusKeyProblem({httpStatus, {}, false}, body)) {
        answer.kind = CensusAnswerKind::KeyRefused;
        return answer;
    }
    if (httpStatus == 200 && looksLikeHtml(body)) {
        answer.kind = CensusAnswerKind::Transient;
        answer.message = QStringLiteral("the Census API answered an HTML page");
        return answer;
    }
    if (httpStatus != 200)
        return unreadable("the API answered with status " + QString::number(httpStatus) + ": " + apiText(body));
    return parseTable(body, wanted, asked);
}

}  // namespace zd
