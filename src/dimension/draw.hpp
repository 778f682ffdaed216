// The drawing of one laid-out dimension run: appends its host commands through the writers.
//
// Order of the commands: the host's current attributes; the extension lines; per interval (or
// parallel line) its segment and value text (or one dimension figure) and, for a staggered text,
// its leader; the end markers interval by interval; for 直列＋全体 then the overall's extension
// lines, its segment and text, its markers; last the host's current text kind again. A
// cumulative run draws its one line, each point's text with its leader, the origin symbol and
// the end markers between the extension lines and the text kind. Every drawn element
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

}  // namespace Dimension
