#include "cli/clihelp.h"

#include "core/commandline.h"
#include "core/programversion.h"
#include "cli/clioptions.h"

namespace zd {

QString cliHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli lookup [--site HOST[:PORT]] [--delay SECONDS] [BATCH OPTIONS] [--zips FILE]... [ENTRY]...
  zipdemographics-cli export [--site HOST[:PORT]] [--format FORMAT] [--csv-long] [--partial] [BATCH OPTIONS] [--zips FILE]... [ENTRY]... -o OUT
  zipdemographics-cli show [--site HOST[:PORT]] [--format FORMAT] [--csv-long] ENTRY
  zipdemographics-cli map --figure LABEL|VARIABLE [--classes N] [--width PIXELS] [BATCH OPTIONS] [--zips FILE]... [ENTRY]... -o OUT.svg|OUT.png
  zipdemographics-cli lookup|export|show|map --source census [--year YYYY] [--variables FILE] [--moe] [--total] [--census-key-file FILE] [--census-url URL] ...
  zipdemographics-cli census-key set | status | clear
  zipdemographics-cli lookup|export|map --near ZIP --miles N ...
  zipdemographics-cli lookup|export|map --source census --all-zctas ...
  zipdemographics-cli near ZIP|LAT,LON --miles N [--distance] [--year YYYY]
  zipdemographics-cli zips --state ST | --city "NAME, ST" | --all [--year YYYY] [--details]
  zipdemographics-cli --help | --version

Looks up United States ZIP codes on the demographics site with the same code as
the zipdemographics desktop program, without a window.

Commands:
  lookup  For each entry, one line: the entry exactly as given, a TAB, and the
          location name cut out of its page, or one of the status texts
          "Blank line.", "Zip is not 5 digits" and "Zip code not found.".
          An entry is trimmed of spaces for the lookup only and must then be
          5 characters long. After each fetch the lookup waits --delay
          seconds, 1 by default, as the desktop program does. UTF-8.
  export  Writes OUT as the desktop program's save command writes its file for
          a location list holding the entries: the header line of the
          demographics list ("Demographics", " Value"), then for each entry its
          location-name row (none for an empty entry, none when the page has no
          name), its figure rows and its household income rows. Every cell is
          padded with spaces to its column's width and followed by a TAB; lines
          end with CR LF; the text is Windows-1252. One fetch per entry, used
          as it stands (untrimmed). OUT is replaced only once it is complete.
          That is the aligned format; --format (or OUT's extension .csv,
          .jsonl, .xlsx) chooses another, with the same entries and figures:
            csv    one row per entry: entry, zip, status, location, then one
                   column per figure label in the order first seen (RFC 4180,
                   UTF-8, CR LF); --csv-long: one row per figure instead
                   (entry, zip, location, label, value).
            jsonl  one JSON object per line and entry: entry, zip, status,
                   location, and figures as [{label, value, number}], number
                   being the value as a number ("18.7%" gives 18.7), or null;
                   with --moe each figure also has moe, {value, number}.
            xlsx   a workbook: sheet "Demographics" as the csv rows, ZIP codes
                   as text, figures as numbers shown as on the page; sheet
                   "About" with the site, the time and the version.
          status is one of found, not found, not 5 characters, blank,
          incomplete, failed. Text from outside is written with its control
          characters escaped (\x1b) in every format and on the terminal; a
          csv field that would start a formula (= + - @) begins with '.
  show    Prints the demographics of one entry as the desktop program shows
          them for a clicked location: the same rows as export, under the same
          headers, as aligned text in UTF-8 with LF line ends. A page with
          neither a location nor figures is named on standard error (status 1).
          --format csv or jsonl prints the entry as export writes it in that
          format.
  map     Draws one figure of every entry as a map, SVG or PNG by OUT's
          extension: a dot per ZIP code at its place, coloured by the value's
          quantile class (--classes, 5 by default; light to dark), a thin
          light grey ring without a value, over the state outlines (and the
          counties' in a regional view, which fits the listed ZIP codes); a
          list across the country shows the 48 states with Alaska, Hawaii and
          Puerto Rico as insets. A title, a legend with the classes' limits in
          the figure's unit and the sources, in the generic sans-serif font.
          An unknown figure names the figures there are (status 2); a list
          without one value that can be drawn draws the outlines and says so
          (status 0).
  census-key  Keeps the Census Data API key in the desktop's keyring (else in
          a file only you can read): set, status, clear; see
          "zipdemographics-cli census-key --help".
  near    Prints the ZIP codes within --miles N of a ZIP code or LAT,LON,
          nearest first, one a line (--distance: a TAB and the miles to one
          decimal, and "no ZCTA" for a ZIP code without a ZIP Code Tabulation
          Area of the year's vintage, --year); see "zipdemographics-cli near
          --help".
  zips    Prints the ZIP codes of a state (--state ST) or a town (--city
          "NAME, ST"), or every ZCTA of a year's vintage (--all, --year), one
          a line; see "zipdemographics-cli zips --help".
          The output of both is a zip list that --zips - reads.

Entries:
  ENTRY  one entry as it stands; quote it to keep spaces around it. An entry
         that begins with "-" goes after "--". Entries of --zips files come
         first, then the ENTRY arguments, then the ZIP codes within --miles
         of --near, nearest first, then with --all-zctas every ZCTA of the
         year's vintage. An option is given once; only --zips may come again.

Options:
)") + optionHelpText(cliQtOptions()) + QStringLiteral(R"(
Environment:
  ZIPDEMOGRAPHICS_SITE  the site as HOST, HOST:PORT or [IPV6]:PORT, when --site
                        is not given. A value that cannot be used is refused
                        (status 2), as a bad --site is.
  http_proxy, no_proxy  the HTTP proxy for page fetches, and the hosts that
                        bypass it.
  ZIPDEMOGRAPHICS_SOURCE  site or census, when --source is not given.
  CENSUS_API_KEY        the Census Data API key (census source), when
                        --census-key-file is not given; else the key stored by
                        census-key set. Never give it on the command line.
  ZIPDEMOGRAPHICS_CENSUS_URL, ZIPDEMOGRAPHICS_CENSUS_YEAR  the API's address and
                        the vintage, when --census-url and --year are not given.

Census source (--source census): the figures of the Census Bureau's American
Community Survey 5-year data profile for each entry's ZIP Code Tabulation Area,
from the Census Data API, in the fewest requests (50 variables and many ZCTAs a
request), through the same batch engine (--jobs, --rate, --retries, --cache,
--offline). This product uses the Census Bureau Data API but is not endorsed or
certified by the Census Bureau. --moe puts each figure's margin of error
beside it: a column LABEL (margin of error) after the figure's in csv and
xlsx, a third column in the aligned text, a moe object in jsonl, and with it
the figure's coefficient of variation (MOE / 1.645 / estimate) and reliability
word: high under 12%, medium 12-40%, low over 40% (shaded in xlsx). export
--total ends the file with one more entry, total: the found ZCTAs' counts
added up once each, percents anew from summed counts over their block's
summed universe (the unemployment rate: unemployed over civilian labor force),
medians, means and rates left empty with the reason said once (on standard
error, in the csv's note column, the jsonl's note, the workbook's About sheet),
naming the ZIP codes that left a total empty. A percent's label says what it
is a percent of ("Owner-occupied: percent of occupied housing units"); each
jsonl figure has its unit and universe. lookup takes
no --delay there (status 2): the API's requests are few and need no wait. The
progress line counts entries: an entry is done once every answer that holds
its ZCTA has arrived. The answers of a run must agree: a ZCTA in some of its
answers and not in another (a 204, a missing row) fails its entries (status 1)
and those answers are not cached. Its files say what they hold: csv and jsonl name the
vintage ("2020-2024 ACS 5-year" for --year 2024) and the source in every row
(columns, or keys, vintage and source); each figure's variable ID is in the
column's name in csv and xlsx ("Total population [DP05_0001E]"), in a column
variable with --csv-long, and in each jsonl figure as variable (and in its moe);
the workbook's About sheet and the aligned file's last line name the vintage and
the source. In csv its figures are plain numbers (95825, 39.9), the unit after
the label in the column's name ("Median age (years) [DP05_0018E]"). A median
the Bureau codes as open-ended is shown as its bound, "250,000+" or "2,500-"
(250000+ in csv, "bound" in jsonl), with no margin, CV or total; a margin of
-555555555 (a controlled estimate) is 0. A value the API cannot send (negative
and no annotation, 10^15 or more, not a plain decimal) fails its entries.

Exit status:
  0  done.
  1  export, show: an entry's page broke off, or its fetch failed in transport
     (refused, timed out, cut off, a retryable status on every try, not in the
     cache with --offline, the run's --time-limit passed first). The entry is named on standard error with the
     reason, the rows found before the problem are kept, the other entries
     are done and the file is written; after a failed transfer an existing
     OUT is left as it was, unless --partial is given.
     lookup: an entry's fetch failed in transport. The entry is named on
     standard error with the reason; its line, made from what arrived, and the
     other entries' lines are printed.
     show: the page holds neither a location nor figures.
  2  a usage error, a site that cannot be used, a zip list file that cannot
     be read, a cache folder that cannot be used, or the site's robots.txt
     forbidding a page. Nothing is fetched and no output file is created or
     replaced.
  3  the output cannot be written. An existing file is left untouched.
  130, 143  stopped by SIGINT or SIGTERM: the transfers in flight end, what
     arrived is in the --cache folder, an existing OUT is left as it was;
     the same command goes on where it stopped.

BATCH OPTIONS are --jobs, --rate, --retries, --timeout, --time-limit, --cache,
--max-age, --max-wait, --max-page-size, --offline, --ignore-robots and --quiet. lookup and export fetch their pages
as a batch: --jobs at once, each distinct address once, at most --rate
starts a second, at a pace that follows the site's response time and slows
after errors, with transient failures retried, after reading the site's
robots.txt. On a terminal a progress line shows how far the run has come
(--quiet: none); the run ends with a summary line on standard error.

Try it offline with the bundled sample site, which prints its port first:
  zipdemographics-site > site-port &
  zipdemographics-cli export --site 127.0.0.1:$(head -n1 site-port) 03053 01830 -o result.txt
)");
}

QString cliVersionText() { return "zipdemographics-cli " + programVersion() + '\n'; }

QString cliUsageHint() { return QStringLiteral("Try \"zipdemographics-cli --help\"."); }

}  // namespace zd
