#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
    KeyRefused,   // 200 with the API's key page: it refused the key, or asks for one
    Transient,    // the API's general error text, 5xx, or another HTML page: worth asking again
    Unreadable,   // anything else, and a table that cannot be believed
};

// A figure as the API gives it, a plain decimal; nothing for null and the
// annotation values (-666666666, -999999999, -888888888, -555555555,
// -333333333, -222222222, also in decimal form: -666666666.0).
using CensusValue = std::optional<QString>;

// What an annotation value in an answer means. In an estimate's place each is
// no estimate; in a margin's place two say more of the estimate.
enum class CensusAnnotation {
    None,        // a figure, or no value at all
    NoEstimate,  // -666666666, -888888888, -999999999, -222222222: none could be worked out
    Controlled,  // -555555555: the estimate is controlled and has no sampling error (a margin of 0)
    OpenEnded,   // -333333333: the median falls in the lowest or highest, open-ended interval
};

// A whole country's answer holds some 33,000 rows of up to 50 figures, so each
// row is kept as one text of ASCII bytes: its values in column order, each
// ended by kEnd, an empty value standing for null. A value is a plain decimal
// (zero without a sign), or an annotation's code as such ("-555555555"), the
// only values that start with a minus.
struct CensusAnswer {
    static constexpr char kEnd = 0x1F;

    CensusAnswerKind kind = CensusAnswerKind::Unreadable;
    QString message;               // UserError, Transient, Unreadable: what the API said
    QStringList columns;           // the variables, in the answer's order
    QHash<QString, QByteArray> rows;  // ZCTA -> its values

    // The variable's column; -1 when the answer has none.
    qsizetype columnOf(const QString& variable) const { return columns.indexOf(variable); }
    // A ZCTA's value in a column; nothing for null, an annotation or a ZCTA not in the answer.
    CensusValue value(const QString& zcta, qsizetype column) const;
    CensusValue value(const QString& zcta, const QString& variable) const { return value(zcta, columnOf(variable)); }
};

// Reads an answer from its HTTP status and body bytes: a JSON array whose first
// row names the columns ("zip code tabulation area" among them) and whose other
// rows hold strings or nulls. A table is believed only whole: every row as long
// as the header, each column named once, one row per ZCTA, each value null or a
// plain decimal number in a string, as the API sends a figure: below 10^15 in
// size (the largest the writers keep exactly) and not negative unless one of
// the annotation values; anything else makes it Unreadable, the value named.
// With `wanted`, only the rows of those ZCTAs are kept (an answer for every ZCTA
// holds some 33,000). With `asked`, a table lacking one of those columns is
// Unreadable.
CensusAnswer parseCensusAnswer(long httpStatus, const QByteArray& body, const QSet<QString>* wanted = nullptr,
                               const QStringList& asked = {});

// The variables a data request's address asks for (its "get=").
QStringList censusVariablesAsked(const QString& address);

// Whether the API's text is its general error ("There was an error while running
// your query..."), which says nothing about the request and passes with a retry.
bool isCensusGeneralError(const QByteArray& body);

// Whether a value is one of the annotation values that mean "no estimate".
bool isCensusAnnotation(const QString& value);
// The annotation a value as it stands in an answer's row stands for; None for
// a figure or no value.
CensusAnnotation censusAnnotationOf(QByteArrayView value);
// A value as it stands in an answer's row (ASCII bytes) read as a number: nothing
// for an empty value (no estimate), an annotation value, or text that is not one
// finite number.
std::optional<double> censusNumber(QByteArrayView value);
// Whether a value is written as the API writes a figure: an optional minus,
// digits without a needless leading zero, and an optional fraction.
bool isPlainDecimal(const QString& value);

}  // namespace zd
