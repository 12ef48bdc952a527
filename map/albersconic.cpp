#include "map/albersconic.h"

#include <cmath>
#include <numbers>

namespace zd {
namespace {

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// cos(phi) / sqrt(1 - e^2 sin^2(phi)): Snyder's m.
double parallelRadius(const Ellipsoid& ellipsoid, double phi)
{
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1.0 - ellipsoid.eccentricitySquared * s * s);
}

}  // namespace

AlbersConic::AlbersConic(Ellipsoid ellipsoid, double standardParallel1, double standardParallel2,
                         double latitudeOfOrigin, double centralMeridian)
    : m_ellipsoid(ellipsoid), m_centralMeridian(centralMeridian)
{
    const double phi1 = radians(standardParallel1);
    const double phi2 = radians(standardParallel2);
    const double m1 = parallelRadius(ellipsoid, phi1);
    const double m2 = parallelRadius(ellipsoid, phi2);
    const double q1 = authalic(phi1);
    m_n = (m1 * m1 - m2 * m2) / (authalic(phi2) - q1);
    m_c = m1 * m1 + m_n * q1;
    m_rho0 = radius(radians(latitudeOfOrigin));
}

double AlbersConic::authalic(double phi) const
{
    const double e2 = m_ellipsoid.eccentricitySquared;
    const double s = std::sin(phi);
    if (e2 == 0)
        return 2.0 * s;
    const double e = std::sqrt(e2);
    return (1.0 - e2) * (s / (1.0 - e2 * s * s) - std::log((1.0 - e * s) / (1.0 + e * s)) / (2.0 * e));
}

double AlbersConic::radius(double phi) const
{
    return m_ellipsoid.semiMajorAxis * std::sqrt(m_c - m_n * authalic(phi)) / m_n;
}

QPointF AlbersConic::project(double latitude, double longitude) const
{
    const double fromMeridian = std::remainder(longitude - m_centralMeridian, 360.0);
    const double theta = m_n * radians(fromMeridian);
    const double rho = radius(radians(latitude));
    return {rho * std::sin(theta), m_rho0 - rho * std::cos(theta)};
}

}  // namespace zd
