#include "cli/lookupcommand.h"

#include "cli/batchrun.h"
#include "cli/console.h"
#include "cli/exitstatus.h"
#include "cli/runsummary.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

std::optional<QString> addressOf(const QString& entry)
{
    const QString zip = trimZipSpaces(entry);
    if (zip.size() != 5)
        return std::nullopt;
    return requestUrl(zip);
}

struct LookupLine {
    QString text;
    RunSummary::Outcome outcome;
};

LookupLine lineFor(const QString& entry, const PageResult* page)
{
    if (!page) {
        const bool blank = trimZipSpaces(entry).isEmpty();
        return {blank ? statusBlankLine() : statusNotFiveDigits(), RunSummary::Outcome::NotFiveCharacters};
    }
    const std::optional<QString> name = extractLocationName(page->outcome.body);
    if (!page->outcome.complete)
        return {name.value_or(statusNotFound()), RunSummary::Outcome::Failed};
    return name ? LookupLine{*name, RunSummary::Outcome::Found}
                : LookupLine{statusNotFound(), RunSummary::Outcome::NotFound};
}

}  // namespace

QString escapedLookupField(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

int runLookup(const QStringList& entries, double delaySeconds, const BatchSettings& settings,
              Console& console)
{
    QList<std::optional<QString>> addresses;
    for (const QString& entry : entries)
        addresses.append(addressOf(entry));
    BatchRun batch(settings, console);
    batch.setPauseAfterFetch(std::chrono::milliseconds(qint64(delaySeconds * 1000)));
    RunSummary summary;
    bool outputFailed = false;
    const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
        const QString& entry = entries[index];
        const LookupLine line = lineFor(entry, page);
        summary.add(entry, line.outcome);
        if (!outputFailed)
            console.print(escapedLookupField(entry) + '\t' + escapedLookupField(line.text) + '\n');
        outputFailed = outputFailed || console.outputFailed();
        if (line.outcome == RunSummary::Outcome::Failed) {
            console.printError("entry \"" + entry + "\": the transfer failed (" + page->outcome.transportError
                               + "); its line is from what arrived");
        }
    });
    if (early)
        return *early;
    batch.finish(summary.line());
    if (outputFailed) {
        console.printError("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

}  // namespace zd
