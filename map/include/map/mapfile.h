#pragma once

#include "map/mappicture.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zd {

class Atlas;

enum class MapFormat { Svg, Png };

// The format OUT's extension names (".svg" or ".png", in any case); none for any other.
std::optional<MapFormat> mapFormatOfPath(const QString& path);

// The widths a picture may be drawn at, in pixels.
inline constexpr int kNarrowestMap = 200;
inline constexpr int kWidestMap = 8000;
inline constexpr int kDefaultMapWidth = 1600;

// The map drawn as an SVG document or a PNG image `width` pixels wide, its
// height from the view's shape. Needs a QGuiApplication (the system's fonts).
// Empty when the picture could not be made.
QByteArray drawMap(const MapPicture& picture, MapFormat format, int width, const Atlas& atlas);

// Writes the map in the format to path through a temporary file that takes its
// place only once whole, so a failure leaves a file that was there as it was.
// Nothing when written; otherwise why not, for "cannot write PATH: ...".
std::optional<QString> writeMap(const MapPicture& picture, const QString& path, MapFormat format, int width,
                                const Atlas& atlas);

}  // namespace zd
