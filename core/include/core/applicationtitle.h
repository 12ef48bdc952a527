#pragma once

#include <QString>

namespace zd {

// The process-wide application title: the caption of message and input boxes
// that give no title of their own.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// The product title that the window's caption shows.
QString productTitle();

// The application title derived from a product title: cut at the last space, at
// least once, until it is at most 40 characters long. A cut that finds no space
// fails with AppError(invalid argument).
QString shortenedAppTitle(const QString& title);

// Sets the application title from the product title.
void SetAppTitle(const QString& title = productTitle());

}  // namespace zd
