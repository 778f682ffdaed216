// The drawing of one laid-out dimension run: appends its host commands through the writers.
//
// Order of the commands: the host's current attributes; the extension lines; per interval its
// segment and value text (or one dimension figure) and, for a staggered text, its leader; the end
// markers interval by interval; last the host's current text kind again. Every drawn element
// except a dimension figure is preceded by a "z3" line, which marks it as drawn by this tool.
// Status texts and the non-finite check of the writer are the caller's.
#pragma once

#include "dimension/layout.hpp"
#include "dimension/measure_points.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

void DrawDimensionRun(const DimensionRun& run, const MeasurePointList& points,
                      const HeightPoint& heightPoint, const DimensionSettings& settings,
                      const RidEdaza::DrawingState& state, RidEdaza::CommandWriter& writer);

}  // namespace Dimension
