// The direction of a run's value texts, shared by the layout and by the preview that draws its
// labels on the side away from them.
#pragma once

namespace Dimension {

// The axis angle (degrees) as a text direction that never reads upside down: normalised and
// taken modulo half a turn, then, when that is above 90 degrees by more than 1e-8, turned half
// round into (270, 360). A vertical axis keeps its texts reading upwards. Each step is stored.
double TextAngleOf(double axisAngle);

}  // namespace Dimension
