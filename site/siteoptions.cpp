#include "site/siteoptions.h"

#include "site/faultmodes.h"
#include "site/samplepages.h"

namespace zd {
namespace {

// "--name value" or "--name=value"; advances i past what it used.
bool takeValue(const QStringList& arguments, qsizetype& i, const QString& name, QString& value,
               QString& error)
{
    const QString& argument = arguments[i];
    if (argument.startsWith(name + '=')) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (argument != name)
        return false;
    if (i + 1 >= arguments.size()) {
        error = name + " needs a value";
        return true;
    }
    value = arguments[++i];
    return true;
}

QString parsePort(const QString& text, quint16& port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 65535)
        return "--port expects a number from 0 to 65535, not \"" + text + "\"";
    port = static_cast<quint16>(value);
    return {};
}

}  // namespace

SiteOptions parseSiteOptions(const QStringList& arguments)
{
    SiteOptions options;
    for (qsizetype i = 0; i < arguments.size() && options.error.isEmpty(); ++i) {
        QString value;
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            options.showHelp = true;
        } else if (takeValue(arguments, i, "--port", value, options.error)) {
            if (options.error.isEmpty())
                options.error = parsePort(value, options.port);
        } else if (takeValue(arguments, i, "--log", value, options.error)) {
            if (options.error.isEmpty() && value.isEmpty())
                options.error = "--log needs a file name";
            options.logPath = value;
        } else {
            options.error = "unknown argument \"" + arguments[i] + "\"";
        }
    }
    return options;
}

QString siteHelpText()
{
    return "Usage: zipdemographics-site [--port PORT] [--log FILE]\n"
           "\n"
           "Serves pages of made-up demographics on 127.0.0.1, so that zipdemographics and\n"
           "zipdemographics-cli can be tried offline. The first line of output is the port.\n"
           "Point the programs at it with ZIPDEMOGRAPHICS_SITE=127.0.0.1:PORT (or --site for\n"
           "the command line), or use it as their HTTP proxy: http_proxy=http://127.0.0.1:PORT\n"
           "\n"
           "Options:\n"
           "  --port PORT   listen on this port (default: one the system chooses)\n"
           "  --log FILE    append one line per request to FILE: time, method, target,\n"
           "                status, body bytes sent, what was served\n"
           "  -h, --help    show this text\n"
           "\n"
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
             "Exit status 1: the port could not be opened; 2: a usage error or a log that\n"
             "cannot be opened.\n";
}

}  // namespace zd
