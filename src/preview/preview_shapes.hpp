// The picture of a run as shapes in drawing coordinates, for any back end that draws it (the SVG
// writer, a painter on a window): what the host will show once the tool has ended, the
// selection and the run side by side.
//
// Everything here is in drawing units with the Y axis up: no fitting to a picture, no pixel
// sizes, no markup. A back end fits the extents of all shapes into its picture, draws the
// elements in list order (the selection under the run) and maps kind and colour to its own
// primitives. Only whole elements are listed: an element any of whose numbers is not finite is
// left out. Texts are the drawing's Shift-JIS bytes as the host stores them; a back end turns
// them into its own characters (MyFunc::Cp932ToUtf8, Cp932ToUtf16) and escapes them for its
// markup.
//
// Sizes follow the host: a text is as high and as wide as its text kind says (paper mm times the
// scale of its layer group), a marker point is as large as the marker extents of the run's
// layout. Arithmetic is long double with stored doubles, as everywhere in Korvane, so that every
// back end gets the same numbers on every target.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dimension/host_request.hpp"
#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"

namespace Preview {

struct ShapePoint {
    double x = 0.0;
    double y = 0.0;
};

enum class ShapeKind {
    Line,      // points[0] to points[1]
    Polyline,  // open, through every point
    Polygon,   // closed; filled in the element's colour when `filled`
    Circle,    // centre points[0], `radius`; filled when `filled`
    // Marks of a fixed size on the picture at points[0], whatever the zoom (the SVG: a dot of
    // radius 2.5 pixels, a cross of arms 4, a diamond of half-diagonal 6).
    Dot,       // a point, filled
    Cross,     // an indicated point, 2 and up
    Diamond,   // the height point, indicated point 1
    Text,      // points[0] is the start of the base line
};

struct Shape {
    ShapeKind kind = ShapeKind::Line;
    std::vector<ShapePoint> points;  // never empty
    double radius = 0.0;             // circles, drawing units
    bool filled = false;
    std::string text;      // Shift-JIS bytes
    double angle = 0.0;    // text direction, degrees counter-clockwise
    double height = 0.0;   // text height, drawing units
    // The horizontal scale of the glyphs, for a font that sets a one-byte character half as
    // wide as it is high and a two-byte one as wide: the text kind's own width and spacing.
    double stretch = 1.0;
    // What the shape covers, for fitting: the ends of a line or path, a circle's bounding box,
    // the four corners of a text; a fixed-size mark covers its point only.
    std::vector<ShapePoint> extent;
};

// What an element stands for: the record of the model it was drawn from.
enum class ElementKind {
    Line,
    Circle,
    Arc,
    Text,
    Point,
    Marker,
    Dimension,       // a dimension figure: its line and its text
    HeightPoint,     // indicated point 1 (selection only)
    IndicatedPoint,  // indicated points 2 and up (selection only)
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ShapeElement {
    ElementKind kind = ElementKind::Line;
    Colour colour;              // stroke, the fill of filled shapes, and text
    std::vector<Shape> shapes;  // one or more, each finite
    std::int32_t markerCode = 0;       // Marker: the marker point's code
    std::int32_t indicatedNumber = 0;  // IndicatedPoint: its number, 2 and up
    ShapePoint anchor;                 // Marker: the marker point
};

// A measuring point of the run on its dimension line, with its position along the line.
struct MeasuringLabel {
    ShapePoint at;
    double along = 0.0;  // from the first measuring point, in the axis direction
    std::string text;    // `along` with at most three decimals, no trailing zeros
};

inline constexpr Colour kLabelColour{0x42, 0x42, 0x42};

// One direction of the run: the way it measures and its measuring points.
struct RunAxis {
    double axisAngle = 0.0;  // the run's direction, degrees: the input's axis, + 90 if vertical
    double textAngle = 0.0;  // the run's value texts: that direction, never upside down
    // The ends of the segments on the dimension line (the most numerous set of segments along
    // the axis with one offset), in the axis direction; none without such segments.
    std::vector<MeasuringLabel> labels;
    // The elements of PreviewShapes::run this direction drew: [firstElement, endElement). Empty
    // for a direction skipped for too few points.
    std::size_t firstElement = 0;
    std::size_t endElement = 0;
};

struct PreviewShapes {
    // The input's entities in file order (muted colours), then its indicated points.
    std::vector<ShapeElement> selection;
    // The command file's entities in file order (strong colours).
    std::vector<ShapeElement> run;
    // One per direction the run was asked for, in drawing order (the horizontal run first).
    std::vector<RunAxis> axes;
};

// The shapes of both models: input as read from the host's exchange file, commands as read
// from the command file with PrepareCommandModel's state. The runs are those the host asked
// for: each direction's labels, marker reach and text angle follow it. `stop`, when given, is
// asked every few thousand entities; once it answers true the shapes come back unfinished (the
// caller throws them away), their axes given. `entitiesPerRun`, where the caller knows it, says
// how many of the command model's entities each direction drew, in drawing order; without it
// every element is the first direction's.
PreviewShapes BuildPreviewShapes(const RidEdaza::DrawingModel& input,
                                 const RidEdaza::DrawingModel& commands,
                                 Dimension::RequestedRuns runs,
                                 const std::function<bool()>& stop = {},
                                 const std::vector<std::size_t>& entitiesPerRun = {});

// The angle the first direction's value texts read at, which a picture turns the run by; 0
// without a run.
double FirstTextAngle(const PreviewShapes& shapes);

// How far the run's marker points reach across one direction's dimension line, drawing units:
// labels go beyond them.
long double MarkerReach(const PreviewShapes& shapes, const RunAxis& axis);

}  // namespace Preview
