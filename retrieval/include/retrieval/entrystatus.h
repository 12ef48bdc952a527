#pragma once

#include <QString>

namespace zd {

struct FetchOutcome;

// What became of one entry of a lookup, a show or an export.
enum class EntryStatus {
    Found,              // the page named a location
    NotFound,           // the page named none
    NotFiveCharacters,  // the trimmed entry is not five characters long
    Blank,              // the entry holds nothing but spaces
    Incomplete,         // the page broke off inside its figures or income rows
    HttpError,          // the site answered with a status other than 2xx (an error page)
    Failed,             // the transfer failed
};

// The status of an entry from its zip code (the entry trimmed of spaces), its
// page's fetch (null when it was not fetched), whether the page named a location
// and whether its rows were whole. A failed transfer comes first: whatever the
// entry, what arrived of its page is not all there was. An error answer (404,
// say) comes before what its page holds: an error page may well name a "location".
EntryStatus entryStatus(const QString& zip, const FetchOutcome* fetched, bool named, bool whole = true);

// The status as written in the files: "found", "not found", "not 5 characters",
// "blank", "incomplete", "failed", and "http 404" for an error answer with its status.
QString entryStatusText(EntryStatus status, long httpStatus = 0);

// Whether an HTTP status is a success (2xx); 0, no status (a page not fetched
// over HTTP), counts as one.
bool isSuccessStatus(long httpStatus);

}  // namespace zd
