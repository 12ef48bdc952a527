#include "area/areaquery.h"
#include "batch/exitstatus.h"
#include "cli/areacommands.h"
#include "cli/console.h"
#include "core/commandline.h"

namespace zd {
namespace {

const QString kCommand = QStringLiteral("near");

QList<QCommandLineOption> nearOptions()
{
    return {{"miles", "the distance in miles, from 0 to 3000 (required).", "N"},
            {"distance", "after each ZIP code a TAB and its distance in miles to one decimal, and a TAB and "
                         "\"no ZCTA\" for a ZIP code without a ZIP Code Tabulation Area of its own."},
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
  zipdemographics-cli near ZIP --miles N [--distance]
  zipdemographics-cli near LAT,LON --miles N [--distance]

Prints the ZIP codes of the bundled place table within N miles of a ZIP code's
point or of LAT,LON (decimal degrees; a latitude south of the equator goes
after "--"), nearest first, one a line: a zip list that "--zips -" reads.
Distances are great-circle distances on a sphere of radius 3958.8 miles
between the table's coordinates; equal distances go by ZIP code. ZIP codes
without a ZIP Code Tabulation Area (PO boxes, single buildings) are included;
--distance says so. ZIP codes the table has no coordinates for (military mail)
are never near anything.

Options:
)") + optionHelpText(nearOptions())
           + QStringLiteral(R"(
Exit status: 0 done; 2 an unknown ZIP code, a malformed LAT,LON, a distance
that is not a number from 0 to 3000, or no ZIP code within it (a message on
standard error, nothing on standard output); 3 the output cannot be written.
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
    const AreaAnswer answer = selectNear(ZipAreas::installed(), places.first(), *miles);
    if (!answer.error.isEmpty())
        return selectionUsageError(console, answer.error, kCommand);
    QString text;
    for (const AreaZip& zip : answer.zips)
        text += lineOf(zip, parser.isSet("distance"));
    return printSelection(console, text);
}

}  // namespace zd
