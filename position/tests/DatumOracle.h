// An independent reckoning of the WGS84 to Bessel datum change used in Korea, for tests: the
// WGS84 position goes to earth-centred coordinates, is moved by the three-parameter shift
// (X +128 m, Y -481 m, Z -664 m) and comes back on the Bessel 1841 ellipsoid by iteration. The
// decoders use the Molodensky approximation instead; the two agree to well under a metre here.
#pragma once

#include <cmath>

namespace datumoracle {

struct Geodetic {
    double latitude;  // degrees
    double longitude; // degrees
    double height;    // metres
};

inline void ToEcef(const Geodetic& g, double a, double f, double& x, double& y, double& z) {
    const double pi = 3.14159265358979323846;
    const double e2 = f * (2.0 - f);
    const double phi = g.latitude * pi / 180.0, lambda = g.longitude * pi / 180.0;
    const double n = a / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
    x = (n + g.height) * std::cos(phi) * std::cos(lambda);
    y = (n + g.height) * std::cos(phi) * std::sin(lambda);
    z = (n * (1.0 - e2) + g.height) * std::sin(phi);
}

inline Geodetic FromEcef(double x, double y, double z, double a, double f) {
    const double pi = 3.14159265358979323846;
    const double e2 = f * (2.0 - f);
    const double p = std::hypot(x, y);
    double phi = std::atan2(z, p * (1.0 - e2)), h = 0.0;
    for (int i = 0; i < 30; ++i) {
        const double n = a / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
        h = p / std::cos(phi) - n;
        phi = std::atan2(z, p * (1.0 - e2 * n / (n + h)));
    }
    return {phi * 180.0 / pi, std::atan2(y, x) * 180.0 / pi, h};
}

inline Geodetic WgsToBessel(const Geodetic& wgs) {
    double x, y, z;
    ToEcef(wgs, 6378137.0, 1.0 / 298.257223563, x, y, z);
    return FromEcef(x + 128.0, y - 481.0, z - 664.0, 6377397.155, 1.0 / 299.1528128);
}

} // namespace datumoracle
