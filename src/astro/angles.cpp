#include "astro/angles.h"

#include <cmath>

namespace kv::sunmoon {

double Modulo(double X, double M) {
    return X - M * std::floor(X / M);
}

double NormAngle(double X) {
    return Modulo(X, TwoPi);
}

} // namespace kv::sunmoon
