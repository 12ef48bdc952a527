// Draws the program's own artwork: the application icon at 32, 48, 128 and 256
// pixels, and the hand pointer as a Windows cursor file with its hotspot.
//   zipdemographics-draw-artwork <resources folder>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cstdio>

namespace {

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);

    // Tile: a deep teal rounded square.
    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(0x2a, 0x86, 0x8f));
    tile.setColorAt(1, QColor(0x12, 0x4a, 0x58));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(12, 12, 232, 232), 48, 48);

    // Rising bars: the figures.
    painter.setBrush(QColor(0xff, 0xcf, 0x6e));
    const double bottom = 206;
    const double heights[] = {62, 98, 138};
    for (int i = 0; i < 3; ++i)
        painter.drawRoundedRect(QRectF(136 + i * 34, bottom - heights[i], 26, heights[i]), 5, 5);

    // A map pin: the place.
    QPainterPath pin;
    const QPointF centre(86, 98);
    const double radius = 46;
    pin.moveTo(centre.x(), 212);
    pin.cubicTo(centre.x() - 18, 176, centre.x() - radius, 138, centre.x() - radius, centre.y());
    pin.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 180, -180);
    pin.cubicTo(centre.x() + radius, 138, centre.x() + 18, 176, centre.x(), 212);
    painter.setBrush(QColor(0xfb, 0xfd, 0xfe));
    painter.drawPath(pin);
    painter.setBrush(QColor(0x1b, 0x62, 0x6e));
    painter.drawEllipse(centre, 18, 18);
    return image;
}

// The hand: the index finger up (its tip is the hotspot), three fingers folded,
// the thumb to the left, a cuff below. Black outline, white fill.
QImage drawHand(QPoint& hotSpot)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(9.5, 1.5, 5, 16), 2.5, 2.5);    // index finger
    hand.addRoundedRect(QRectF(14.5, 9.5, 4, 9), 2, 2);        // middle finger
    hand.addRoundedRect(QRectF(18.5, 10.5, 4, 8), 2, 2);       // ring finger
    hand.addRoundedRect(QRectF(22.5, 12.5, 3.5, 7), 1.75, 1.75);  // little finger
    hand.addRoundedRect(QRectF(8.5, 14.5, 17.5, 11), 4, 4);    // palm
    QPainterPath thumb;
    thumb.moveTo(10, 18);
    thumb.lineTo(4.5, 14.5);
    thumb.quadTo(2, 14, 2.5, 17);
    thumb.lineTo(9.5, 24.5);
    thumb.closeSubpath();
    hand.addPath(thumb);
    hand.addRect(QRectF(11.5, 25, 12, 5));                      // cuff
    const QPainterPath outline = hand.simplified();

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(outline);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    painter.drawLine(QPointF(14.5, 12.5), QPointF(14.5, 17));   // finger seams
    painter.drawLine(QPointF(18.5, 12.5), QPointF(18.5, 17));
    painter.drawLine(QPointF(22.5, 14), QPointF(22.5, 17.5));
    painter.drawLine(QPointF(11.5, 25.5), QPointF(23.5, 25.5)); // cuff edge
    painter.end();
    hotSpot = QPoint(12, 1);
    return image;
}

void appendWord(QByteArray& bytes, quint16 value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char(value >> 8));
}

void appendDword(QByteArray& bytes, quint32 value)
{
    appendWord(bytes, quint16(value & 0xffff));
    appendWord(bytes, quint16(value >> 16));
}

// A cursor file of one 32-bit image: the directory, one entry (whose planes and
// bit-count words hold the hotspot), the bitmap header, the pixels bottom-up,
// then the 1-bit transparency mask bottom-up.
QByteArray cursorFile(const QImage& image, QPoint hotSpot)
{
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    const quint32 imageBytes = 40 + size * size * 4 + maskStride * size;
    QByteArray bytes;
    appendWord(bytes, 0);
    appendWord(bytes, 2);  // cursor
    appendWord(bytes, 1);
    bytes.append(char(size));
    bytes.append(char(size));
    bytes.append(char(0));
    bytes.append(char(0));
    appendWord(bytes, quint16(hotSpot.x()));
    appendWord(bytes, quint16(hotSpot.y()));
    appendDword(bytes, imageBytes);
    appendDword(bytes, 22);
    appendDword(bytes, 40);
    appendDword(bytes, quint32(size));
    appendDword(bytes, quint32(size * 2));  // image and mask together
    appendWord(bytes, 1);
    appendWord(bytes, 32);
    for (int i = 0; i < 6; ++i)
        appendDword(bytes, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            bytes.append(char(qBlue(pixel)));
            bytes.append(char(qGreen(pixel)));
            bytes.append(char(qRed(pixel)));
            bytes.append(char(qAlpha(pixel)));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        bytes.append(row);
    }
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("icons"));
    for (int size : {32, 48, 128, 256}) {
        const QString path = folder.filePath(QStringLiteral("icons/zipdemographics-%1.png").arg(size));
        if (!drawIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QPoint hotSpot;
    const QImage hand = drawHand(hotSpot);
    if (!writeFile(folder.filePath(QStringLiteral("HAND-M.CUR")), cursorFile(hand, hotSpot))) {
        std::fprintf(stderr, "cannot write the cursor file\n");
        return 1;
    }
    return 0;
}
