#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <array>

namespace zd::test {

class TestSite;

// A row of the demographics list: its two columns.
using Row = QPair<QString, QString>;

// The places the stress tests' site knows.
struct Place {
    const char* zip;
    const char* name;
};
constexpr std::array<Place, 5> kPlaces{{{"03053", "Ashbury Ferns, NH"},
                                        {"01830", "Coldwater Mills, MA"},
                                        {"55501", "Tarn Hollow, MN"},
                                        {"44444", "Slowbrook Flats, OR"},
                                        {"77777", "Broken Reach, VT"}}};
constexpr const char* kSlowZip = "44444";    // its page arrives in pieces with pauses
constexpr const char* kBrokenZip = "77777";  // its page breaks off inside the figures

// The place of a zip code; nothing for one the site does not know.
const Place* placeOf(const QString& zip);

// The page of a place.
QString pageHtml(const Place& place);

// The rows that showing a zip code's page puts into the demographics list: the
// name row, the figures and the household incomes; a page that breaks off gives
// the rows before the break.
QList<Row> rowsOfPlace(const Place& place);

// Sets the page of every place on the site, the slow one's in pieces.
void servePlaces(TestSite& site);

}  // namespace zd::test
