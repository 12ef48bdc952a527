#include "area/areaquery.h"
#include "batch/exitstatus.h"
#include "census/censussettingreaders.h"
#include "cli/areacommands.h"
#include "cli/console.h"
#include "core/commandline.h"
#include "core/setting.h"

namespace zd {
namespace {

const QString kCommand = QStringLiteral("near");

QList<QCommandLineOption> nearOptions()
{
    return {{"miles", "the distance in miles, from 0 to 3000 (required).", "N"},
            {"distance", "after each ZIP code a TAB and its distance in miles to one decimal, and a TAB and "
                         "\"no ZCTA\" for a ZIP code without a ZIP Code Tabulation Area of its own."},
            {"year", "the ACS 5-year year whose ZCTAs say which ZIP codes have one: those of 2010 up to 2020, "
                     "those of 2020 from 2021 (without it ZIPDEMOGRAPHICS_CENSUS_YEAR, else the newest, "
                         + QString::number(kNewestCensusYear) + ").",
             "YYYY"},
            {{"h", "help"}, "this text."}};
}

QString lineOf(const AreaZip& zip, bool withDistance)
{
    if (!withDistance)
        return zip.zip + '\n';
    return zip.zip + '\t' + QString::number(zip.miles, 'f', 1) + (zip.hasZcta ? "" : "\tno ZCTA") + '\n';
}

}  // namespace

QString nearHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli near ZIP --miles N [--distance] [--year YYYY]
  zipdemographics-cli near LAT,LON --miles N [--distance] [--year YYYY]

Prints the ZIP codes of the bundled place table within N miles of a ZIP code's
point or of LAT,LON (decimal degrees; a latitude south of the equator goes
after "--"), nearest first, one a line: a zip list that "--zips -" reads.
Distances are great-circle distances on a sphere of radius 3958.8 miles
between the table's coordinates; equal distances go by ZIP code. ZIP codes
without a ZIP Code Tabulation Area of the year's vintage (PO boxes, single
buildings) are included; --distance says so. A ZCTA the table lacks is near by
its internal point. ZIP codes the table has no coordinates for (military mail)
are never near anything.

Options:
)") + optionHelpText(nearOptions())
           + QStringLiteral(R"(
Exit status: 0 done; 2 an unknown ZIP code, a malformed LAT,LON, a distance
that is not a number from 0 to 3000, no ZIP code within it, a year before 2009,
or an option given twice (a message on standard error, nothing on standard
output); 3 the output cannot be written.
)");
}

int runNearCommand(const QStringList& arguments, Console& console)
{
    CommandLine line(nearOptions());
    if (!line.parse(arguments))
        return selectionUsageError(console, line.error(), kCommand);
    const QCommandLineParser& parser = line.parser();
    if (parser.isSet("help"))
        return printSelection(console, nearHelpText());
    if (const QString repeated = line.repeatedOption(); !repeated.isEmpty())
        return selectionUsageError(console, repeated, kCommand);
    const QStringList places = parser.positionalArguments();
    if (places.size() != 1)
        return selectionUsageError(console, "near needs one ZIP code or LAT,LON, not " + QString::number(places.size()),
                                   kCommand);
    if (!parser.isSet("miles"))
        return selectionUsageError(console, QStringLiteral("near needs --miles N, the distance"), kCommand);
    QString error;
    const std::optional<double> miles = readMiles(parser.value("miles"), error);
    if (!miles)
        return selectionUsageError(console, "--miles: " + error, kCommand);
    const SettingReading<std::optional<int>> year = readCensusYearSetting(optionSetting(parser, "year"));
    if (!year.error.isEmpty())
        return selectionUsageError(console, year.error, kCommand);
    const AreaAnswer answer =
        selectNear(ZipAreas::ofYear(year.value.value_or(kNewestCensusYear)), places.first(), *miles);
    if (!answer.error.isEmpty())
        return selectionUsageError(console, answer.error, kCommand);
    QString text;
    for (const AreaZip& zip : answer.zips)
        text += lineOf(zip, parser.isSet("distance"));
    return printSelection(console, text);
}

}  // namespace zd
