#include "cli/censusarguments.h"

#include "census/censussettingreaders.h"
#include "cli/cliarguments.h"
#include "core/setting.h"

namespace zd {
namespace {

const QStringList kCensusOptions = {"year", "variables", "moe", "census-key-file", "census-url", "total", "all-zctas"};

QString readSource(const QCommandLineParser& parser, CliArguments& result)
{
    const SettingReading<DataSource> source = readSourceSetting(optionSetting(parser, "source"));
    result.source = source.value;
    return source.error;
}

QString readYear(const QCommandLineParser& parser, CensusSettings& census)
{
    const SettingReading<std::optional<int>> year = readCensusYearSetting(optionSetting(parser, "year"));
    census.year = year.value;
    return year.error;
}

QString readVariables(const QCommandLineParser& parser, CensusSettings& census)
{
    if (!parser.isSet("variables"))
        return {};
    const CensusVariableSet set = readCensusVariableFile(parser.value("variables"));
    if (!set.error.isEmpty())
        return "--variables: " + set.error;
    census.variables = set.variables;
    census.userVariables = true;
    return {};
}

// The key never comes from the command line, where other users can read it:
// --census-key-file, else CENSUS_API_KEY, else (once the whole command line is
// found usable, see runCli) the key stored by "census-key set".
QString readKey(const QCommandLineParser& parser, CliArguments& result)
{
    const std::optional<QString> keyFile =
        parser.isSet("census-key-file") ? std::optional(parser.value("census-key-file")) : std::nullopt;
    const CensusKeyReading key = readCensusKeySetting(keyFile);
    result.census.key = key.value;
    result.keyWarning = key.warning;
    return key.error;
}

QString readCensusUrl(const QCommandLineParser& parser, CensusSettings& census)
{
    const SettingReading<QString> url = readCensusUrlSetting(optionSetting(parser, "census-url"));
    census.baseUrl = url.value;
    return url.error;
}

QString misplacedCensusOption(const QCommandLineParser& parser)
{
    for (const QString& name : kCensusOptions) {
        if (parser.isSet(name))
            return censusOptionWithSiteSource("--" + name);
    }
    return {};
}

}  // namespace

QString readSourceAndCensus(const QCommandLineParser& parser, CliArguments& result)
{
    if (const QString error = readSource(parser, result); !error.isEmpty())
        return error;
    if (result.source == DataSource::Site)
        return misplacedCensusOption(parser);
    // The API answers a whole list in a request or two: there is nothing to space out.
    if (parser.isSet("delay"))
        return QStringLiteral("--delay goes with the site source: the census source asks the API for the whole "
                              "list in a request or two, with no wait between");
    CensusSettings& census = result.census;
    census.marginsOfError = parser.isSet("moe");
    census.total = parser.isSet("total");
    result.allZctas = parser.isSet("all-zctas");
    for (const auto reader : {readYear, readCensusUrl}) {
        if (const QString error = reader(parser, census); !error.isEmpty())
            return error;
    }
    if (const QString error = readKey(parser, result); !error.isEmpty())
        return error;
    return readVariables(parser, census);
}

}  // namespace zd
