#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace zd {

// Pure extractions over the text of a zip code's page: no fetch, no list, no
// state. Markers are matched exactly and case-sensitively; each removal of a
// tag text is one left-to-right pass, so text it joins is not looked at again.

// The location name: the third piece of the page cut at every ">(", up to its
// first "</td>", without "&nbsp;", "<nobr>", "</nobr>", "<b>" and ")". Nothing
// when the page holds fewer than two ">(". The name may be empty.
std::optional<QString> extractLocationName(const QString& page);

struct DemographicRow {
    QString name;
    QString value;
};

// The rows found, in page order. brokeOff: a piece that a row needs is missing
// (an index out of range); the rows hold what came before it.
struct ExtractedRows {
    QList<DemographicRow> rows;
    bool brokeOff = false;
};

// One row per <td class="text"> cell: its label, and the text between the first
// and second ">" of the cell after it.
ExtractedRows extractFigureRows(const QString& page);

// One row per right-aligned cell that opens a table row: "household income "
// and its label, and the text of the right-aligned cell after it.
ExtractedRows extractHouseholdIncomeRows(const QString& page);

}  // namespace zd
