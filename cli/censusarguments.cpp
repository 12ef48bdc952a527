#include "cli/censusarguments.h"

#include "cli/cliarguments.h"

namespace zd {
namespace {

const QStringList kCensusOptions = {"year", "variables", "moe", "census-key-file", "census-url"};

// An option's value, else the environment variable's when set and not empty.
struct Setting {
    QString value;
    QString origin;
};

std::optional<Setting> optionOrEnvironment(const QCommandLineParser& parser, const QString& option,
                                           const char* variable)
{
    if (parser.isSet(option))
        return Setting{parser.value(option), "--" + option};
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return std::nullopt;
    return Setting{value, QString::fromLatin1(variable)};
}

QString readSource(const QCommandLineParser& parser, CliArguments& result)
{
    const std::optional<Setting> source = optionOrEnvironment(parser, "source", "ZIPDEMOGRAPHICS_SOURCE");
    if (!source)
        return {};
    if (const QString error = sourceSettingError({source->value, source->origin}); !error.isEmpty())
        return error;
    result.source = *dataSourceNamed(source->value);
    return {};
}

QString readYear(const QCommandLineParser& parser, CensusSettings& census)
{
    const std::optional<Setting> year = optionOrEnvironment(parser, "year", "ZIPDEMOGRAPHICS_CENSUS_YEAR");
    if (!year)
        return {};
    if (const QString error = censusYearSettingError({year->value, year->origin}); !error.isEmpty())
        return error;
    census.year = parseCensusYear(year->value);
    return {};
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
QString readKey(const QCommandLineParser& parser, CensusSettings& census)
{
    if (!parser.isSet("census-key-file")) {
        census.key = qEnvironmentVariable("CENSUS_API_KEY").trimmed();
        return {};
    }
    QString error;
    census.key = readCensusKeyFile(parser.value("census-key-file"), error);
    return error;
}

QString readCensusUrl(const QCommandLineParser& parser, CensusSettings& census)
{
    const std::optional<Setting> url = optionOrEnvironment(parser, "census-url", "ZIPDEMOGRAPHICS_CENSUS_URL");
    if (!url)
        return {};
    if (const QString error = censusUrlSettingError({url->value, url->origin}); !error.isEmpty())
        return error;
    census.baseUrl = url->value;
    return {};
}

QString misplacedCensusOption(const QCommandLineParser& parser)
{
    for (const QString& name : kCensusOptions) {
        if (parser.isSet(name))
            return "--" + name + " goes with the census source (--source census)";
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
    for (const auto reader : {readYear, readCensusUrl, readKey, readVariables}) {
        if (const QString error = reader(parser, census); !error.isEmpty())
            return error;
    }
    return {};
}

}  // namespace zd
