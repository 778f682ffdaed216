// The drawing's own pieces, shared by the arrangements' files (arrangement_*.cpp): the marked
// lines, markers, segments with their texts, and extension lines every arrangement draws with.
// Only this module's sources and its tests include it.
#pragma once

#include <span>

#include "dimension/layout.hpp"
#include "exchange/command_writer.hpp"

namespace Dimension {

// A line preceded by "z3", which marks it as drawn by this tool.
void MarkedLine(RidEdaza::CommandWriter& writer, const DrawingPoint& a, const DrawingPoint& b);

// A host marker point with the list's index as its code, or a line arrow's two barbs.
void DrawEndMarker(RidEdaza::CommandWriter& writer, const EndMarkerLayout& marker,
                   double markerScale);

// A segment and its value text (or both as one dimension figure); with `leader`, the leader from
// the segment's middle to the text.
void WriteSegmentAndText(const RunStyle& style, const SegmentLayout& segment,
                         const ValueTextLayout* text, bool leader,
                         RidEdaza::CommandWriter& writer);

// The markers of one line: its normal markers when it is wide, else the narrow markers asked for.
void WriteEndMarkers(const RunStyle& style, const SegmentLayout& segment,
                     const IntervalEnds* ends, bool narrowAtN, bool narrowAtP,
                     RidEdaza::CommandWriter& writer);

// A level line's segment, text and markers: first the segment and text, then the markers.
void WriteLevelLine(const RunStyle& style, const LevelLineLayout& line,
                    RidEdaza::CommandWriter& writer);
void WriteLevelLineMarkers(const RunStyle& style, const LevelLineLayout& line,
                           RidEdaza::CommandWriter& writer);

// A plain value text along `direction` (given 10 long).
void WriteText(const RunStyle& style, const ValueTextLayout& text, const DrawingPoint& direction,
               RidEdaza::CommandWriter& writer);

void WriteExtensionLines(std::span<const ExtensionLine> lines, RidEdaza::CommandWriter& writer);

// Each arrangement's drawing, in its own file: the commands between the host's attributes and
// the restoring text kind.
void Draw(const RunStyle& style, const ChainLayout& chain, RidEdaza::CommandWriter& writer);
void Draw(const RunStyle& style, const ChainAndOverallLayout& run,
          RidEdaza::CommandWriter& writer);
void Draw(const RunStyle& style, const ParallelLayout& parallel, RidEdaza::CommandWriter& writer);
void Draw(const RunStyle& style, const CumulativeLayout& cumulative,
          RidEdaza::CommandWriter& writer);

}  // namespace Dimension
