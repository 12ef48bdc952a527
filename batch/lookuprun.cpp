#include "batch/lookuprun.h"

#include "batch/batchrun.h"
#include "batch/runobserver.h"
#include "batch/exitstatus.h"
#include "batch/runsummary.h"
#include "batch/shownentry.h"
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

// What GetLocationName gives for the entry: the name or a status text.
QString lineText(EntryStatus status, const std::optional<QString>& name)
{
    switch (status) {
    case EntryStatus::Blank: return statusBlankLine();
    case EntryStatus::NotFiveCharacters: return statusNotFiveDigits();
    case EntryStatus::Found:
    case EntryStatus::HttpError:  // the window reads an error page like any other
    case EntryStatus::Failed: return name.value_or(statusNotFound());
    case EntryStatus::NotFound:
    case EntryStatus::Incomplete: break;
    }
    return statusNotFound();
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
              RunObserver& observer)
{
    QList<std::optional<QString>> addresses;
    for (const QString& entry : entries)
        addresses.append(addressOf(entry));
    BatchRun batch(settings, observer);
    batch.setPauseAfterFetch(std::chrono::milliseconds(qint64(delaySeconds * 1000)));
    RunSummary summary;
    bool outputFailed = false;
    const std::optional<int> early = batch.run(addresses, [&](qsizetype index, const PageResult* page) {
        const QString& entry = entries[index];
        const std::optional<QString> name = page ? extractLocationName(page->outcome.body) : std::nullopt;
        const EntryStatus status = entryStatus(trimZipSpaces(entry), page ? &page->outcome : nullptr,
                                               name.has_value());
        summary.add(entry, status, page ? page->outcome.httpStatus : 0);
        if (!outputFailed)
            observer.output(escapedLookupField(entry) + '\t' + escapedLookupField(lineText(status, name)) + '\n');
        outputFailed = outputFailed || observer.outputFailed();
        if (status == EntryStatus::Failed) {
            observer.message("entry " + shownEntry(entry) + ": the transfer failed (" + page->outcome.transportError
                               + "); its line is from what arrived");
        }
    });
    if (early)
        return *early;
    observer.message(summary.line());
    if (outputFailed) {
        observer.message("cannot write to standard output");
        return kExitOutputFailed;
    }
    return summary.anyFailed() ? kExitIncomplete : kExitSuccess;
}

}  // namespace zd
