#include "census/censusanswer.h"

#include "census/censuskeyproblem.h"
#include "core/escapedcontrols.h"

#include <QRegularExpression>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <array>
#include <string>
#include <string_view>
#include <vector>
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
// Its text stays in the parser's bytes: most values are only checked, and the
// few kept are turned into text once.
struct Cell {
    enum class Kind { Text, Null, Other } kind = Kind::Other;
    std::string text;

    QString toString() const { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
};
using Row = std::vector<Cell>;

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view trimmedAscii(std::string_view text)
{
    while (!text.empty() && isAsciiSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isAsciiSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An optional minus, digits without a needless leading zero, an optional fraction.
bool isPlainDecimalText(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const auto digitsEnd = std::find_if_not(text.begin(), text.end(), isDigit);
    const auto whole = std::size_t(digitsEnd - text.begin());
    if (whole == 0 || (whole > 1 && text.front() == '0'))
        return false;
    text.remove_prefix(whole);
    if (text.empty())
        return true;
    return text.size() > 1 && text.front() == '.' && std::all_of(text.begin() + 1, text.end(), isDigit);
}

// The annotation a value stands for as its code, spaces around it and a
// fraction of zeros allowed; empty for any other text.
std::string_view annotationCode(std::string_view text)
{
    static constexpr std::array<std::string_view, 6> annotations = {
        "-666666666", "-999999999", "-888888888", "-555555555", "-333333333", "-222222222"};
    text = trimmedAscii(text);
    const std::size_t point = text.rfind('.');
    if (point != std::string_view::npos && point + 1 < text.size()
        && std::all_of(text.begin() + std::ptrdiff_t(point) + 1, text.end(), [](char c) { return c == '0'; }))
        text = text.substr(0, point);
    const auto found = std::find(annotations.begin(), annotations.end(), text);
    return found == annotations.end() ? std::string_view() : *found;
}

bool isAnnotationText(std::string_view text) { return !annotationCode(text).empty(); }

// The writers keep a figure exactly below 10^15: its whole part has 15 digits at most.
constexpr std::size_t kMostWholeDigits = 15;

bool isWithinExactRange(std::string_view plain)
{
    if (plain.front() == '-')
        plain.remove_prefix(1);
    return std::min(plain.find('.'), plain.size()) <= kMostWholeDigits;
}

// "-0", "-0.0": zero written with a sign, which no figure needs.
bool isNegativeZero(std::string_view plain)
{
    return plain.front() == '-' && std::all_of(plain.begin() + 1, plain.end(), [](char c) { return c == '0' || c == '.'; });
}

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
    for (const Cell& cell : *first) {
        if (cell.kind != Cell::Kind::Text)
            return {{}, -1, QStringLiteral("the answer's header holds a name that is no text")};
        const QString name = cell.toString();
        if (seen.contains(name))
            return {{}, -1, "the answer's header names " + shownValue(name) + " twice"};
        seen.insert(name);
        if (name == kZctaColumn)
            header.zctaColumn = header.names.size();
        header.names.append(name);
    }
    if (header.zctaColumn < 0)
        header.fault = QStringLiteral("the answer has no column \"zip code tabulation area\"");
    for (const QString& variable : asked) {
        if (header.fault.isEmpty() && !seen.contains(variable))
            header.fault = "the answer has no column " + shownValue(variable) + ", which was asked for";
    }
    return header;
}

// The value as kept: the figure, the annotation's code, or empty for null;
// why it cannot be believed, when it cannot. Zero is kept without a sign.
std::string_view keptValue(const Cell& cell, QString& fault)
{
    if (cell.kind == Cell::Kind::Null)
        return {};
    if (cell.kind == Cell::Kind::Other) {
        fault = QStringLiteral("a value is no text in quotes (a JSON number, array, object or truth value)");
        return {};
    }
    const std::string_view text = cell.text;
    // Nearly every value is a plain decimal, and only a negative one may be an annotation.
    if (isPlainDecimalText(text)) {
        if (!isWithinExactRange(text)) {
            fault = "the value " + shownValue(cell.toString()) + " is too large for a figure";
            return {};
        }
        if (text.front() != '-')
            return text;
        if (isNegativeZero(text))
            return text.substr(1);
        const std::string_view code = annotationCode(text);
        if (code.empty())
            fault = "the value " + shownValue(cell.toString()) + " is negative and no annotation the API uses";
        return code;
    }
    // Else only an annotation with spaces around it, maybe wide ones, is no fault.
    const std::string_view code =
        annotationCode(isAscii(text) ? text : std::string_view(cell.toString().trimmed().toStdString()));
    if (code.empty())
        fault = "the value " + shownValue(cell.toString()) + " is no number";
    return code;
}

// One row's values, each ended by kEnd, when `kept`; why it cannot be believed,
// when it cannot. Every value is checked, kept or not.
QByteArray rowValues(const Row& row, const Header& header, bool kept, QString& fault)
{
    QByteArray values;
    if (kept)
        values.reserve(qsizetype(row.size()) * 8);
    for (std::size_t c = 0; c < row.size() && fault.isEmpty(); ++c) {
        if (qsizetype(c) == header.zctaColumn)
            continue;
        const std::string_view value = keptValue(row[c], fault);
        if (kept) {
            values.append(value.data(), qsizetype(value.size()));  // ASCII digits only
            values += CensusAnswer::kEnd;
        }
    }
    values.squeeze();
    return values;
}

QString rowFault(const Row* row, const Header& header, qsizetype number)
{
    if (!row)
        return QStringLiteral("row %1 of the answer is no list of values").arg(number);
    if (qsizetype(row->size()) != header.names.size())
        return QStringLiteral("row %1 of the answer holds %2 values where the header names %3")
            .arg(number).arg(row->size()).arg(header.names.size());
    if (row->at(std::size_t(header.zctaColumn)).kind != Cell::Kind::Text)
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
        const QString zcta = row->at(std::size_t(m_header.zctaColumn)).toString();
        if (m_seen.contains(zcta)) {
            m_fault = "the answer holds two rows for ZCTA " + shownValue(zcta);
            return;
        }
        m_seen.insert(zcta);
        const bool kept = !zcta.isEmpty() && (!m_wanted || m_wanted->contains(zcta));
        const QByteArray values = rowValues(*row, m_header, kept, m_fault);
        if (!m_fault.isEmpty())
            m_fault += " (ZCTA " + shownValue(zcta) + ")";
        else if (kept)
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
    bool string(std::string& text) { return value({Cell::Kind::Text, std::move(text)}); }
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
            startRow(array);
        else if (m_depth == 3 && m_inRow)
            m_row.emplace_back();
        return true;
    }

    bool close()
    {
        --m_depth;
        if (m_depth != 1)
            return true;
        const bool wasRow = std::exchange(m_inRow, false);
        return m_reader.take(wasRow ? &m_row : nullptr);
    }

    bool value(Cell cell)
    {
        if (m_depth == 0) {
            m_notATable = true;
            return false;
        }
        if (m_depth == 1)
            return m_reader.take(nullptr);  // a row that is a lone value
        if (m_depth == 2 && m_inRow)
            m_row.push_back(std::move(cell));
        return true;
    }

    // The row's cells are cleared, not freed: the next row takes their room.
    void startRow(bool array)
    {
        m_inRow = array;
        m_row.clear();
    }

    TableReader& m_reader;
    int m_depth = 0;
    bool m_opened = false;
    bool m_notATable = false;
    Row m_row;            // the row being read
    bool m_inRow = false;  // false for an object in the table
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
    qsizetype from = 0;
    for (qsizetype skipped = 0; skipped < column; ++skipped) {
        const qsizetype ended = row->indexOf(kEnd, from);
        if (ended < 0)
            return std::nullopt;
        from = ended + 1;
    }
    qsizetype end = row->indexOf(kEnd, from);
    end = end < 0 ? row->size() : end;
    if (end == from || row->at(from) == '-')
        return std::nullopt;  // no value, or an annotation
    return QString::fromLatin1(row->sliced(from, end - from));
}

bool isPlainDecimal(const QString& value)
{
    std::array<char, 64> ascii{};  // a figure is short; anything longer is read the long way
    if (value.size() > qsizetype(ascii.size()))
        return isPlainDecimalText(value.toStdString());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c >= 0x80)
            return false;
        ascii[std::size_t(i)] = char(c);
    }
    return isPlainDecimalText(std::string_view(ascii.data(), std::size_t(value.size())));
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

CensusAnnotation censusAnnotationOf(QByteArrayView value)
{
    if (value.isEmpty() || value.front() != '-')
        return CensusAnnotation::None;  // nearly every value: a figure, as every code starts with a minus
    const std::string_view code =
        annotationCode(std::string_view(value.data(), std::size_t(value.size())));
    if (code.empty())
        return CensusAnnotation::None;
    if (code == "-555555555")
        return CensusAnnotation::Controlled;
    if (code == "-333333333")
        return CensusAnnotation::OpenEnded;
    return CensusAnnotation::NoEstimate;
}

std::optional<double> censusNumber(QByteArrayView value)
{
    const std::string_view text = trimmedAscii(std::string_view(value.data(), std::size_t(value.size())));
    if (text.empty() || isAnnotationText(text))
        return std::nullopt;
    double number = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, number, std::chars_format::general);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(number))
        return std::nullopt;
    return number;
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
