#pragma once

#include <QString>

namespace zd {

// The process-wide application title: the caption of message and input boxes
// that give no title of their own. setApplicationTitle takes the title as given.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// The product title that the window's caption shows.
QString productTitle();

// The application title derived from a product title: cut at the last space, at
// least once, until it is at most 40 characters long. A cut that finds no space
// fails with AppError(invalid argument).
QString shortenedApplicationTitle(const QString& productTitle);

// Sets the application title to the shortened form of the product title
// (shortenedApplicationTitle); a title that cannot be shortened fails as above
// and leaves the application title as it was.
void setShortenedApplicationTitle(const QString& productTitle);

}  // namespace zd
