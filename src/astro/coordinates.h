#pragma once

#include "astro/sunmoon_types.h"

namespace kv::sunmoon {

// Fills RightAsc and Declination from EclipticLat and EclipticLon, with the
// obliquity of the ecliptic at JD.
void EclipticToEquatorial(TCoor& Body, double JD);

// Fills AzimuthAngle, AltitudeAngle (no refraction) and Rising from RightAsc
// and Declination for a latitude and a local sidereal time in radians. JD is
// not used; it is kept so that all conversions take the moment.
void EquatorialToHorizontal(TCoor& Body, double JD, double Lat, double LST);

// Fills TopoDistance, TopoDeclination and TopoRightAsc: the body's place seen
// from the observer (its GeoRadius and geodetic latitude) at a local sidereal
// time in radians.
void ToTopocentric(TCoor& Body, const TCoor& Observer, double LST);

// Fills X, Y, Z from spherical coordinates.
void SphericalToCartesian(TCoor& Body, double Lon, double Lat, double R);

// Replaces Obs by the observer at an east longitude and geodetic latitude
// (radians) and a height above the WGS 84 ellipsoid (km), with X, Y, Z turned
// by the Greenwich sidereal time in hours.
void ObserverPosition(TCoor& Obs, double Lon, double Lat, double HeightKm, double GSTHours);

} // namespace kv::sunmoon
