#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
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

struct CensusAnswer {
    CensusAnswerKind kind = CensusAnswerKind::Unreadable;
    QString message;                                   // UserError, Transient, Unreadable: what the API said
    QHash<QString, QHash<QString, CensusValue>> rows;  // ZCTA -> variable -> value
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
