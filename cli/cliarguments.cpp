#include "cli/cliarguments.h"

#include "core/commandline.h"
#include "core/siteconfig.h"
#include "batch/pagecache.h"
#include "cli/censusarguments.h"
#include "area/areaquery.h"
#include "cli/maparguments.h"

namespace zd {
namespace {

constexpr double kLongestDelay = 86399.0;  // a wait spans less than a day

// Each reader takes one option's value into the arguments; a usage error in words.
using OptionReader = QString (*)(const QCommandLineParser&, CliArguments&);

// --site, else ZIPDEMOGRAPHICS_SITE: checked here, before anything is read or fetched.
QString readSite(const QCommandLineParser& parser, CliArguments& result)
{
    const SettingReading<std::optional<QString>> site = readSiteSetting(optionSetting(parser, "site"));
    result.site = site.value;
    return site.error;
}

// A number from 0 to highest, for an option that takes one; what it counts is said
// in the message: '--delay expects seconds from 0 to 86399, not "x"'.
QString readDecimal(const QCommandLineParser& parser, const QString& name, double highest,
                    const QString& range, double& target)
{
    if (!parser.isSet(name))
        return {};
    const QString text = parser.value(name);
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || text != text.trimmed() || !(number >= 0.0 && number <= highest))
        return "--" + name + " expects " + range + ", not \"" + text + "\"";
    target = number;
    return {};
}

QString readDelay(const QCommandLineParser& parser, CliArguments& result)
{
    return readDecimal(parser, "delay", kLongestDelay, "seconds from 0 to 86399", result.delaySeconds);
}

QString readZips(const QCommandLineParser& parser, CliArguments& result)
{
    result.zipFiles = parser.values("zips");
    return {};
}

QString readOutput(const QCommandLineParser& parser, CliArguments& result)
{
    const QStringList paths = parser.values("output");  // at most one: see parseCommandArguments
    if (paths.size() == 1 && paths.first().isEmpty())
        return "-o needs a file name";
    result.outputPath = paths.value(0);
    return {};
}

QString readJobs(const QCommandLineParser& parser, CliArguments& result)
{
    return readWholeNumber(parser, "jobs", 1, 16, result.batch.jobs);
}

QString readRetries(const QCommandLineParser& parser, CliArguments& result)
{
    return readWholeNumber(parser, "retries", 0, 100, result.batch.retries);
}

QString readTimeout(const QCommandLineParser& parser, CliArguments& result)
{
    return readWholeNumber(parser, "timeout", 1, 86400, result.batch.timeoutSeconds);
}

QString readRate(const QCommandLineParser& parser, CliArguments& result)
{
    return readDecimal(parser, "rate", 10000.0, "requests per second from 0 (no cap) to 10000",
                       result.batch.rate);
}

QString readCache(const QCommandLineParser& parser, CliArguments& result)
{
    if (parser.isSet("cache") && parser.value("cache").isEmpty())
        return "--cache needs a folder";
    result.batch.cacheFolder = parser.value("cache");
    if (parser.isSet("offline") && result.batch.cacheFolder.isEmpty())
        return "--offline answers from the cache only, so it needs --cache DIR";
    return {};
}

// An option of seconds, or a number with s, m, h or d: nothing set when absent.
QString readDuration(const QCommandLineParser& parser, const QString& name, std::chrono::seconds& setting)
{
    if (!parser.isSet(name))
        return {};
    const std::optional<std::chrono::seconds> duration = parseMaxAge(parser.value(name));
    if (!duration)
        return "--" + name + " expects seconds, or a number with s, m, h or d, not \"" + parser.value(name) + "\"";
    setting = *duration;
    return {};
}

QString readMaxAge(const QCommandLineParser& parser, CliArguments& result)
{
    return readDuration(parser, QStringLiteral("max-age"), result.batch.maxAge);
}

QString readMaxWait(const QCommandLineParser& parser, CliArguments& result)
{
    return readDuration(parser, QStringLiteral("max-wait"), result.batch.maxWait);
}

// "--time-limit": the run's time starts as the arguments are read.
QString readTimeLimit(const QCommandLineParser& parser, CliArguments& result)
{
    std::chrono::seconds limit{0};
    const QString error = readDuration(parser, QStringLiteral("time-limit"), limit);
    if (!error.isEmpty() || !parser.isSet("time-limit"))
        return error;
    constexpr std::chrono::seconds kLongest = std::chrono::days(365);
    if (limit.count() < 1 || limit > kLongest)
        return "--time-limit expects from 1 second to 365d, not \"" + parser.value("time-limit") + "\"";
    startTimeLimit(result.batch, limit);
    return {};
}

// "--max-page-size": bytes, or a whole number with K, M or G (powers of 1024).
QString readMaxPageSize(const QCommandLineParser& parser, CliArguments& result)
{
    if (!parser.isSet("max-page-size"))
        return {};
    static const QString kUnits = QStringLiteral("KMG");
    QString number = parser.value("max-page-size");
    int shift = 0;
    if (!number.isEmpty() && kUnits.contains(number.back())) {
        shift = 10 * int(kUnits.indexOf(number.back()) + 1);
        number.chop(1);
    }
    bool ok = false;
    const qint64 count = number.toLongLong(&ok);
    if (!ok || number.startsWith('+') || count < 1 || count > (qint64(1) << 40 >> shift))
        return "--max-page-size expects bytes from 1, or a number with K, M or G, not \""
               + parser.value("max-page-size") + "\"";
    result.batch.maxPageSize = count << shift;
    return {};
}

// The census source's files, kept so that OUT is never one of them.
QString readCensusFiles(const QCommandLineParser& parser, CliArguments& result)
{
    result.keyFile = parser.value("census-key-file");
    result.variablesFile = parser.value("variables");
    return {};
}

QString readSwitches(const QCommandLineParser& parser, CliArguments& result)
{
    result.batch.offline = parser.isSet("offline");
    result.batch.ignoreRobots = parser.isSet("ignore-robots");
    result.batch.partial = parser.isSet("partial");
    result.quiet = parser.isSet("quiet");
    return {};
}

QString readFormat(const QCommandLineParser& parser, CliArguments& result)
{
    result.csvLong = parser.isSet("csv-long");
    if (!parser.isSet("format"))
        return {};
    const QString name = parser.value("format");
    result.format = exportFormatNamed(name);
    if (!result.format) {
        const QStringList names = exportFormatNames();
        return "--format expects " + names.mid(0, names.size() - 1).join(", ") + " or " + names.last()
               + ", not \"" + name + "\"";
    }
    return {};
}

// --near ZIP --miles N: the two go together; the ZIP code is looked up once the
// options are read (cli/nearentries.cpp).
QString readNear(const QCommandLineParser& parser, CliArguments& result)
{
    if (parser.isSet("near") != parser.isSet("miles"))
        return QStringLiteral("--near and --miles go together: --near ZIP --miles N");
    if (!parser.isSet("near"))
        return {};
    QString error;
    const std::optional<double> miles = readMiles(parser.value("miles"), error);
    if (!miles)
        return "--miles: " + error;
    result.nearPlace = parser.value("near");
    result.nearMiles = *miles;
    return {};
}

const OptionReader kOptionReaders[] = {readSite,    readDelay,   readZips,    readOutput,      readFormat,
                                       readJobs,    readRetries, readTimeout, readRate,        readCache,
                                       readMaxAge,  readMaxWait, readTimeLimit, readMaxPageSize, readSwitches, readCensusFiles,
                                       readSourceAndCensus, readNear, readMapOptions};

QString formatRequirement(const CliArguments& result)
{
    const ExportFormat format = chosenFormat(result);
    if (result.command == CliCommand::Show && format == ExportFormat::Xlsx)
        return "show prints aligned, csv or jsonl; a workbook is written by export";
    if (result.csvLong && format != ExportFormat::Csv)
        return "--csv-long goes with the csv format, not " + exportFormatName(format);
    return {};
}

QString showTakesOnly()
{
    QStringList names;
    for (const CliOption& option : cliOptions()) {
        if (option.commands.contains(CliCommand::Show))
            names.append(longOptionName(option.option));
    }
    return "show takes only " + names.join(", ") + " and one ENTRY";
}

QString belongsTo(const CliOption& option)
{
    if (!option.misplaced.isEmpty())
        return option.misplaced;
    QStringList commands;
    for (const CliCommand command : option.commands)
        commands.append(cliCommandName(command));
    return longOptionName(option.option) + " belongs to " + commands.join(" and ");
}

// The first option given that the command does not take, in words.
QString misplacedOption(CliCommand command, const QStringList& given)
{
    for (const QString& name : given) {
        const CliOption* option = cliOptionNamed(name);
        if (!option || option->commands.isEmpty() || option->commands.contains(command))
            continue;
        return command == CliCommand::Show ? showTakesOnly() : belongsTo(*option);
    }
    return {};
}

QString readOptions(const QCommandLineParser& parser, CliArguments& result)
{
    for (const OptionReader reader : kOptionReaders) {
        if (const QString error = reader(parser, result); !error.isEmpty())
            return error;
    }
    return {};
}

QString commandRequirement(const CliArguments& result)
{
    if (result.command == CliCommand::Export && result.outputPath.isEmpty())
        return "export needs -o OUT, the file to write";
    if (result.command == CliCommand::Show && result.entries.size() != 1)
        return "show needs exactly one ENTRY, not " + QString::number(result.entries.size());
    if (result.command == CliCommand::Map)
        return mapRequirement(result);
    return formatRequirement(result);
}

CliCommand firstArgumentCommand(const QString& first)
{
    if (first == "help" || first == "--help" || first == "-h")
        return CliCommand::Help;
    if (first == "--version")
        return CliCommand::Version;
    return cliCommandNamed(first);
}

// The options of a command line that parses: each in its place and given once
// (--zips may come again), then read.
void readParsedArguments(const CommandLine& line, CliArguments& result)
{
    result.error = misplacedOption(result.command, line.givenOptions());
    if (result.error.isEmpty())
        result.error = line.repeatedOption({"zips"});
    if (!result.error.isEmpty())
        return;
    result.entries = line.parser().positionalArguments();
    result.error = readOptions(line.parser(), result);
}

void parseCommandArguments(const QStringList& arguments, CliArguments& result)
{
    CommandLine line(cliQtOptions());
    const bool parsed = line.parse(arguments);
    // Asking for help or the version is never wrong, whatever else is given.
    if (line.parser().isSet("help"))
        result.command = CliCommand::Help;
    else if (line.parser().isSet("version"))
        result.command = CliCommand::Version;
    else if (!parsed)
        result.error = line.error();
    else
        readParsedArguments(line, result);
}

}  // namespace

CliArguments parseCliArguments(const QStringList& arguments)
{
    CliArguments result;
    if (arguments.isEmpty()) {
        result.error = "no command given";
        return result;
    }
    result.command = firstArgumentCommand(arguments.first());
    if (result.command == CliCommand::None)
        result.error = "unknown command \"" + arguments.first() + "\"";
    if (result.command == CliCommand::None || result.command == CliCommand::Help
        || result.command == CliCommand::Version)
        return result;
    parseCommandArguments(arguments.mid(1), result);
    if (result.error.isEmpty())
        result.error = commandRequirement(result);
    return result;
}

ExportFormat chosenFormat(const CliArguments& arguments)
{
    if (arguments.format)
        return *arguments.format;
    if (arguments.command == CliCommand::Export)
        return exportFormatOfPath(arguments.outputPath);
    return ExportFormat::Aligned;
}

}  // namespace zd
