#pragma once

namespace kv::sunmoon {

inline constexpr double Pi = 3.141592653589793;
inline constexpr double TwoPi = 6.283185307179586;
inline constexpr double DegToRad = 0.017453292519943295; // π/180
inline constexpr double RadToDeg = 57.29577951308232;    // 180/π
inline constexpr double RadToHours = 3.819718634205488;  // 12/π

// X − M·⌊X/M⌋: for M > 0 the result lies in [0, M] (M itself only through
// rounding of a tiny negative X).
double Modulo(double X, double M);

// Modulo(X, 2π).
double NormAngle(double X);

} // namespace kv::sunmoon
