// Temporary stand-in until the outlines land: a bare conic projection, no outlines.
#include "map/atlas.h"

#include <cmath>

namespace zd {

std::optional<MapPoint> projectUsa(double latitude, double longitude)
{
    const double k = M_PI / 180;
    const double phi1 = 29.5 * k, phi2 = 45.5 * k, phi0 = 23 * k, lambda0 = -96 * k;
    const double n = (std::sin(phi1) + std::sin(phi2)) / 2;
    const double c = std::cos(phi1) * std::cos(phi1) + 2 * n * std::sin(phi1);
    const double rho0 = std::sqrt(c - 2 * n * std::sin(phi0)) / n;
    const double rho = std::sqrt(c - 2 * n * std::sin(latitude * k)) / n;
    const double theta = n * (longitude * k - lambda0);
    MapRegion region = MapRegion::Lower48;
    if (latitude > 50) region = MapRegion::Alaska;
    else if (longitude < -150) region = MapRegion::Hawaii;
    else if (latitude < 19 && longitude > -68) region = MapRegion::PuertoRico;
    return MapPoint{QPointF(rho * std::sin(theta) * 1000, -(rho0 - rho * std::cos(theta)) * 1000), region};
}
QRectF usaExtent() { return QRectF(-400, -450, 800, 500); }
QRectF insetFrame(MapRegion region)
{
    if (region == MapRegion::Alaska) return QRectF(-400, -100, 200, 150);
    if (region == MapRegion::Hawaii) return QRectF(-190, -20, 100, 70);
    if (region == MapRegion::PuertoRico) return QRectF(250, -20, 80, 50);
    return {};
}
const Atlas& Atlas::installed() { static const Atlas atlas; return atlas; }

}  // namespace zd
