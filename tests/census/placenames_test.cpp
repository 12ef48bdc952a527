#include "census/placenames.h"

#include "tests/support/wholefile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace zd {
namespace {

TEST(PlaceNames, TheProgramsTableNamesZipCodesWithCityAndState)
{
    const PlaceNames& table = PlaceNames::installed();
    EXPECT_GT(table.size(), 40000);
    ASSERT_TRUE(table.find("03053"));
    EXPECT_EQ(table.find("03053")->name(), "Londonderry, NH");
    EXPECT_NEAR(table.find("90210")->latitude, 34.09, 0.01);
    EXPECT_FALSE(table.find("00000"));
}

TEST(PlaceNames, LinesThatNameNoPlaceAreSkippedAndAMissingFileGivesAnEmptyTable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("places.tsv");
    ASSERT_TRUE(test::writeWholeFile(path, "01830\tHaverhill\tMA\t42.7856\t-71.0721\r\n"
                                           "0183\tShort\tMA\t0\t0\n"
                                           "abcde\tLetters\tMA\t0\t0\n"
                                           "01831\t\tMA\t0\t0\n"
                                           "01832\tNo State\n"
                                           "01833\tSão Tomé\tPR\n"));
    const PlaceNames table = PlaceNames::read(path);
    EXPECT_EQ(table.size(), 2);
    EXPECT_EQ(table.find("01830")->name(), "Haverhill, MA");
    EXPECT_EQ(table.find("01833")->name(), "São Tomé, PR");
    EXPECT_EQ(PlaceNames::read(dir.filePath("missing")).size(), 0);
}

}  // namespace
}  // namespace zd
