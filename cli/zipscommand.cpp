#include "area/areaquery.h"
#include "batch/exitstatus.h"
#include "cli/areacommands.h"
#include "cli/console.h"
#include "core/commandline.h"

namespace zd {
namespace {

const QString kCommand = QStringLiteral("zips");

QList<QCommandLineOption> zipsOptions()
{
    return {{"state", "the ZIP codes of the state with these two letters (NH, any case).", "ST"},
            {"city", "the ZIP codes of the town, its name matched without regard to case.", "NAME, ST"},
            {{"h", "help"}, "this text."}};
}

}  // namespace

QString zipsHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli zips --state ST
  zipdemographics-cli zips --city "NAME, ST"

Prints the ZIP codes of the bundled place table in a state or town, by ZIP
code, one a line: a zip list that "--zips -" reads.

Options:
)") + optionHelpText(zipsOptions())
           + QStringLiteral(R"(
Exit status: 0 done; 2 an unknown state or town, or not exactly one of
--state and --city (a message on standard error, nothing on standard output);
3 the output cannot be written.
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
    if (!parser.positionalArguments().isEmpty())
        return selectionUsageError(console, "zips takes no ENTRY, only --state or --city: \""
                                                + parser.positionalArguments().first() + "\"", kCommand);
    if (parser.isSet("state") == parser.isSet("city") || parser.values("state").size() > 1
        || parser.values("city").size() > 1)
        return selectionUsageError(console, QStringLiteral("zips needs one --state ST or one --city \"NAME, ST\""),
                                   kCommand);
    const AreaAnswer answer = parser.isSet("state") ? selectState(ZipAreas::installed(), parser.value("state"))
                                                    : selectTown(ZipAreas::installed(), parser.value("city"));
    if (!answer.error.isEmpty())
        return selectionUsageError(console, answer.error, kCommand);
    return printSelection(console, zipsOf(answer.zips).join('\n') + '\n');
}

}  // namespace zd
