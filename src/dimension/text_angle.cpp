#include "dimension/text_angle.hpp"

#include "common/geometry.hpp"

namespace Dimension {
namespace {

// Above this the value text would read upside down and is turned half round.
constexpr long double kUprightLimit = 90.00000001L;

}  // namespace

double TextAngleOf(double axisAngle)
{
    double a = MyFunc::NormalizeDegrees(axisAngle);
    if (a >= 180.0) a = static_cast<double>(static_cast<long double>(a) - 180.0L);
    if (a > kUprightLimit) a = static_cast<double>(static_cast<long double>(a) + 180.0L);
    return a;
}

}  // namespace Dimension
