#pragma once

#include <QFlags>
#include <QList>
#include <QString>

#include <optional>

namespace zd {

class ListModel;
struct FetchOutcome;

// The parts of a zip code's page that become rows of the demographics list, in
// the order they are appended.
enum class PagePart {
    LocationName = 0x1,
    Figures = 0x2,
    HouseholdIncome = 0x4,
};
Q_DECLARE_FLAGS(PageParts, PagePart)

// Appends to the demographics list the rows of the chosen parts of a page already
// fetched: the location-name row (second column empty; none when the page has no
// name), then the figure rows, then the household income rows. A part whose cells
// are cut short keeps the rows before the break and ends the work there.
// Returns the part that broke off; nothing when every chosen part was whole.
std::optional<PagePart> appendPageRows(ListModel& list, const QString& page, PageParts parts);

// What the save command adds for one entry, cut out of one page: the location-name
// row (none for an empty entry), the figure rows and the household income rows.
std::optional<PagePart> appendEntryRows(ListModel& list, const QString& entry,
                                        const QString& page);

// Appends the location-name row of a zip code's page (second column empty) to
// the demographics list. An empty zip code adds nothing and fetches nothing;
// otherwise the page is fetched once, and a page without a name adds no row.
// With `fetched` each fetch's outcome (its body left out) is appended there, so
// that a caller can judge the entry by its fetches.
void ShowLocationName(ListModel& list, const QString& zip, QList<FetchOutcome>* fetched = nullptr);

// Appends the figure rows, then the household income rows, of a zip code's page,
// fetching the page afresh for each of the two passes. The zip code is used as
// given, also when empty. A row whose cells are cut short ends the work with
// AppError("Subscript out of range"); the rows appended before it stay.
// `fetched` as for ShowLocationName.
void ShowDemographics(ListModel& list, const QString& zip, QList<FetchOutcome>* fetched = nullptr);

// Gives a list the demographics list's columns, "Demographics" and " Value".
void addDemographicsColumns(ListModel& list);

}  // namespace zd

Q_DECLARE_OPERATORS_FOR_FLAGS(zd::PageParts)
