#include "retrieval/demographicsparser.h"

#include <initializer_list>

namespace zd {
namespace {
constexpr QStringView kLocationMarker = u">(";
constexpr QStringView kCellEnd = u"</td>";
constexpr QStringView kFigureCellMarker = u"<td class=\"text\">";
constexpr QStringView kIncomeRowMarker = u"</tr><tr><td class=\"text\" align=\"right\">";
constexpr QStringView kRightCellMarker = u"<td class=\"text\" align=\"right\">";
constexpr QStringView kTagEnd = u">";
constexpr QStringView kNbsp = u"&nbsp;";
constexpr QStringView kNobr = u"<nobr>";
constexpr QStringView kNobrEnd = u"</nobr>";
constexpr QStringView kBold = u"<b>";
constexpr QStringView kCloseParen = u")";
constexpr QStringView kIncomePrefix = u"household income ";

// Each text is removed in one pass over the result of the removals before it.
QString withoutAll(QStringView text, std::initializer_list<QStringView> removals)
{
    QString result = text.toString();
    for (const QStringView removal : removals)
        result.remove(removal.toString());
    return result;
}

// Piece `index` of text cut at every delimiter (0: before the first one); nothing
// when the text has fewer pieces.
std::optional<QStringView> pieceAt(QStringView text, QStringView delimiter, int index)
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype found = text.indexOf(delimiter, start);
        if (found < 0)
            return std::nullopt;
        start = found + delimiter.size();
    }
    const qsizetype end = text.indexOf(delimiter, start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start);
}

// The label and the following cell of a segment: the pieces before and after its
// first "</td>". Nothing when the segment holds no "</td>".
struct CellPair {
    QStringView label;
    QStringView next;
};
std::optional<CellPair> cellPair(QStringView segment)
{
    const std::optional<QStringView> next = pieceAt(segment, kCellEnd, 1);
    if (!next)
        return std::nullopt;
    return CellPair{segment.first(segment.indexOf(kCellEnd)), *next};
}

// Hands segments 1 to k of the page cut at every marker to take(), in page order,
// until take() reports a missing piece.
template <typename Take>
ExtractedRows rowsAfterMarkers(QStringView page, QStringView marker, Take take)
{
    ExtractedRows result;
    qsizetype at = page.indexOf(marker);
    while (at >= 0) {
        const qsizetype start = at + marker.size();
        const qsizetype next = page.indexOf(marker, start);
        const QStringView segment = page.sliced(start, (next < 0 ? page.size() : next) - start);
        std::optional<DemographicRow> row = take(segment);
        if (!row) {
            result.brokeOff = true;
            break;
        }
        result.rows.append(std::move(*row));
        at = next;
    }
    return result;
}

std::optional<DemographicRow> figureRow(QStringView segment)
{
    const std::optional<CellPair> cells = cellPair(segment);
    if (!cells)
        return std::nullopt;
    const std::optional<QStringView> value = pieceAt(cells->next, kTagEnd, 1);
    if (!value)
        return std::nullopt;
    return DemographicRow{withoutAll(cells->label, {kNbsp, kNobr, kNobrEnd, kBold}),
                          withoutAll(*value, {kNbsp})};
}

std::optional<DemographicRow> householdIncomeRow(QStringView segment)
{
    const std::optional<CellPair> cells = cellPair(segment);
    if (!cells)
        return std::nullopt;
    const std::optional<QStringView> value = pieceAt(cells->next, kRightCellMarker, 1);
    if (!value)
        return std::nullopt;
    return DemographicRow{kIncomePrefix.toString() + withoutAll(cells->label, {kNbsp}),
                          withoutAll(*value, {kNbsp, kNobr, kNobrEnd})};
}
}  // namespace

std::optional<QString> extractLocationName(const QString& page)
{
    const std::optional<QStringView> cell = pieceAt(page, kLocationMarker, 2);
    if (!cell)
        return std::nullopt;
    const qsizetype end = cell->indexOf(kCellEnd);
    return withoutAll(end < 0 ? *cell : cell->first(end),
                      {kNbsp, kNobr, kNobrEnd, kBold, kCloseParen});
}

ExtractedRows extractFigureRows(const QString& page)
{
    return rowsAfterMarkers(page, kFigureCellMarker, &figureRow);
}

ExtractedRows extractHouseholdIncomeRows(const QString& page)
{
    return rowsAfterMarkers(page, kIncomeRowMarker, &householdIncomeRow);
}

}  // namespace zd
