#pragma once

#include <QPointF>

namespace zd {

// An ellipsoid of revolution: its semi-major axis in metres and the square of its
// eccentricity (0 for a sphere).
struct Ellipsoid {
    double semiMajorAxis = 0;
    double eccentricitySquared = 0;

    static Ellipsoid grs80() { return {6378137.0, 0.00669438002290}; }
};

// The Albers equal-area conic with two standard parallels, on an ellipsoid or a
// sphere: the forward formulas (longitude, latitude -> x, y). Angles in degrees;
// x grows east and y north, in the ellipsoid's unit, from the central meridian
// and the latitude of origin.
class AlbersConic {
public:
    AlbersConic(Ellipsoid ellipsoid, double standardParallel1, double standardParallel2,
                double latitudeOfOrigin, double centralMeridian);

    // Longitudes are taken around the central meridian (179°E is 181°W), so a
    // state across the antimeridian stays in one piece.
    QPointF project(double latitude, double longitude) const;

private:
    double authalic(double latitudeRadians) const;  // Snyder's q
    double radius(double latitudeRadians) const;    // rho

    Ellipsoid m_ellipsoid;
    double m_centralMeridian;
    double m_n = 0;      // the cone constant
    double m_c = 0;
    double m_rho0 = 0;
};

}  // namespace zd
