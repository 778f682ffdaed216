// The drawing of one laid-out dimension run: appends its host commands through the writers.
//
// Order of the commands: the host's current attributes; then the arrangement's own commands, as
// its file draws them (arrangement_*.cpp); last the host's current text kind again. The chain:
// the extension lines; per interval its segment and value text (or one dimension figure) and,
// for a staggered text, its leader; the end markers interval by interval. 直列＋全体 adds the
// overall's extension lines, its segment and text, its markers. 並列: the extension lines, each
// line with its text, then each line's markers. 累進: the extension lines, its one line, each
// point's text with its leader, the origin symbol and the end markers. Every drawn element
// except a dimension figure is preceded by a "z3" line, which marks it as drawn by this tool.
// Every coordinate comes from the layout record: the drawing decides nothing but the order.
// Status texts and the non-finite check of the writer are the caller's.
#pragma once

#include "dimension/layout.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

// `state` gives the host's current attributes, which the run is drawn with and restores.
void DrawDimensionRun(const DimensionRun& run, const RidEdaza::DrawingState& state,
                      RidEdaza::CommandWriter& writer);

// The run's commands without the closing text kind: a command that draws the runs of both
// directions writes one after the other into the same writer, then restores the text kind once.
void DrawDimensionRunBody(const DimensionRun& run, const RidEdaza::DrawingState& state,
                          RidEdaza::CommandWriter& writer);

// The host's current text kind again, when the writer's cache says it is not in force.
void RestoreHostTextKind(const RidEdaza::DrawingState& state, RidEdaza::CommandWriter& writer);

}  // namespace Dimension
