#include "area/areaquery.h"
#include "batch/exitstatus.h"
#include "census/censussettingreaders.h"
#include "cli/areacommands.h"
#include "cli/console.h"
#include "core/commandline.h"
#include "core/setting.h"

namespace zd {
namespace {

const QString kCommand = QStringLiteral("zips");

QList<QCommandLineOption> zipsOptions()
{
    return {{"state", "the ZIP codes of the state with these two letters (NH, any case).", "ST"},
            {"city", "the ZIP codes of the town, its name matched without regard to case.", "NAME, ST"},
            {"all", "every ZIP Code Tabulation Area of the year's vintage, by number."},
            {"year", "with --all: the ACS 5-year year whose ZCTAs are listed, those of 2010 up to 2020, those "
                     "of 2020 from 2021 (without it ZIPDEMOGRAPHICS_CENSUS_YEAR, else the newest, "
                         + QString::number(kNewestCensusYear) + ").",
             "YYYY"},
            {"details", "with --all: after each ZCTA a TAB and its internal point's latitude, a TAB and its "
                        "longitude, a TAB and its land area in square miles, a TAB and its place: the place "
                        "table's, or for a ZCTA the table lacks \"near\" and the place nearest its point."},
            {{"h", "help"}, "this text."}};
}

QString detailedLine(const ZctaPlace& place)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
        .arg(place.zcta.code())
        .arg(place.zcta.latitude, 0, 'f', 6)
        .arg(place.zcta.longitude, 0, 'f', 6)
        .arg(place.zcta.landSquareMiles, 0, 'f', 3)
        .arg(place.placeName);
}

int printAllZctas(const QCommandLineParser& parser, Console& console)
{
    const SettingReading<std::optional<int>> year = readCensusYearSetting(optionSetting(parser, "year"));
    if (!year.error.isEmpty())
        return selectionUsageError(console, year.error, kCommand);
    const ZipAreas& areas = ZipAreas::ofYear(year.value.value_or(kNewestCensusYear));
    QString text;
    for (const ZctaPlace& place : areas.everyZcta())
        text += parser.isSet("details") ? detailedLine(place) : place.zcta.code() + '\n';
    return printSelection(console, text);
}

// What is wrong with the command line's choice of selection; empty when usable.
QString selectionProblem(const QCommandLineParser& parser)
{
    if (!parser.positionalArguments().isEmpty())
        return "zips takes no ENTRY, only --state, --city or --all: \"" + parser.positionalArguments().first()
               + "\"";
    if (int(parser.isSet("state")) + int(parser.isSet("city")) + int(parser.isSet("all")) != 1)
        return QStringLiteral("zips needs one of --state ST, --city \"NAME, ST\" and --all");
    if (!parser.isSet("all") && (parser.isSet("year") || parser.isSet("details")))
        return QStringLiteral("--year and --details go with --all");
    return {};
}

}  // namespace

QString zipsHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli zips --state ST
  zipdemographics-cli zips --city "NAME, ST"
  zipdemographics-cli zips --all [--year YYYY] [--details]

Prints the ZIP codes of the bundled place table in a state or town, by ZIP
code, one a line: a zip list that "--zips -" reads. With --all, every ZIP Code
Tabulation Area of a year's vintage instead: 33,120 of 2010 for the ACS 5-year
years up to 2020, 33,774 of 2020 from 2021 (the Island Areas, which the ACS
does not cover, left out).

Options:
)") + optionHelpText(zipsOptions())
           + QStringLiteral(R"(
Exit status: 0 done; 2 an unknown state or town, a year before 2009, or not
exactly one of --state, --city and --all (a message on standard error, nothing
on standard output); 3 the output cannot be written.
)");
}

int runZipsCommand(const QStringList& arguments, Console& console)
{
    CommandLine line(zipsOptions());
    if (!line.parse(arguments))
        return selectionUsageError(console, line.error(), kCommand);
    const QCommandLineParser& parser = line.parser();
    if (parser.isSet("help"))
        return printSelection(console, zipsHelpText());
    QString problem = line.repeatedOption();
    if (problem.isEmpty())
        problem = selectionProblem(parser);
    if (!problem.isEmpty())
        return selectionUsageError(console, problem, kCommand);
    if (parser.isSet("all"))
        return printAllZctas(parser, console);
    const AreaAnswer answer = parser.isSet("state") ? selectState(ZipAreas::installed(), parser.value("state"))
                                                    : selectTown(ZipAreas::installed(), parser.value("city"));
    if (!answer.error.isEmpty())
        return selectionUsageError(console, answer.error, kCommand);
    return printSelection(console, zipsOf(answer.zips).join('\n') + '\n');
}

}  // namespace zd
