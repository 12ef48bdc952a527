#include "batch/lookuprun.h"

#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "core/escapedcontrols.h"

namespace zd {

namespace {

// A field's own escapes; any other control is written as core's rule has it.
QStringView lookupEscape(char16_t unit)
{
    switch (unit) {
    case '\\': return u"\\\\";
    case '\t': return u"\\t";
    case '\r': return u"\\r";
    case '\n': return u"\\n";
    case 0: return u"\\0";
    default: return {};
    }
}

qsizetype escapedLength(char16_t unit)
{
    if (const QStringView own = lookupEscape(unit); !own.isEmpty())
        return own.size();
    return isEscapedControl(unit) ? escapeOf(unit).size() : 1;
}

}  // namespace

void appendEscapedLookupField(QString& line, const QString& text)
{
    // Room made once: a field may be a whole file's one line of NULs.
    qsizetype size = line.size();
    for (const QChar c : text)
        size += escapedLength(c.unicode());
    line.reserve(size + 1);  // and the TAB or line end after it
    for (const QChar c : text) {
        if (const QStringView own = lookupEscape(c.unicode()); !own.isEmpty())
            line += own;
        else if (isEscapedControl(c.unicode()))
            line += escapeOf(c.unicode());
        else
            line += c;
    }
}

QString escapedLookupField(const QString& text)
{
    QString escaped;
    appendEscapedLookupField(escaped, text);
    return escaped;
}

int runLookup(EntrySource& source, const PackedStrings& entries, RunObserver& observer)
{
    RunSummary summary;
    bool outputFailed = false;
    const std::optional<EarlyEnd> early =
        source.fetchEach(entries, EntryNeed::Location, observer, [&](EntryOutcome&& entry) {
            summary.add(entry.result);
            if (!outputFailed) {
                QString line;
                appendEscapedLookupField(line, entry.result.entry);
                line += '\t';
                appendEscapedLookupField(line, locationLine(entry.result));
                line += '\n';
                observer.output(line);
            }
            outputFailed = outputFailed || observer.outputFailed();
            tellProblems(entry, observer);
        });
    if (early)
        return reportEarlyEnd(*early, observer);
    observer.message(summary.line());
    if (outputFailed) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

}  // namespace zd
