#include "batch/entryfetch.h"

#include "core/apperror.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/pagefetch.h"

namespace zd {
namespace {

QString breakReason(PagePart part)
{
    const QString where = part == PagePart::Figures ? QStringLiteral("the figures")
                                                    : QStringLiteral("the household income rows");
    return "the page breaks off in " + where + " (" + errors::subscriptOutOfRange()
           + "); the rows before the break are kept";
}

}  // namespace

QStringList entryProblems(const FetchOutcome& fetched, std::optional<PagePart> broken)
{
    QStringList reasons;
    if (!fetched.complete) {
        reasons.append("the transfer failed (" + fetched.transportError
                       + "); the rows of what arrived are kept");
    }
    if (broken)
        reasons.append(breakReason(*broken));
    return reasons;
}

}  // namespace zd
