// Geometry helpers of the dimensioning command (see geometry.hpp).
//
// Every intermediate is a long double; a cast to double marks a stored result. The grouping of
// the expressions is part of the behaviour: regrouping changes the last bits of the points.
#include "common/geometry.hpp"

#include <cmath>
#include <utility>

#include "common/text.hpp"
#include "common/trig.hpp"

namespace MyFunc {

namespace {

constexpr long double kTwoPi = 2.0L * kPi;  // doubling is exact

}  // namespace

double DegreesToRadians(double degrees)
{
    return static_cast<double>(static_cast<long double>(degrees) / 180.0L * kPi);
}

void ExchangeValues(double& a, double& b)
{
    std::swap(a, b);
}

double RoundToResolution(double x)
{
    const long double scaled = std::fabs(static_cast<long double>(x)) / kTolerance + 0.5L;
    const double m = static_cast<double>(std::trunc(scaled) * kTolerance);
    return x < 0.0 ? -m : m;
}

double VectorAngle(double dx, double dy)
{
    if (std::fabs(static_cast<long double>(dx)) < kTolerance &&
        std::fabs(static_cast<long double>(dy)) < kTolerance) {
        return 0.0;
    }
    double a = static_cast<double>(Atan2(dy, dx));
    if (a < 0.0) {
        a = static_cast<double>(a + kTwoPi);
    }
    return a;
}

double VectorAngleDeg(double dx, double dy)
{
    const double degrees =
        static_cast<double>(static_cast<long double>(VectorAngle(dx, dy)) * 180.0L / kPi);
    return RoundToResolution(degrees);
}

double NormalizeDegrees(double a)
{
    double m = std::fabs(a);
    if (m >= 360.0) {
        const long double turns = std::trunc(static_cast<long double>(m) / 360.0L);
        m = static_cast<double>(m - turns * 360.0L);
    }
    if (a < 0.0) {
        m = -m;
    }
    if (m < 0.0) {
        m = static_cast<double>(m + 360.0L);
    }
    if (m >= 360.0) {
        m = static_cast<double>(m - 360.0L);
    }
    return m;
}

Rotation RotationOf(double theta) { return {Cos(theta), Sin(theta)}; }

Rotation RotationOfDeg(double thetaDeg) { return RotationOf(DegreesToRadians(thetaDeg)); }

void RotatePoint(double x, double y, double cx, double cy, double theta, double& outX, double& outY)
{
    RotatePoint(x, y, cx, cy, RotationOf(theta), outX, outY);
}

void RotatePointDeg(double x, double y, double cx, double cy, double thetaDeg, double& outX,
                    double& outY)
{
    RotatePoint(x, y, cx, cy, DegreesToRadians(thetaDeg), outX, outY);
}

void EllipsePoint(double cx, double cy, double r, double k, double tau, double phi, double& outX,
                  double& outY)
{
    EllipsePoint(cx, cy, r, k, RotationOf(tau), RotationOf(phi), outX, outY);
}

void EllipsePoint(double cx, double cy, double r, double k, const Rotation& tilt,
                  const Rotation& at, double& outX, double& outY)
{
    const double u = static_cast<double>(at.c * r);
    const double v = static_cast<double>(at.s * (static_cast<long double>(r) * k));
    double x = 0.0;
    double y = 0.0;
    RotatePoint(u, v, 0.0, 0.0, tilt, x, y);
    outX = static_cast<double>(x + static_cast<long double>(cx));
    outY = static_cast<double>(y + static_cast<long double>(cy));
}

void EllipsePointDeg(double cx, double cy, double r, double k, double tauDeg, double phiDeg,
                     double& outX, double& outY)
{
    EllipsePoint(cx, cy, r, k, DegreesToRadians(tauDeg), DegreesToRadians(phiDeg), outX, outY);
}

double MeasureTextWidth(std::string_view text, double w, double g)
{
    double width = 0.0;
    std::size_t i = 0;  // 0-based: "more bytes follow" is i < size
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b)) {
            // A lead byte at the very end still counts as a whole two-byte character.
            width += w;
            i += 2;
            if (i < text.size()) {
                width += g;
            }
        } else {
            if (b >= 0x20) {
                width += w / 2.0;
            }
            i += 1;
            if (i < text.size()) {
                width += g / 2.0;
            }
        }
    }
    return width;
}

double PointDistance(double x1, double y1, double x2, double y2)
{
    const long double dx = static_cast<long double>(x2) - x1;
    const long double dy = static_cast<long double>(y2) - y1;
    return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

}  // namespace MyFunc
