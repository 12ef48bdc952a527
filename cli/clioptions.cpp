#include "cli/clioptions.h"

#include "core/siteconfig.h"

namespace zd {
namespace {

using enum CliCommand;

const QList<QPair<CliCommand, QString>>& commandNames()
{
    static const QList<QPair<CliCommand, QString>> names = {
        {Lookup, "lookup"}, {Export, "export"}, {Show, "show"}, {Map, "map"}};
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
         {Lookup, Export, Show, Map}, {}},
        {{"delay", "lookup only, site source: the wait after each fetch (default 1, 0: none); refused with the "
          "census source, whose few requests need none.", "SECONDS"},
         {Lookup},
         "--delay belongs to lookup; export does not wait between entries"},
        {{"zips",
          "a zip list file: one entry per line, lines ending in CR, CR LF or LF, each taken "
          "whole and untrimmed; an empty line is an empty entry; Windows-1252, or UTF-8, UTF-16 "
          "LE or BE after that encoding's byte-order mark; a device or pipe is read like a "
          "file. May be repeated: "
          "the files' entries come first, in the order given, then the ENTRY arguments. - reads "
          "standard input.",
          "FILE"},
         {Lookup, Export, Map}, {}},
        {{{"o", "output"}, "export only: the result file to write; - for standard output.", "OUT"},
         {Export, Map},
         "lookup writes to standard output; -o belongs to export"},
        {{"jobs", "lookup, export: transfers at once, 1 to 16 (default 2).", "N"}, {Lookup, Export, Map}, {}},
        {{"rate",
          "lookup, export: requests started in any one second at most (default 2; 0: no cap). "
          "The pause between requests also follows the site's response time and grows after "
          "an error.",
          "R"},
         {Lookup, Export, Map}, {}},
        {{"retries",
          "lookup, export: tries again after a refused or reset connection, a time-out, a body "
          "cut off, or status 408, 429, 500, 502, 503 or 504, up to N times (default 3), after "
          "1 s, 2 s, 4 s... (with jitter, at most 60 s) or the site's Retry-After.",
          "N"},
         {Lookup, Export, Map}, {}},
        {{"timeout",
          "lookup, export: give up connecting after SECONDS, a transfer on which no byte "
          "arrives for SECONDS, and a page that has not arrived whole after SECONDS (a census "
          "answer, which may hold the whole country's figures: 5 x SECONDS) (default 60). A "
          "page given up at that deadline while it was still arriving is not asked again.",
          "SECONDS"},
         {Lookup, Export, Map}, {}},
        {{"cache",
          "lookup, export: keep each page fetched in the folder DIR; a later run takes the "
          "pages from there and fetches only those missing or older than --max-age.",
          "DIR"},
         {Lookup, Export, Map}, {}},
        {{"max-age",
          "lookup, export: the age at which a kept page is fetched again, in seconds or with "
          "s, m, h or d (default 30d).",
          "AGE"},
         {Lookup, Export, Map}, {}},
        {{"max-wait",
          "lookup, export: the longest wait a site's Retry-After or robots.txt Crawl-delay is "
          "granted, in seconds or with s, m, h or d (default 10m); a warning names a longer one.",
          "TIME"},
         {Lookup, Export, Map}, {}},
        {{"time-limit",
          "lookup, export: the longest the whole run may take, in seconds or with s, m, h or d "
          "(default: none). Then no request starts, the transfers in flight end and every entry "
          "whose page has not arrived fails (status 1); the others are done.",
          "TIME"},
         {Lookup, Export, Map}, {}},
        {{"max-page-size",
          "lookup, export: the most a page may hold, in bytes or with K, M or G (default 8M); "
          "a larger page fails its entry.",
          "SIZE"},
         {Lookup, Export, Map}, {}},
        {{"offline", "lookup, export: answer from the --cache folder only; fetch nothing."},
         {Lookup, Export, Map}, {}},
        {{"ignore-robots",
          "lookup, export: do not read the site's robots.txt (its Disallow and Crawl-delay "
          "are not kept); a warning says so."},
         {Lookup, Export, Map}, {}},
        {{"partial",
          "export only: write OUT also when entries failed although OUT exists (without "
          "it an existing OUT is then left as it was)."},
         {Export, Map}, "--partial belongs to export"},
        {{"quiet", "lookup, export: no progress line on a terminal."}, {Lookup, Export, Map}, {}},
        {{"format",
          "export: aligned, csv, jsonl or xlsx; without it, csv, jsonl or xlsx when OUT ends in "
          ".csv, .jsonl or .xlsx, else aligned. show: aligned (the default), csv or jsonl.",
          "FORMAT"},
         {Export, Show}, {}},
        {{"csv-long",
          "with the csv format: the tidy form, one row per figure (entry, zip, location, label, "
          "value), instead of one row per entry."},
         {Export, Show}, {}},
        {{"source",
          "where the figures come from: site (the default) or census, the Census Bureau's "
          "American Community Survey 5-year data profile by ZCTA. Without it: ZIPDEMOGRAPHICS_SOURCE.",
          "SOURCE"},
         {Lookup, Export, Show, Map}, {}},
        {{"year",
          "census: the 5-year vintage (its last year); without it ZIPDEMOGRAPHICS_CENSUS_YEAR, else "
          "the newest the API has.",
          "YYYY"},
         {Lookup, Export, Show, Map}, {}},
        {{"variables",
          "census: the figures to show instead of the built-in set: a file with one data-profile "
          "estimate a line (DPnn_nnnnE or DPnn_nnnnPE), optionally a TAB and its kind (count, "
          "percent, dollars, years, minutes; without one, dollars when its label ends in "
          "\"(dollars)\").",
          "FILE"},
         {Export, Show, Map}, "--variables belongs to export, show and map"},
        {{"moe",
          "census: each figure's margin of error beside it (in JSON Lines a moe object of the figure, "
          "{number, value})."}, {Export, Show},
         "--moe belongs to export and show"},
        {{"total",
          "census: one more entry, total, at the end: the found ZIP codes' counts added up (each "
          "once), their percents worked out anew from the summed counts, with margins of error; "
          "medians, means and rates are left empty and said why."}, {Export},
         "--total belongs to export"},
        {{"census-key-file",
          "census: read the API key from FILE, alone on its first line (else CENSUS_API_KEY, else the "
          "key stored by census-key set). A FILE others may read is used with a warning.",
          "FILE"},
         {Lookup, Export, Show, Map}, {}},
        {{"census-url",
          "census: the API's address (default https://api.census.gov; else "
          "ZIPDEMOGRAPHICS_CENSUS_URL); http:// only for a loopback address.",
          "URL"},
         {Lookup, Export, Show, Map}, {}},
        {{"near",
          "lookup, export, map: the ZIP codes within --miles of this ZIP code (or LAT,LON), nearest first, "
          "join the entries after those of the --zips files and the ENTRY arguments.",
          "ZIP"},
         {Lookup, Export, Map}, {}},
        {{"miles", "lookup, export, map: the distance of --near, from 0 to 3000 miles.", "N"},
         {Lookup, Export, Map}, {}},
        {{"all-zctas",
          "census: every ZIP Code Tabulation Area of the year's vintage joins the entries, by number, after "
          "the others: the whole country (those of 2010 up to the year 2020, those of 2020 from 2021)."},
         {Lookup, Export, Map}, {}},
        {{"figure", "map: the figure to draw: its label as the files show it, or with the census source "
          "its variable ID (DP03_0062E).", "LABEL"},
         {Map}, "--figure belongs to map"},
        {{"classes", "map: the number of quantile classes, 2 to 9 (default 5).", "N"}, {Map},
         "--classes belongs to map"},
        {{"width", "map: the picture's width in pixels, 200 to 8000 (default 1600).", "PIXELS"}, {Map},
         "--width belongs to map"},
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
