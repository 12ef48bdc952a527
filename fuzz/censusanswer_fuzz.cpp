// An answer of the Census Data API, its status taken from the first byte: what
// is read never depends on which ZCTAs are wanted, a table holds only checked
// figures in rows as long as its header, and no message carries a control
// character from the answer to the terminal.
#include "census/censusanswer.h"

#include <QList>

#include <algorithm>
#include <cstdlib>

namespace {
const QString kZctaColumn = QStringLiteral("zip code tabulation area");

void require(bool holds)
{
    if (!holds)
        std::abort();
}

long statusOf(uint8_t choice)
{
    static const long statuses[] = {200, 200, 200, 200, 200, 200, 204, 400, 404, 302, 500, 503};
    return statuses[choice % std::size(statuses)];
}

bool hasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    });
}

bool sameAnswer(const zd::CensusAnswer& a, const zd::CensusAnswer& b)
{
    return a.kind == b.kind && a.message == b.message && a.columns == b.columns && a.rows == b.rows;
}

void checkTable(const zd::CensusAnswer& answer)
{
    require(!answer.columns.contains(kZctaColumn));
    require(QSet<QString>(answer.columns.begin(), answer.columns.end()).size() == answer.columns.size());
    for (auto row = answer.rows.cbegin(); row != answer.rows.cend(); ++row) {
        require(!row.key().isEmpty());
        require(row->count(zd::CensusAnswer::kEnd) == answer.columns.size());
        for (qsizetype column = 0; column < answer.columns.size(); ++column) {
            const zd::CensusValue value = answer.value(row.key(), column);
            require(!value || (zd::isPlainDecimal(*value) && !zd::isCensusAnnotation(*value)));
        }
    }
}

// Every other ZCTA of the whole answer, and one it does not hold.
QSet<QString> someOf(const zd::CensusAnswer& answer)
{
    QStringList zctas = answer.rows.keys();
    std::sort(zctas.begin(), zctas.end());
    QSet<QString> wanted = {QStringLiteral("not a zcta")};
    for (qsizetype i = 0; i < zctas.size(); i += 2)
        wanted.insert(zctas[i]);
    return wanted;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const long status = statusOf(data[0]);
    const QByteArray body(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));

    const zd::CensusAnswer whole = zd::parseCensusAnswer(status, body);
    require(!hasControl(whole.message));
    if (whole.kind != zd::CensusAnswerKind::Table) {
        require(whole.rows.isEmpty());
        return 0;
    }
    checkTable(whole);

    const QSet<QString> wanted = someOf(whole);
    zd::CensusAnswer expected = whole;
    for (const QString& zcta : whole.rows.keys()) {
        if (!wanted.contains(zcta))
            expected.rows.remove(zcta);
    }
    require(sameAnswer(zd::parseCensusAnswer(status, body, &wanted), expected));

    require(sameAnswer(zd::parseCensusAnswer(status, body, nullptr, whole.columns), whole));
    const QString absent = QStringLiteral("DP99_0001E");
    if (!whole.columns.contains(absent)) {
        const zd::CensusAnswer lacking = zd::parseCensusAnswer(status, body, nullptr, whole.columns + QStringList{absent});
        require(lacking.kind == zd::CensusAnswerKind::Unreadable && lacking.rows.isEmpty());
    }
    return 0;
}
