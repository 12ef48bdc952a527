#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QString>

#include <optional>

namespace zd {

// What one answer of the API means.
enum class CensusAnswerKind {
    Table,        // 200 with rows: the figures of the ZCTAs it holds
    NoData,       // 204 with an empty body: none of the ZCTAs has figures
    UserError,    // 400: the request is wrong (an unknown variable, too many); the API's words kept
    KeyRefused,   // 200 with an HTML page: the API refused the key, or asks for one
    Transient,    // the API's general error text, or 5xx: worth asking again
    Unreadable,   // anything else
};

// A figure as the API gives it; nothing for null and the annotation values that
// stand for "no estimate" (-666666666, -999999999, -888888888, -555555555,
// -333333333, -222222222).
using CensusValue = std::optional<QString>;

// A whole country's answer holds some 33,000 rows of up to 50 figures, so each
// row is kept as one text: its values in column order, each ended by kEnd, an
// empty value standing for no estimate.
struct CensusAnswer {
    static constexpr QChar kEnd = QChar(0x1F);

    CensusAnswerKind kind = CensusAnswerKind::Unreadable;
    QString message;               // UserError, Transient, Unreadable: what the API said
    QStringList columns;           // the variables, in the answer's order
    QHash<QString, QString> rows;  // ZCTA -> its values

    // The variable's column; -1 when the answer has none.
    qsizetype columnOf(const QString& variable) const { return columns.indexOf(variable); }
    // A ZCTA's value in a column; nothing for no estimate or a ZCTA not in the answer.
    CensusValue value(const QString& zcta, qsizetype column) const;
    CensusValue value(const QString& zcta, const QString& variable) const { return value(zcta, columnOf(variable)); }
};

// Reads an answer from its HTTP status and body bytes: a JSON array whose first
// row names the columns ("zip code tabulation area" among them) and whose other
// rows hold strings or nulls.
// With `wanted`, only the rows of those ZCTAs are kept (an answer for every ZCTA
// holds some 33,000).
CensusAnswer parseCensusAnswer(long httpStatus, const QByteArray& body, const QSet<QString>* wanted = nullptr);

// Whether the API's text is its general error ("There was an error while running
// your query..."), which says nothing about the request and passes with a retry.
bool isCensusGeneralError(const QByteArray& body);

// Whether a value is one of the annotation values that mean "no estimate".
bool isCensusAnnotation(const QString& value);

}  // namespace zd
