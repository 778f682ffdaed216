// Where a picture of the run goes in an area of pixels: the fitting every on-screen back end
// shares (the dialog's strip and its larger window), apart from how it paints.
//
// Each direction of the run is turned by minus its text angle, so that its dimension line lies
// horizontal and its value texts read upright, and fitted into its part of the area with a
// margin: to the part's width, or to its height where the band of its dimension lines, markers,
// texts and leaders is tall. The band is always shown whole; the lines across the dimension line
// (extension lines, leaders) may run off the edge towards far measuring points.
//
// Both directions asked for and both drawn: two parts, side by side or one above the other,
// whichever shows the texts larger. One direction drawn (or one asked for): the whole area.
#pragma once

#include <cstddef>
#include <vector>

#include "preview/preview_shapes.hpp"

namespace Preview {

// In pixels of the 96-DPI design (a back end scales them with its DPI): the room left around
// each picture, and the smallest text height that can be read; a text drawn smaller is shown
// as a light bar of its size instead.
inline constexpr int kPictureMargin = 6;
inline constexpr double kSmallestLegibleText = 7.0;

// Pixels, Y down; right and bottom exclusive.
struct PixelRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// One direction's picture: its part of the area and the mapping of drawing units into it.
struct PictureFrame {
    PixelRect area;                 // nothing of this picture is drawn outside
    std::size_t firstElement = 0;   // the run's elements it shows: [firstElement, endElement)
    std::size_t endElement = 0;
    double textAngle = 0.0;         // its value texts read at this angle; the turn undoes it
    double cosine = 1.0;
    double sine = 0.0;
    double scale = 1.0;             // pixels per drawing unit
    double minX = 0.0;              // the turned drawing's left edge, at pixel `left`
    double maxY = 0.0;              // the turned drawing's top, at pixel `top`
    double left = 0.0;
    double top = 0.0;

    ShapePoint Turned(const ShapePoint& p) const
    {
        return {cosine * p.x - sine * p.y, sine * p.x + cosine * p.y};
    }
    // Pixels (not rounded, not clamped).
    ShapePoint Map(const ShapePoint& p) const
    {
        const ShapePoint t = Turned(p);
        return {left + (t.x - minX) * scale, top + (maxY - t.y) * scale};
    }
};

// One frame per direction drawn, in drawing order; one frame for all elements where the shapes
// say nothing of directions. `margin` in pixels, on every side of each part.
std::vector<PictureFrame> FitPicture(const PreviewShapes& shapes, const PixelRect& area,
                                     double margin);

// A line across its frame's dimension line once turned: an extension line or a leader.
bool RunsAcross(const PictureFrame& frame, const Shape& shape);

}  // namespace Preview
