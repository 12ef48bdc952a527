#include "cli/clioptions.h"

#include "app/core/siteconfig.h"

namespace zd {
namespace {

using enum CliCommand;

const QList<QPair<CliCommand, QString>>& commandNames()
{
    static const QList<QPair<CliCommand, QString>> names = {
        {Lookup, "lookup"}, {Export, "export"}, {Show, "show"}};
    return names;
}

}  // namespace

const QList<CliOption>& cliOptions()
{
    static const QList<CliOption> options = {
        {{"site",
          "the demographics site (an IPv6 address in brackets: [::1]:8080). Without it: "
          "ZIPDEMOGRAPHICS_SITE, else the built-in host, "
              + builtInDemographicsHost() + ".",
          "HOST[:PORT]"},
         {Lookup, Export, Show}, {}},
        {{"delay", "lookup only: the wait after each fetch (default 1, 0: none).", "SECONDS"},
         {Lookup},
         "--delay belongs to lookup; export does not wait between entries"},
        {{"zips",
          "a zip list file: one entry per line, lines ending in CR, CR LF or LF, each taken "
          "whole and untrimmed; an empty line is an empty entry; Windows-1252, or UTF-8, UTF-16 "
          "LE or BE after that encoding's byte-order mark; a device or pipe is read like a "
          "file. May be repeated: "
          "the files' entries come first, in the order given, then the ENTRY arguments.",
          "FILE"},
         {Lookup, Export}, {}},
        {{{"o", "output"}, "export only: the result file to write.", "OUT"},
         {Export},
         "lookup writes to standard output; -o belongs to export"},
        {{"format",
          "export: aligned, csv, jsonl or xlsx; without it, csv, jsonl or xlsx when OUT ends in "
          ".csv, .jsonl or .xlsx, else aligned. show: aligned (the default), csv or jsonl.",
          "FORMAT"},
         {Export, Show}, {}},
        {{"csv-long",
          "with the csv format: the tidy form, one row per figure (entry, zip, location, label, "
          "value), instead of one row per entry."},
         {Export, Show}, {}},
        {{{"h", "help"}, "this text."}, {}, {}},
        {{"version", "the program's version."}, {}, {}},
    };
    return options;
}

QList<QCommandLineOption> cliQtOptions()
{
    QList<QCommandLineOption> qtOptions;
    for (const CliOption& option : cliOptions())
        qtOptions.append(option.option);
    return qtOptions;
}

const CliOption* cliOptionNamed(const QString& name)
{
    for (const CliOption& option : cliOptions()) {
        if (option.option.names().contains(name))
            return &option;
    }
    return nullptr;
}

CliCommand cliCommandNamed(const QString& name)
{
    for (const auto& [command, commandName] : commandNames()) {
        if (name == commandName)
            return command;
    }
    return None;
}

QString cliCommandName(CliCommand command)
{
    for (const auto& [known, name] : commandNames()) {
        if (known == command)
            return name;
    }
    return {};
}

}  // namespace zd
