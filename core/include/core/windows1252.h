#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace zd {

// The program's single-byte code page, everywhere: web pages, zip list files and
// result files. Every byte decodes to one character; the five bytes the code page
// leaves undefined decode to the control character of the same value.
QString decodeWindows1252(QByteArrayView bytes);
void appendWindows1252(QString& text, QByteArrayView bytes);

// A character the code page cannot hold becomes "?".
QByteArray encodeWindows1252(QStringView text);
void appendEncodedWindows1252(QByteArray& bytes, QStringView text);

}  // namespace zd
