// The status of an entry from its zip code and its page's fetch, for each
// length of entry and each way a fetch can end.
#include "retrieval/entrystatus.h"
#include "retrieval/pagefetch.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

FetchOutcome fetched(bool complete, long httpStatus)
{
    FetchOutcome outcome;
    outcome.complete = complete;
    outcome.httpStatus = httpStatus;
    return outcome;
}

TEST(EntryStatus, AnEntryNotFiveCharactersLongIsToldSoWhateverItsPage)
{
    const FetchOutcome found = fetched(true, 200);
    const FetchOutcome missing = fetched(true, 404);
    for (const char* zip : {"1", "0305", "030533", "0305 3 1", "ABCD"}) {
        EXPECT_EQ(entryStatus(zip, nullptr, false), EntryStatus::NotFiveCharacters) << zip;
        EXPECT_EQ(entryStatus(zip, &found, true), EntryStatus::NotFiveCharacters) << zip;
        EXPECT_EQ(entryStatus(zip, &missing, true), EntryStatus::NotFiveCharacters) << zip;
        EXPECT_EQ(entryStatus(zip, &found, true, false), EntryStatus::NotFiveCharacters) << zip;
    }
    EXPECT_EQ(entryStatus("", nullptr, false), EntryStatus::Blank);
    EXPECT_EQ(entryStatus("", &found, true), EntryStatus::Blank);
    EXPECT_EQ(entryStatusText(EntryStatus::NotFiveCharacters), "not 5 characters");
    EXPECT_EQ(entryStatusText(EntryStatus::Blank), "blank");
}

// A failed transfer comes first, then the entry's length, the answer's status,
// the rows' wholeness and the location's name, in that order.
TEST(EntryStatus, EachCauseTakesItsTurn)
{
    const FetchOutcome broken = fetched(false, 200);
    const FetchOutcome error = fetched(true, 503);
    const FetchOutcome found = fetched(true, 200);
    EXPECT_EQ(entryStatus("0305", &broken, true), EntryStatus::Failed);
    EXPECT_EQ(entryStatus("", &broken, false), EntryStatus::Failed);
    EXPECT_EQ(entryStatus("03053", &error, true), EntryStatus::HttpError);
    EXPECT_EQ(entryStatusText(EntryStatus::HttpError, 503), "http 503");
    EXPECT_EQ(entryStatus("03053", &found, true, false), EntryStatus::Incomplete);
    EXPECT_EQ(entryStatus("03053", &found, true), EntryStatus::Found);
    EXPECT_EQ(entryStatus("03053", &found, false), EntryStatus::NotFound);
    EXPECT_EQ(entryStatus("03053", nullptr, true), EntryStatus::Found);
    for (const long status : {0L, 200L, 204L, 299L})
        EXPECT_TRUE(isSuccessStatus(status)) << status;
    for (const long status : {100L, 199L, 300L, 404L, 500L})
        EXPECT_FALSE(isSuccessStatus(status)) << status;
}

}  // namespace
}  // namespace zd
