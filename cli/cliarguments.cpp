#include "cli/cliarguments.h"

namespace zd {
namespace {

constexpr double kLongestDelay = 86399.0;  // a wait spans less than a day

struct Parser {
    const QStringList& arguments;
    CliArguments& result;
    qsizetype at = 1;  // arguments[0] is the command
    bool delayGiven = false;
    bool onlyEntriesFollow = false;

    void fail(const QString& message)
    {
        if (result.error.isEmpty())
            result.error = message;
    }

    // "--name value" or "--name=value" (and "-o value", "-ovalue" for the short form).
    bool takeValue(const QString& longName, const QString& shortName, QString& value)
    {
        const QString& argument = arguments[at];
        if (argument.startsWith(longName + '=')) {
            value = argument.mid(longName.size() + 1);
            return true;
        }
        if (!shortName.isEmpty() && argument.startsWith(shortName) && argument.size() > 2) {
            value = argument.mid(2);
            return true;
        }
        if (argument != longName && (shortName.isEmpty() || argument != shortName))
            return false;
        if (at + 1 >= arguments.size())
            fail(argument + " needs a value");
        else
            value = arguments[++at];
        return true;
    }

    void setDelay(const QString& text)
    {
        bool ok = false;
        const double seconds = text.toDouble(&ok);
        if (!ok || !(seconds >= 0.0 && seconds <= kLongestDelay))
            return fail("--delay expects seconds from 0 to 86399, not \"" + text + "\"");
        result.delaySeconds = seconds;
        delayGiven = true;
    }

    void setOutput(const QString& path)
    {
        if (!result.outputPath.isEmpty())
            return fail("-o is given more than once");
        if (path.isEmpty())
            return fail("-o needs a file name");
        result.outputPath = path;
    }

    void setSite(const QString& site)
    {
        if (!isUsableSite(site))
            return fail("--site expects HOST or HOST:PORT, not \"" + site + "\"");
        result.site = site;
    }

    void parseOne()
    {
        const QString& argument = arguments[at];
        QString value;
        if (onlyEntriesFollow || argument == "-" || !argument.startsWith('-'))
            result.entries.append(argument);
        else if (argument == "--")
            onlyEntriesFollow = true;
        else if (argument == "--help" || argument == "-h")
            result.command = CliCommand::Help;
        else if (takeValue("--site", {}, value))
            setSite(value);
        else if (takeValue("--delay", {}, value))
            setDelay(value);
        else if (takeValue("--zips", {}, value))
            result.zipFiles.append(value);
        else if (takeValue("--output", "-o", value))
            setOutput(value);
        else
            fail("unknown option \"" + argument + "\"");
    }

    void checkLookup()
    {
        if (!result.outputPath.isEmpty())
            fail("lookup writes to standard output; -o belongs to export");
    }

    void checkExport()
    {
        if (delayGiven)
            fail("--delay belongs to lookup; export does not wait between entries");
        if (result.outputPath.isEmpty())
            fail("export needs -o OUT, the file to write");
    }

    void checkShow()
    {
        if (delayGiven || !result.zipFiles.isEmpty() || !result.outputPath.isEmpty())
            fail("show takes only --site and one ENTRY");
        if (result.entries.size() != 1)
            fail("show needs exactly one ENTRY, not " + QString::number(result.entries.size()));
    }
};

CliCommand commandNamed(const QString& name)
{
    if (name == "lookup")
        return CliCommand::Lookup;
    if (name == "export")
        return CliCommand::Export;
    if (name == "show")
        return CliCommand::Show;
    if (name == "help" || name == "--help" || name == "-h")
        return CliCommand::Help;
    return CliCommand::None;
}

}  // namespace

CliArguments parseCliArguments(const QStringList& arguments)
{
    CliArguments result;
    if (arguments.isEmpty()) {
        result.error = "no command given";
        return result;
    }
    const CliCommand command = commandNamed(arguments.first());
    if (command == CliCommand::None) {
        result.error = "unknown command \"" + arguments.first() + "\"";
        return result;
    }
    Parser parser{arguments, result};
    result.command = command;
    for (; parser.at < arguments.size(); ++parser.at)
        parser.parseOne();
    if (result.command == CliCommand::Help) {
        result.error.clear();  // asking for help is never wrong
        return result;
    }
    if (command == CliCommand::Lookup)
        parser.checkLookup();
    else if (command == CliCommand::Export)
        parser.checkExport();
    else
        parser.checkShow();
    return result;
}

bool isUsableSite(const QString& site)
{
    if (site.isEmpty())
        return false;
    for (const QChar c : site) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F || QStringLiteral("/?#@\\").contains(c))
            return false;
    }
    return true;
}

}  // namespace zd
