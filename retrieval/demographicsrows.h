#pragma once

#include <QString>

namespace zd {

class ListModel;

// Appends the location-name row of a zip code's page (second column empty) to
// the demographics list. An empty zip code adds nothing and fetches nothing;
// otherwise the page is fetched once, and a page without a name adds no row.
void ShowLocationName(ListModel& list, const QString& zip);

// Appends the figure rows, then the household income rows, of a zip code's page,
// fetching the page afresh for each of the two passes. The zip code is used as
// given, also when empty. A row whose cells are cut short ends the work with
// AppError("Subscript out of range"); the rows appended before it stay.
void ShowDemographics(ListModel& list, const QString& zip);

}  // namespace zd
