// Geometry helpers of the dimensioning command.
//
// Intermediates are computed in 80-bit long double and rounded to double where a result is
// stored; which of two nearly equal points survives and whether a direction reads 0 or 360
// depend on exactly where that happens. Angles are counter-clockwise from the X axis. Degrees are
// converted as d / 180 * pi in extended precision and stored as a double before any sine or
// cosine is taken. Sines and cosines are the portable ones of common/trig.hpp, never the C
// library's, so that every target writes the same bytes.
#pragma once

#include <string_view>

namespace MyFunc {

// 1e-10 and pi as extended-precision constants.
inline constexpr long double kTolerance = 1e-10L;
inline constexpr long double kPi = 3.14159265358979323846264338327950288L;

// degrees -> radians: d / 180 * pi in extended precision, stored.
double DegreesToRadians(double degrees);

void ExchangeValues(double& a, double& b);

// x snapped to the nearest multiple of 1e-10, ties away from zero; 0 and -0 give +0.
double RoundToResolution(double x);

// Direction of (dx, dy) in radians, 0 <= a < 2 pi (2 pi itself can appear through rounding);
// 0 for a vector shorter than 1e-10 in both components.
double VectorAngle(double dx, double dy);

// Direction in degrees snapped to 1e-10, 0 <= a <= 360.
double VectorAngleDeg(double dx, double dy);

// The same angle in 0 <= a < 360 (a negative whole multiple of 360 gives -0).
double NormalizeDegrees(double a);

// The cosine and sine of one turn, taken once for many points. Turning with them gives the
// very bits that turning by the angle gives: the angle's sine and cosine are only taken once.
struct Rotation {
    long double c = 1.0L;
    long double s = 0.0L;
};
Rotation RotationOf(double theta);
Rotation RotationOfDeg(double thetaDeg);  // theta converted from degrees first

// (x, y) turned about (cx, cy) by theta.
void RotatePoint(double x, double y, double cx, double cy, double theta, double& outX, double& outY);
// Inline: the acquisition turns every point of a selection with one rotation.
inline void RotatePoint(double x, double y, double cx, double cy, const Rotation& turn,
                        double& outX, double& outY)
{
    const long double c = turn.c;
    const long double s = turn.s;
    const long double dx = static_cast<long double>(x) - cx;
    const long double dy = static_cast<long double>(y) - cy;
    outX = static_cast<double>((c * dx + cx) - s * dy);
    outY = static_cast<double>((s * dx + cy) + c * dy);
}
void RotatePointDeg(double x, double y, double cx, double cy, double thetaDeg, double& outX,
                    double& outY);

// Point at parameter angle phi of the ellipse with centre (cx, cy), radius r along its own X
// axis, r * k across it, its axis tilted by tau.
void EllipsePoint(double cx, double cy, double r, double k, double tau, double phi, double& outX,
                  double& outY);
// The same point, the same bits, with the sines and cosines of tau and phi taken already.
void EllipsePoint(double cx, double cy, double r, double k, const Rotation& tilt,
                  const Rotation& at, double& outX, double& outY);
void EllipsePointDeg(double cx, double cy, double r, double k, double tauDeg, double phiDeg,
                     double& outX, double& outY);

// Width of a Shift-JIS text line: w per two-byte character, w / 2 per one-byte character of
// 0x20 or above, plus the gap g (g / 2 after a one-byte character) between characters.
double MeasureTextWidth(std::string_view text, double w, double g);

// sqrt((x2 - x1)^2 + (y2 - y1)^2), in extended precision, stored.
double PointDistance(double x1, double y1, double x2, double y2);

}  // namespace MyFunc
