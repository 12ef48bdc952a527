#include "site/siteoptions.h"

#include "core/commandline.h"
#include "core/programversion.h"
#include "site/faultmodes.h"
#include "site/samplepages.h"

namespace zd {
namespace {

// Each reader takes one option's value into the options; a usage error in words.
using OptionReader = QString (*)(const QCommandLineParser&, SiteOptions&);

constexpr int kLongestLatencyMs = 600000;

QString readPort(const QCommandLineParser& parser, SiteOptions& options)
{
    int port = options.port;
    const QString error = readWholeNumber(parser, "port", 0, 65535, port);
    options.port = static_cast<quint16>(port);
    return error;
}

QString readLog(const QCommandLineParser& parser, SiteOptions& options)
{
    return readFileName(parser, "log", options.logPath);
}

QString readLatency(const QCommandLineParser& parser, SiteOptions& options)
{
    return readWholeNumber(parser, "latency", 0, kLongestLatencyMs, options.latencyMs);
}

QString readRobots(const QCommandLineParser& parser, SiteOptions& options)
{
    return readFileName(parser, "robots", options.robotsPath);
}

QString readEveryZip(const QCommandLineParser& parser, SiteOptions& options)
{
    options.everyZip = parser.isSet("every-zip");
    return {};
}

QString readRefuseKey(const QCommandLineParser& parser, SiteOptions& options)
{
    options.refuseKey = parser.value("refuse-key");
    if (parser.isSet("refuse-key") && options.refuseKey.isEmpty())
        return "--refuse-key needs a key";
    return {};
}

const OptionReader kOptionReaders[] = {readPort, readLog, readLatency, readRobots, readEveryZip, readRefuseKey};

QString readOptions(const QCommandLineParser& parser, SiteOptions& options)
{
    for (const OptionReader reader : kOptionReaders) {
        if (const QString error = reader(parser, options); !error.isEmpty())
            return error;
    }
    return {};
}

}  // namespace

QList<QCommandLineOption> siteOptionDeclarations()
{
    return {
        {"port", "listen on this port (default: one the system chooses)", "PORT"},
        {"log",
         "append one line per request to FILE (see Log below)",
         "FILE"},
        {"every-zip",
         "serve a page of made-up figures for every five-digit ZIP code, the same each time "
         "(without it, only the ZIP codes listed below have one)"},
        {"latency", "wait MS milliseconds before each answer; answers to different "
                    "connections wait side by side", "MS"},
        {"robots", "serve the bytes of TEXT-FILE as /robots.txt (without it, /robots.txt is "
                   "not found: 404)", "TEXT-FILE"},
        {"refuse-key", "the Census API imitation refuses this key as the API does: an HTML page "
                       "with status 200 and the header X-DataWebAPI-KeyError", "KEY"},
        {{"h", "help"}, "show this text"},
        {"version", "show the program's version"},
    };
}

SiteOptions parseSiteOptions(const QStringList& arguments)
{
    SiteOptions options;
    CommandLine line(siteOptionDeclarations());
    const bool parsed = line.parse(arguments);
    options.showHelp = line.parser().isSet("help");
    options.showVersion = line.parser().isSet("version");
    if (options.showHelp || options.showVersion)
        return options;
    if (!parsed)
        options.error = line.error();
    else if (!line.parser().positionalArguments().isEmpty())
        options.error = "unknown argument \"" + line.parser().positionalArguments().first() + "\"";
    else
        options.error = readOptions(line.parser(), options);
    return options;
}

QString siteHelpText()
{
    const QString usage = "Usage: " + siteProgramName() + ' ';
    return usage + "[--port PORT] [--log FILE] [--every-zip] [--latency MS]\n"
           + QString(usage.size(), ' ') + "[--robots TEXT-FILE] [--refuse-key KEY]\n"
           + "       " + siteProgramName() + " --help | --version\n"
           "\n"
           "Serves pages of made-up demographics on 127.0.0.1, so that zipdemographics and\n"
           "zipdemographics-cli can be tried offline. The first line of output is the port.\n"
           "Point the programs at it with ZIPDEMOGRAPHICS_SITE=127.0.0.1:PORT (or --site for\n"
           "the command line), or use it as their HTTP proxy: http_proxy=http://127.0.0.1:PORT\n"
           "\n"
           "Options:\n"
           + optionHelpText(siteOptionDeclarations())
           + "\n"
             "Pages: GET /index.php?zip=ZIP&amppagetype=main (also as an absolute URL through\n"
             "the site as a proxy). The front page / lists what the site serves.\n"
             "ZIP codes with pages of made-up figures:\n  "
           + sampleZipCodes().join(' ')
           + "\nAny other ZIP code gets a page without a location name (with --every-zip:\n"
             "any other five-digit one gets an invented place).\n"
             "\n"
             "\n"
             "The Census Data API's ACS 5-year data profile, made up (ZIPDEMOGRAPHICS_CENSUS_URL=\n"
             "http://127.0.0.1:PORT, or --census-url, points the programs at it):\n"
             "  GET /data/YEAR/acs/acs5/profile?get=V1,V2&for=zip%20code%20tabulation%20area:Z1,Z2\n"
             "  GET /data/YEAR/acs/acs5/profile/variables.json\n"
             "for the years 2017, 2019, 2021 and 2023, each with the real variable list of that\n"
             "year and made-up figures that hang together (404 for other years). The ZCTAs are\n"
             "the ZIP codes above\n"
             "(with --every-zip about a third of all five-digit codes); :* asks for every one.\n"
             "Answers have the API's shapes: JSON arrays of strings, some figures null or\n"
             "-666666666; 204 when none of the ZCTAs is known; 400 with the API's error text\n"
             "for an unknown variable or more than 50; the general error text (status 500)\n"
             "on the 1st and 2nd try of a request that names ZCTA 00503.\n"
             "\n"
             "Fault modes (ask for these ZIP codes):\n"
           + faultModeHelpText()
           + "Tries are counted per ZIP code for as long as the site runs.\n"
             "\n"
             "Connections stay open for further requests (HTTP/1.1 keep-alive) unless the\n"
             "client asks to close or a fault mode ends them.\n"
             "\n"
             "Log: one line per answer, written when it is sent, with fields separated by one\n"
             "space: when the request arrived (UTC, ISO 8601 with milliseconds), the\n"
             "connection's number (1 for the first accepted), method, target, status (0: the\n"
             "connection was reset), body bytes sent, milliseconds from arrival to the end of\n"
             "the answer, and what was served (the rest of the line).\n"
             "\n"
             "SIGINT (Ctrl+C) or SIGTERM stops the site; it then exits with status 0.\n"
             "Exit status 1: the port could not be opened, or this text could not be\n"
             "written; 2: a usage error, or a log or robots file that cannot be opened.\n";
}

QString siteVersionText() { return siteProgramName() + ' ' + programVersion() + '\n'; }

QString siteProgramName() { return QStringLiteral("zipdemographics-site"); }

QString siteUsageHint() { return "Try \"" + siteProgramName() + " --help\"."; }

}  // namespace zd
