#include "census/censusanswer.h"

#include "census/censuskeyproblem.h"
#include "census/escapedcontrols.h"

#include <QRegularExpression>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <optional>
#include <utility>

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

// One value of a row as the answer wrote it: a string, null, or anything else
// (a number, a truth value, an array or an object), which the API never sends.
struct Cell {
    enum class Kind { Text, Null, Other } kind = Kind::Other;
    QString text;
};
using Row = QList<Cell>;

// The header's names; why it cannot be believed, when it cannot.
struct Header {
    QStringList names;
    qsizetype zctaColumn = -1;
    QString fault;
};

Header readHeader(const Row* first, const QStringList& asked)
{
    Header header;
    if (!first)
        return {{}, -1, QStringLiteral("the answer's first row names no columns")};
    QSet<QString> seen;
    for (const Cell& name : *first) {
        if (name.kind != Cell::Kind::Text)
            return {{}, -1, QStringLiteral("the answer's header holds a name that is no text")};
        if (seen.contains(name.text))
            return {{}, -1, "the answer's header names " + shownValue(name.text) + " twice"};
        seen.insert(name.text);
        if (name.text == kZctaColumn)
            header.zctaColumn = header.names.size();
        header.names.append(name.text);
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
QString keptValue(const Cell& cell, QString& fault)
{
    if (cell.kind == Cell::Kind::Null)
        return {};
    if (cell.kind == Cell::Kind::Other) {
        fault = QStringLiteral("a value is no text in quotes (a JSON number, array, object or truth value)");
        return {};
    }
    if (isCensusAnnotation(cell.text))
        return {};
    if (!isPlainDecimal(cell.text))
        fault = "the value " + shownValue(cell.text) + " is no number";
    return cell.text;
}

// One row's values, each ended by kEnd; why it cannot be believed, when it cannot.
QString rowValues(const Row& row, const Header& header, QString& fault)
{
    QString values;
    for (qsizetype c = 0; c < row.size() && fault.isEmpty(); ++c) {
        if (c != header.zctaColumn)
            values += keptValue(row[c], fault) + CensusAnswer::kEnd;
    }
    values.squeeze();
    return values;
}

QString rowFault(const Row* row, const Header& header, qsizetype number)
{
    if (!row)
        return QStringLiteral("row %1 of the answer is no list of values").arg(number);
    if (row->size() != header.names.size())
        return QStringLiteral("row %1 of the answer holds %2 values where the header names %3")
            .arg(number).arg(row->size()).arg(header.names.size());
    if (row->at(header.zctaColumn).kind != Cell::Kind::Text)
        return QStringLiteral("row %1 of the answer names no ZCTA").arg(number);
    return {};
}

// Takes the table one row at a time, as the parser hands each over: a whole
// country's answer is never held twice.
class TableReader {
public:
    TableReader(const QSet<QString>* wanted, const QStringList& asked) : m_wanted(wanted), m_asked(asked)
    {
        m_answer.kind = CensusAnswerKind::Table;
    }

    // A row; null for an element of the table that is no list. False once the
    // answer cannot be believed.
    bool take(const Row* row)
    {
        if (m_number == 0)
            takeHeader(row);
        else
            takeRow(row);
        ++m_number;
        return m_fault.isEmpty();
    }

    void fail(const QString& fault) { m_fault = fault; }

    CensusAnswer finish()
    {
        if (m_fault.isEmpty() && m_number == 0)
            m_fault = QStringLiteral("the answer has no column \"zip code tabulation area\"");
        return m_fault.isEmpty() ? std::move(m_answer) : unreadable(m_fault);
    }

private:
    void takeHeader(const Row* row)
    {
        m_header = readHeader(row, m_asked);
        m_fault = m_header.fault;
        if (!m_fault.isEmpty())
            return;
        m_answer.columns = m_header.names;
        m_answer.columns.removeAt(m_header.zctaColumn);
    }

    void takeRow(const Row* row)
    {
        m_fault = rowFault(row, m_header, m_number);
        if (!m_fault.isEmpty())
            return;
        const QString& zcta = row->at(m_header.zctaColumn).text;
        if (m_seen.contains(zcta)) {
            m_fault = "the answer holds two rows for ZCTA " + shownValue(zcta);
            return;
        }
        m_seen.insert(zcta);
        const QString values = rowValues(*row, m_header, m_fault);
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

// The parser's events over the answer, an array of rows of values: each row is
// gathered and handed to the reader once it ends; anything nested deeper than a
// value is only skipped over.
class TableEvents {
public:
    using json = nlohmann::json;

    explicit TableEvents(TableReader& reader) : m_reader(reader) {}

    bool null() { return value({Cell::Kind::Null, {}}); }
    bool boolean(bool) { return value({}); }
    bool number_integer(json::number_integer_t) { return value({}); }
    bool number_unsigned(json::number_unsigned_t) { return value({}); }
    bool number_float(json::number_float_t, const std::string&) { return value({}); }
    bool binary(json::binary_t&) { return value({}); }
    bool string(std::string& text) { return value({Cell::Kind::Text, QString::fromStdString(text)}); }
    bool start_object(std::size_t) { return open(false); }
    bool key(std::string&) { return true; }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(true); }
    bool end_array() { return close(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error)
    {
        if (!m_opened)
            m_notATable = true;
        else if (isEscapeError(error.what()))
            m_reader.fail(QStringLiteral("the answer holds an escape that JSON does not know"));
        else
            m_reader.fail(QStringLiteral("the answer is not JSON from byte %1: %2")
                              .arg(position).arg(escapedControls(QString::fromUtf8(error.what()))));
        return false;
    }

    // The text is no array at all.
    bool notATable() const { return m_notATable; }

private:
    static bool isEscapeError(const char* what)
    {
        const QByteArray text(what);
        return text.contains("after backslash") || text.contains("'\\u'");
    }

    // Depth 1 is the table, 2 a row, deeper the inside of a value that is no string.
    bool open(bool array)
    {
        ++m_depth;
        if (m_depth == 1 && !array) {
            m_notATable = true;
            return false;
        }
        if (m_depth == 1)
            m_opened = true;
        else if (m_depth == 2)
            m_row = array ? std::optional<Row>(Row()) : std::nullopt;
        else if (m_depth == 3 && m_row)
            m_row->append(Cell{});
        return true;
    }

    bool close()
    {
        --m_depth;
        if (m_depth != 1)
            return true;
        const std::optional<Row> row = std::exchange(m_row, std::nullopt);
        return m_reader.take(row ? &*row : nullptr);
    }

    bool value(Cell cell)
    {
        if (m_depth == 0) {
            m_notATable = true;
            return false;
        }
        if (m_depth == 1)
            return m_reader.take(nullptr);  // a row that is a lone value
        if (m_depth == 2 && m_row)
            m_row->append(std::move(cell));
        return true;
    }

    TableReader& m_reader;
    int m_depth = 0;
    bool m_opened = false;
    bool m_notATable = false;
    std::optional<Row> m_row;  // the row being read; nothing for an object in the table
};

CensusAnswer parseTable(const QByteArray& body, const QSet<QString>* wanted, const QStringList& asked)
{
    TableReader reader(wanted, asked);
    TableEvents events(reader);
    const bool whole = nlohmann::json::sax_parse(body.cbegin(), body.cend(), &events);
    if (events.notATable())
        return unreadable("the answer is not the API's table: " + apiText(body));
    CensusAnswer answer = reader.finish();
    if (!whole && answer.kind == CensusAnswerKind::Table)
        return unreadable(QStringLiteral("the answer breaks off"));
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
