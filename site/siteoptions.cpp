#include "site/siteoptions.h"

#include "app/core/commandline.h"
#include "app/core/programversion.h"
#include "site/faultmodes.h"
#include "site/samplepages.h"

namespace zd {
namespace {

// Each reader takes one option's value into the options; a usage error in words.
using OptionReader = QString (*)(const QCommandLineParser&, SiteOptions&);

QString readPort(const QCommandLineParser& parser, SiteOptions& options)
{
    if (!parser.isSet("port"))
        return {};
    const QString text = parser.value("port");
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 65535)
        return "--port expects a number from 0 to 65535, not \"" + text + "\"";
    options.port = static_cast<quint16>(value);
    return {};
}

QString readLog(const QCommandLineParser& parser, SiteOptions& options)
{
    if (parser.isSet("log") && parser.value("log").isEmpty())
        return "--log needs a file name";
    options.logPath = parser.value("log");
    return {};
}

const OptionReader kOptionReaders[] = {readPort, readLog};

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
         "append one line per request to FILE: time, method, target, status, body bytes sent, "
         "what was served",
         "FILE"},
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
    return "Usage: zipdemographics-site [--port PORT] [--log FILE]\n"
           "       zipdemographics-site --help | --version\n"
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
           + "\nAny other ZIP code gets a page without a location name.\n"
             "\n"
             "Fault modes (ask for these ZIP codes):\n"
           + faultModeHelpText()
           + "\n"
             "SIGINT (Ctrl+C) or SIGTERM stops the site; it then exits with status 0.\n"
             "Exit status 1: the port could not be opened, or this text could not be\n"
             "written; 2: a usage error or a log that cannot be opened.\n";
}

QString siteVersionText() { return "zipdemographics-site " + programVersion() + '\n'; }

}  // namespace zd
