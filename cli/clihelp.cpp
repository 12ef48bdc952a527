#include "cli/clihelp.h"

#include "app/core/siteconfig.h"

namespace zd {

QString cliHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli lookup [--site HOST[:PORT]] [--delay SECONDS] [--zips FILE]... [ENTRY]...
  zipdemographics-cli export [--site HOST[:PORT]] [--zips FILE]... [ENTRY]... -o OUT
  zipdemographics-cli show [--site HOST[:PORT]] ENTRY
  zipdemographics-cli --help

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
  show    Prints the demographics of one entry as the desktop program shows
          them for a clicked location: the same rows as export, under the same
          headers, as aligned text in UTF-8 with LF line ends.

Entries:
  --zips FILE         a zip list file: one entry per line, lines ending in CR,
                      CR LF or LF, each taken whole and untrimmed; an empty line
                      is an empty entry; Windows-1252, or UTF-8, UTF-16 LE or
                      BE after that encoding's byte-order mark. May be repeated: the
                      files' entries come first, in the order given, then the
                      ENTRY arguments.
  ENTRY               one entry as it stands; quote it to keep spaces around it.
                      An entry that begins with "-" goes after "--".

Options:
  --site HOST[:PORT]  the demographics site. Without it: ZIPDEMOGRAPHICS_SITE,
                      else the built-in host, )") + builtInDemographicsHost() + QStringLiteral(R"(.
  --delay SECONDS     lookup only: the wait after each fetch (default 1, 0: none).
  -o, --output OUT    export only: the result file to write.
  -h, --help          this text.

Environment:
  ZIPDEMOGRAPHICS_SITE  the site as HOST or HOST:PORT, when --site is not given.
  http_proxy, no_proxy  the HTTP proxy for page fetches, and the hosts that
                        bypass it.

Exit status:
  0  done.
  1  export, show: an entry's page broke off, or its fetch failed in transport
     (refused, timed out, cut off). The entry is named on standard error with
     the reason, the rows found before the problem are kept, the other entries
     are done and the file is written.
     lookup: an entry's fetch failed in transport. The entry is named on
     standard error with the reason; its line, made from what arrived, and the
     other entries' lines are printed.
  2  a usage error, or a zip list file that cannot be read. Nothing is fetched
     and no output file is created or replaced.
  3  the output cannot be written. An existing file is left untouched.

Try it offline with the bundled sample site, which prints its port first:
  zipdemographics-site > site-port &
  zipdemographics-cli export --site 127.0.0.1:$(head -n1 site-port) 03053 01830 -o result.txt
)");
}

QString cliUsageHint() { return QStringLiteral("Try \"zipdemographics-cli --help\"."); }

}  // namespace zd
