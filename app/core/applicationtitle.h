#pragma once

#include <QString>

namespace zd {

// The process-wide application title: the caption of message and input boxes
// that give no title of their own.
QString applicationTitle();
void setApplicationTitle(const QString& title);

}  // namespace zd
