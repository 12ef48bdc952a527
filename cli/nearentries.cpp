#include "cli/nearentries.h"

#include "area/areaquery.h"
#include "census/censussource.h"
#include "cli/cliarguments.h"
#include "core/packedstrings.h"

namespace zd {

const ZipAreas& areasOfRun(const CliArguments& arguments)
{
    if (arguments.source == DataSource::Site)
        return ZipAreas::installed();
    return ZipAreas::ofYear(arguments.census.year.value_or(kNewestCensusYear));
}

QString appendNearEntries(const CliArguments& arguments, PackedStrings& entries)
{
    if (arguments.nearPlace.isEmpty())
        return {};
    const AreaAnswer answer = selectNear(areasOfRun(arguments), arguments.nearPlace, arguments.nearMiles);
    if (!answer.error.isEmpty())
        return "--near: " + answer.error;
    for (const AreaZip& zip : answer.zips)
        entries.append(zip.zip);
    return {};
}

void appendAllZctas(const CliArguments& arguments, PackedStrings& entries)
{
    if (!arguments.allZctas)
        return;
    for (const Zcta& zcta : areasOfRun(arguments).zctas().zctas())
        entries.append(zcta.code());
}

}  // namespace zd
