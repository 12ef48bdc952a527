#include "window/handcursor.h"

#include "core/apperror.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace zd {

QPoint cursorFileHotSpot(QByteArrayView bytes)
{
    if (bytes.size() < 14)
        return {};
    const auto word = [&](qsizetype at) {
        return int(quint8(bytes[at])) | (int(quint8(bytes[at + 1])) << 8);
    };
    return {word(10), word(12)};
}

QCursor loadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(file.exists() ? errors::permissionDenied() : errors::fileNotFound());
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    // The image reader knows the icon format, of which a cursor file is a variant.
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.read();
    if (image.isNull())
        throw AppError(QStringLiteral("Invalid picture"));
    const QPoint hotSpot = cursorFileHotSpot(bytes);
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

}  // namespace zd
