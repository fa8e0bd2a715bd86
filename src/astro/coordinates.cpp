#include "astro/coordinates.h"

#include "astro/angles.h"

#include <algorithm>
#include <cmath>

namespace kv::sunmoon {

void EclipticToEquatorial(TCoor& Body, double JD) {
    const double T = (JD - 2451545) / 36525;
    const double obliquity =
        (23.439291666666667 + ((0.00181 * T - 0.0006) * T - 46.815) * T / 3600) * DegToRad;
    const double lambda = Body.EclipticLon;
    const double beta = Body.EclipticLat;
    Body.RightAsc = NormAngle(
        std::atan2(std::sin(lambda) * std::cos(obliquity) - std::tan(beta) * std::sin(obliquity),
                   std::cos(lambda)));
    Body.Declination = std::asin(std::sin(beta) * std::cos(obliquity) +
                                 std::cos(beta) * std::sin(obliquity) * std::sin(lambda));
}

void EquatorialToHorizontal(TCoor& Body, double /*JD*/, double Lat, double LST) {
    const double hourAngle = LST - Body.RightAsc;
    const double delta = Body.Declination;
    const double y = -std::cos(delta) * std::sin(hourAngle);
    const double x =
        std::sin(delta) * std::cos(Lat) - std::cos(delta) * std::cos(hourAngle) * std::sin(Lat);
    Body.AzimuthAngle = NormAngle(std::atan2(y, x));
    Body.AltitudeAngle = std::asin(std::sin(delta) * std::sin(Lat) +
                                   std::cos(delta) * std::cos(hourAngle) * std::cos(Lat));
    Body.Rising = y >= 0;
}

void ToTopocentric(TCoor& Body, const TCoor& Observer, double LST) {
    const double distance = Body.Distance;
    const double rho = Observer.GeoRadius;
    const double phi = Observer.EclipticLat;
    const double alpha = Body.RightAsc;
    const double delta = Body.Declination;
    const double X =
        distance * std::cos(delta) * std::cos(alpha) - rho * std::cos(phi) * std::cos(LST);
    const double Y =
        distance * std::cos(delta) * std::sin(alpha) - rho * std::cos(phi) * std::sin(LST);
    const double Z = distance * std::sin(delta) - rho * std::sin(phi);
    Body.TopoDistance = std::sqrt(X * X + Y * Y + Z * Z);
    Body.TopoDeclination = std::asin(Z / Body.TopoDistance);
    Body.TopoRightAsc = NormAngle(std::atan2(Y, X));
}

void SphericalToCartesian(TCoor& Body, double Lon, double Lat, double R) {
    Body.X = R * std::cos(Lat) * std::cos(Lon);
    Body.Y = R * std::cos(Lat) * std::sin(Lon);
    Body.Z = R * std::sin(Lat);
}

void ObserverPosition(TCoor& Obs, double Lon, double Lat, double HeightKm, double GSTHours) {
    constexpr double equatorialRadius = 6378.137;    // WGS 84, km
    constexpr double axisRatio = 0.9966471893352525; // polar / equatorial radius
    const double cosPhi = std::cos(Lat);
    const double sinPhi = std::sin(Lat);
    const double C = 1 / std::sqrt(cosPhi * cosPhi + axisRatio * axisRatio * sinPhi * sinPhi);
    const double Rc = equatorialRadius * C + HeightKm;
    const double Rs = equatorialRadius * axisRatio * axisRatio * C + HeightKm;
    const double rho = std::sqrt(Rc * Rc * cosPhi * cosPhi + Rs * Rs * sinPhi * sinPhi);
    // The ratio is at most 1 in exact arithmetic; rounding may pass it by an
    // ulp near the equator, which must not turn the latitude into NaN.
    double geocentricLat = std::acos(std::min(1.0, Rc * cosPhi / rho));
    if (Lat < 0)
        geocentricLat = -geocentricLat;

    Obs = TCoor{};
    SphericalToCartesian(Obs, Lon, geocentricLat, rho);
    const double theta = GSTHours / 24 * TwoPi;
    const double x = Obs.X;
    const double y = Obs.Y;
    Obs.X = x * std::cos(theta) - y * std::sin(theta);
    Obs.Y = x * std::sin(theta) + y * std::cos(theta);
    Obs.GeoRadius = rho;
    Obs.EclipticLon = Lon;
    Obs.EclipticLat = Lat;
}

} // namespace kv::sunmoon
