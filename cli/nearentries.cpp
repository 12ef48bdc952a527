#include "cli/nearentries.h"

#include "area/areaquery.h"
#include "cli/cliarguments.h"
#include "core/packedstrings.h"

namespace zd {

QString appendNearEntries(const CliArguments& arguments, PackedStrings& entries)
{
    if (arguments.nearPlace.isEmpty())
        return {};
    const AreaAnswer answer = selectNear(ZipAreas::installed(), arguments.nearPlace, arguments.nearMiles);
    if (!answer.error.isEmpty())
        return "--near: " + answer.error;
    for (const AreaZip& zip : answer.zips)
        entries.append(zip.zip);
    return {};
}

}  // namespace zd
