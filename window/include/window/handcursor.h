#pragma once

#include <QByteArrayView>
#include <QCursor>
#include <QPoint>
#include <QString>

namespace zd {

// A pointer image from a Windows cursor (.cur) file, hotspot included. A file that
// holds no readable image fails with AppError("Invalid picture").
QCursor loadCursorFile(const QString& path);

// The hotspot that a cursor file's first directory entry gives (bytes 10 to 13,
// little-endian x then y); (0, 0) for a file too short to hold one.
QPoint cursorFileHotSpot(QByteArrayView bytes);

}  // namespace zd
