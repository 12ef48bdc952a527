// The selections over a small table of our own and over the bundled one, and the
// user's words for them: what is taken, what is refused and how it is said.
#include "area/areaquery.h"
#include "area/zipareas.h"
#include "census/zctalist.h"
#include "census/placenames.h"

#include <QFile>

#include <algorithm>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

// Four ZIP codes on one meridian a known distance apart, two towns of one name in
// different states, one with no coordinates and one without a ZCTA.
const QByteArray kTable = "00010\tNorth Town\tNH\t1.0\t0\n"
                          "00020\tnorth  town\tNH\t1.0\t0\n"
                          "00030\tSouth Town\tNH\t0.5\t0\n"
                          "00040\tNorth Town\tVT\t0\t0.25\n"
                          "00050\tApo\tAE\t0\t0\n"
                          "00060\tFar Away\tHI\t20\t-150\n";

class SmallTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile file(m_folder.filePath("places.tsv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kTable);
        file.close();
        m_areas.emplace(PlaceNames::read(file.fileName()), ZctaList::parse("00010\n00030\n00040\n00060\nnot a zcta\n"));
    }
    const ZipAreas& areas() const { return *m_areas; }

    QTemporaryDir m_folder;
    std::optional<ZipAreas> m_areas;
};

TEST_F(SmallTable, NearIsNearestFirstWithTiesByZipCodeAndSaysWhichHaveNoZcta)
{
    const QList<AreaZip> zips = areas().near({0, 0}, 80);
    ASSERT_EQ(zipsOf(zips), (QStringList{"00040", "00030", "00010", "00020"}));
    EXPECT_NEAR(zips[0].miles, 17.27, 0.01);
    EXPECT_NEAR(zips[2].miles, 69.09, 0.01);
    EXPECT_EQ(zips[2].miles, zips[3].miles);
    EXPECT_TRUE(zips[2].hasZcta);
    EXPECT_FALSE(zips[3].hasZcta);
    // The ZIP code without coordinates (0,0 in the table) is never near anything,
    // not even the point 0,0 itself.
    EXPECT_FALSE(zipsOf(areas().near({0, 0}, 3000)).contains("00050"));
}

TEST_F(SmallTable, StatesAndTownsMatchWithoutRegardToCaseOrSpaces)
{
    EXPECT_EQ(zipsOf(selectState(areas(), "nh").zips), (QStringList{"00010", "00020", "00030"}));
    EXPECT_EQ(zipsOf(selectState(areas(), "AE").zips), QStringList{"00050"});
    EXPECT_EQ(zipsOf(selectTown(areas(), "NORTH TOWN, nh").zips), (QStringList{"00010", "00020"}));
    EXPECT_EQ(zipsOf(selectTown(areas(), "  North   Town ,VT ").zips), QStringList{"00040"});
}

TEST_F(SmallTable, NearTakesAZipCodeOrLatitudeAndLongitude)
{
    EXPECT_EQ(zipsOf(selectNear(areas(), "00030", 40).zips), (QStringList{"00030", "00010", "00020", "00040"}));
    EXPECT_EQ(zipsOf(selectNear(areas(), "1, 0", 1).zips), (QStringList{"00010", "00020"}));
    EXPECT_EQ(zipsOf(selectNear(areas(), "+20.0,-150", 0).zips), QStringList{"00060"});
    EXPECT_EQ(zipsOf(selectNear(areas(), "-0.5,.0", 40).zips), (QStringList{"00040"}));
}

TEST_F(SmallTable, WhatCannotBeSelectedIsSaidAndSelectsNothing)
{
    const QList<QPair<AreaAnswer, QString>> refused = {
        {selectNear(areas(), "99999", 10), "unknown ZIP code 99999: the place table does not have it"},
        {selectNear(areas(), "00050", 10), "ZIP code 00050 (Apo, AE) has no coordinates in the place table"},
        {selectNear(areas(), "1234", 10), "\"1234\" is neither a five-digit ZIP code nor LAT,LON in decimal degrees"},
        {selectNear(areas(), "1,2,3", 10), "\"1,2,3\" is neither a five-digit ZIP code nor LAT,LON in decimal degrees"},
        {selectNear(areas(), "north,east", 10),
         "\"north,east\" is neither a five-digit ZIP code nor LAT,LON in decimal degrees"},
        {selectNear(areas(), "91,0", 10),
         "\"91,0\" is off the globe: the latitude goes from -90 to 90, the longitude from -180 to 180"},
        {selectNear(areas(), "0,180.5", 10),
         "\"0,180.5\" is off the globe: the latitude goes from -90 to 90, the longitude from -180 to 180"},
        {selectNear(areas(), "45,45", 100), "no ZIP code lies within 100 miles of 45,45"},
        {selectState(areas(), "XX"), "unknown state \"XX\": the place table has no ZIP code there"},
        {selectState(areas(), "N H"), "a state is given by its two letters (NH), not \"N H\""},
        {selectTown(areas(), "North Town"), "a town is given as \"NAME, ST\" (\"Londonderry, NH\"), not \"North Town\""},
        {selectTown(areas(), ", NH"), "a town is given as \"NAME, ST\" (\"Londonderry, NH\"), not \", NH\""},
        {selectTown(areas(), "South Town, VT"),
         "unknown town \"South Town, VT\": the place table has no ZIP code of that name in that state"},
    };
    for (const auto& [answer, error] : refused) {
        EXPECT_EQ(answer.error, error);
        EXPECT_TRUE(answer.zips.isEmpty()) << error.toStdString();
    }
}

TEST(EmptyTable, AMissingPlaceTableIsNamedNotTakenForAnUnknownPlace)
{
    const ZipAreas areas{PlaceNames(), ZctaList()};
    const QString missing = QStringLiteral("the place table cannot be read: place-names.tsv is neither beside the "
                                           "program nor in ../share/zipdemographics/");
    EXPECT_EQ(selectNear(areas, "03053", 5).error, missing);
    EXPECT_EQ(selectState(areas, "NH").error, missing);
    EXPECT_EQ(selectTown(areas, "Londonderry, NH").error, missing);
}

TEST(Miles, APlainNumberFromZeroTo3000IsTakenAndNothingElse)
{
    for (const auto& [text, miles] : QList<QPair<QString, double>>{{"0", 0}, {"5", 5}, {"2.5", 2.5}, {".5", 0.5},
                                                                     {"3000", 3000}, {"+7", 7}, {"10.", 10}}) {
        QString error;
        EXPECT_EQ(readMiles(text, error), std::optional(miles)) << text.toStdString();
        EXPECT_TRUE(error.isEmpty());
    }
    for (const QString text : {"-5", "3000.01", "1e3", "inf", "nan", "", " ", "5mi", "5,5", "0x10", "five",
                                "5\u200b", "\u200b5", "\uff15", "1e400", "5\n", " 5"}) {
        QString error;
        EXPECT_EQ(readMiles(text, error), std::nullopt) << text.toStdString();
        EXPECT_EQ(error, "the distance must be a number of miles from 0 to 3000, not \"" + text + "\"");
    }
}

TEST(ZctaList, TakesFiveDigitLinesAloneOrWithAPointAndLandArea)
{
    const ZctaList list = ZctaList::parse("03053\r\n  01830 \n0305\n030531\nabcde\n\n03053\n"
                                          "03038\t42.88\t-71.32\t35.2\n"
                                          // a short line, a number that does not read, a point off the
                                          // globe, an endless number and a negative area are skipped
                                          "03041\t42.88\t-71.32\n03042\tx\t-71\t1\n03043\t91\t0\t1\n"
                                          "03044\t42\tinf\t1\n03045\t42\t-71\t-1\n");
    EXPECT_EQ(list.size(), 3u);
    EXPECT_TRUE(list.contains("03053"));
    EXPECT_TRUE(list.contains("01830"));
    EXPECT_FALSE(list.contains("0305"));
    EXPECT_FALSE(list.contains("3053 "));
    for (const char* skipped : {"03041", "03042", "03043", "03044", "03045"})
        EXPECT_FALSE(list.contains(skipped)) << skipped;
    const std::optional<Zcta> derry = list.find("03038");
    ASSERT_TRUE(derry);
    EXPECT_EQ(derry->code(), "03038");
    EXPECT_DOUBLE_EQ(derry->latitude, 42.88);
    EXPECT_DOUBLE_EQ(derry->longitude, -71.32);
    EXPECT_DOUBLE_EQ(derry->landSquareMiles, 35.2);
    EXPECT_EQ(list.find("01830")->code(), "01830");
    EXPECT_FALSE(ZctaList::parse("").contains("03053"));
}

// The ACS releases up to 2016-2020 are tabulated on the 2010 ZCTAs, later ones
// on those of 2020 (the command line's tests follow single codes through both).
TEST(BundledTables, EachAcsYearHasTheZctasOfItsVintage)
{
    EXPECT_EQ(ZctaList::builtIn(2010).size(), 33120u);
    EXPECT_EQ(ZctaList::builtIn(2020).size(), 33774u);  // the 33,791 less the Island Areas' 17
    for (const auto& [year, vintage] : {std::pair(2011, 2010), {2020, 2010}, {2021, 2020}, {2024, 2020}}) {
        EXPECT_EQ(zctaVintageOfYear(year), vintage) << year;
        EXPECT_EQ(&ZctaList::ofYear(year), &ZctaList::builtIn(vintage)) << year;
    }
    // No ZCTA of the Island Areas, which the ACS does not cover.
    EXPECT_FALSE(ZctaList::builtIn(2020).contains("00802"));
    EXPECT_FALSE(ZctaList::builtIn(2010).contains("96910"));
}

// Five ZCTAs of 2020 are not in the place table: they join at their internal
// points, named by the nearest place, but belong to no state or town, and only
// to the areas of a year of 2020's ZCTAs.
TEST(BundledTables, AZctaThePlaceTableLacksStandsAtItsPointInNoState)
{
    const ZipAreas& areas = ZipAreas::ofYear(2023);
    const std::optional<Place> frisco = areas.place("75036");
    ASSERT_TRUE(frisco);
    EXPECT_EQ(std::pair(frisco->latitude, frisco->longitude), std::pair(33.133351, -96.914663));
    EXPECT_EQ(selectNear(areas, "75036", 0).zips.first().zip, "75036");
    EXPECT_FALSE(zipsOf(selectState(areas, "TX").zips).contains("75036"));
    EXPECT_FALSE(zipsOf(selectTown(areas, frisco->name()).zips).contains("75036"));
    EXPECT_EQ(ZipAreas::ofYear(2019).place("75036"), std::nullopt);
    EXPECT_EQ(ZipAreas::installed().place("75036"), std::nullopt);
}

TEST(BundledTables, TheBuiltInZctaListAndThePlaceTableAgree)
{
    const ZctaList zctas = ZctaList::builtIn(2010);
    EXPECT_EQ(zctas.size(), 33120u);
    const ZipAreas areas(PlaceNames::read(QStringLiteral(ZD_PLACE_TABLE)), zctas);
    EXPECT_EQ(areas.size(), 42555);
    // Londonderry, NH has a ZCTA; Derry's PO boxes (03041) and Holtsville's IRS
    // building (00501) have none.
    const QList<AreaZip> near = areas.near({42.8656, -71.3772}, 5);
    EXPECT_EQ(zipsOf(near), (QStringList{"03053", "03038", "03052", "03041"}));
    EXPECT_FALSE(near.last().hasZcta);
    EXPECT_FALSE(selectState(areas, "NY").zips.first().hasZcta);
    EXPECT_EQ(selectState(areas, "NY").zips.first().zip, "00501");
    EXPECT_EQ(selectState(areas, "nh").zips.size(), 284);
}

}  // namespace
}  // namespace zd::test
