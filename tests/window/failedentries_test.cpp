// The save's one failure rule, without a window: an entry failed when its
// status says so, whichever source gave it, or when one of the aligned save's
// fetches of its page did; the warning names the first ten and counts the rest.
#include "commands/failedentries.h"

#include "export/resultstable.h"
#include "retrieval/pagefetch.h"
#include "tests/support/wholefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd {
namespace {

EntryResult resultWith(const QString& entry, EntryStatus status)
{
    EntryResult result;
    result.entry = entry;
    result.status = status;
    return result;
}

FetchOutcome fetchOf(bool complete, long httpStatus = 200)
{
    FetchOutcome outcome;
    outcome.complete = complete;
    outcome.httpStatus = httpStatus;
    outcome.transportError = complete ? QString() : QStringLiteral("Timeout was reached");
    return outcome;
}

TEST(FailedEntriesRule, AnEntryFailsByItsStatusOrByAnyOfItsFetches)
{
    FailedEntries failed;
    failed.judge(resultWith("03053", EntryStatus::Failed));
    for (const EntryStatus status : {EntryStatus::Found, EntryStatus::NotFound, EntryStatus::HttpError,
                                     EntryStatus::Incomplete, EntryStatus::Blank})
        failed.judge(resultWith("01830", status));
    // The aligned save fetches a page three times: one that broke off fails the entry.
    failed.judge("55123", {fetchOf(true), fetchOf(false), fetchOf(true)});
    // An error page arrived whole: the entry did not fail.
    failed.judge("00404", {fetchOf(true, 404), fetchOf(true, 404), fetchOf(true, 404)});
    failed.judge("", {});
    EXPECT_EQ(failed.entries(), (QStringList{"03053", "55123"}));
}

TEST(FailedEntriesRule, AnExistingTargetIsKeptOnlyWhenEntriesFailed)
{
    QTemporaryDir folder;
    const QString existing = folder.filePath("result.txt");
    ASSERT_TRUE(test::writeWholeFile(existing, "kept\n"));
    FailedEntries none;
    EXPECT_FALSE(none.keepsTargetAt(existing));
    FailedEntries some;
    some.judge(resultWith("03053", EntryStatus::Failed));
    EXPECT_TRUE(some.keepsTargetAt(existing));
    EXPECT_FALSE(some.keepsTargetAt(folder.filePath("new.txt")));
}

TEST(FailedEntriesRule, TheWarningNamesTenEntriesAndCountsTheRest)
{
    FailedEntries failed;
    failed.judge(resultWith("", EntryStatus::Failed));
    for (int i = 1; i < 12; ++i)
        failed.judge(resultWith(QString::number(10000 + i), EntryStatus::Failed));
    QStringList named{"(empty line)"};
    for (int i = 1; i < 10; ++i)
        named.append(QStringLiteral("\"%1\"").arg(10000 + i));
    EXPECT_EQ(failed.warning("out.txt", true),
              "The pages of 12 entries could not be fetched: " + named.join(", ") + " and 2 more.\r\n\r\n"
                  "\"out.txt\" was left as it was: nothing was saved.");
}

}  // namespace
}  // namespace zd
