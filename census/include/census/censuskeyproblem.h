#pragma once

#include <QByteArray>
#include <QString>

namespace zd {

// The header by which the API marks an answer to a key it refused.
inline constexpr char kCensusKeyErrorHeader[] = "X-DataWebAPI-KeyError";
// Where a person gets a key.
inline constexpr char kCensusKeySignupUrl[] = "https://api.census.gov/data/key_signup.html";

// What a user is told when the API asks for a key and none was given, and when
// it refused the key given.
QString missingCensusKeyMessage();
QString refusedCensusKeyMessage();

// What the API answered, as far as the key goes.
struct CensusAnswerHead {
    long httpStatus = 0;
    QString redirectTo;           // the Location of a redirect, which is not followed
    bool keyErrorHeader = false;  // the answer carried kCensusKeyErrorHeader
};

// Whether the answer is the API's word on the key: a redirect to its
// missing-key or invalid-key page, the key error header, or one of those pages.
bool isCensusKeyProblem(const CensusAnswerHead& head, const QByteArray& body);
// Whether the body is an HTML page rather than the API's JSON or text.
bool looksLikeHtml(const QByteArray& body);

}  // namespace zd
