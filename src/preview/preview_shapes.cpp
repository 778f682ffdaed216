// The two models as shapes in drawing coordinates: one element per entity, in file order.
#include "preview/preview_shapes.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "common/geometry.hpp"
#include "common/number_text.hpp"
#include "common/trig.hpp"
#include "common/value_format.hpp"
#include "dimension/text_angle.hpp"

namespace Preview {
namespace {

using RidEdaza::DrawingModel;
using RidEdaza::DrawingState;
using RidEdaza::EntityAttributes;
using RidEdaza::EntityKind;
using RidEdaza::TJwwEntText;

using Pt = ShapePoint;

// Marker shapes in paper mm. The run's layout reserves the same room for its markers
// (kMarkerExtents in dimension/layout.cpp); the numbers are written again here on purpose: the
// preview stands in for the host and checks the layout from outside, so a wrong extent in the
// layout shows as a marker that overruns its room instead of being inherited.
constexpr long double kMarkerBase = 1.25L;
constexpr long double kMarkerLength = 7.5L;
constexpr long double kDiagonal = 1.25L * 1.41421356237309504880L;  // "／" and "～"

// The dialog's picture of a very large run can be given up within a few milliseconds.
constexpr std::size_t kEntitiesBetweenStops = 4096;

bool IsFinite(Pt p) { return std::isfinite(p.x) && std::isfinite(p.y); }

struct Palette {
    Colour line;
    Colour text;
    Colour marker;
    Colour dimension;
};

constexpr Palette kSelectionPalette{
    {0xa3, 0xa3, 0xa3}, {0x8f, 0x8f, 0x8f}, {0xa3, 0xa3, 0xa3}, {0xa3, 0xa3, 0xa3}};
constexpr Palette kRunPalette{
    {0x15, 0x65, 0xc0}, {0xc6, 0x28, 0x28}, {0x2e, 0x7d, 0x32}, {0x6a, 0x1b, 0x9a}};
constexpr Colour kHeightPointColour{0xef, 0x6c, 0x00};

double LayerScale(const DrawingState& state, const EntityAttributes& attributes)
{
    return state.layerGroupScale[static_cast<std::size_t>(attributes.layerGroup & 15)];
}

// The point at (u, v) of a frame at origin turned by (c, s), all in long double, stored.
Pt Turned(Pt origin, long double c, long double s, long double u, long double v)
{
    return {static_cast<double>(origin.x + (u * c - v * s)),
            static_cast<double>(origin.y + (u * s + v * c))};
}

Shape LineShape(Pt a, Pt b)
{
    Shape shape;
    shape.kind = ShapeKind::Line;
    shape.points = {a, b};
    shape.extent = shape.points;
    return shape;
}

Shape PathShape(ShapeKind kind, std::vector<Pt> points, bool filled)
{
    Shape shape;
    shape.kind = kind;
    shape.points = std::move(points);
    shape.filled = filled;
    shape.extent = shape.points;
    return shape;
}

Shape CircleShape(Pt centre, long double radius, bool filled)
{
    Shape shape;
    shape.kind = ShapeKind::Circle;
    shape.points = {centre};
    shape.radius = static_cast<double>(std::fabs(radius));
    shape.filled = filled;
    const long double r = shape.radius;
    shape.extent = {{static_cast<double>(centre.x - r), static_cast<double>(centre.y - r)},
                    {static_cast<double>(centre.x + r), static_cast<double>(centre.y + r)}};
    return shape;
}

// A mark of a fixed size on the picture (points, indicated points).
Shape PixelMark(ShapeKind kind, Pt at)
{
    Shape shape;
    shape.kind = kind;
    shape.points = {at};
    shape.extent = shape.points;
    return shape;
}

bool ShapeIsFinite(const Shape& shape)
{
    for (const Pt& p : shape.points) {
        if (!IsFinite(p)) return false;
    }
    for (const Pt& p : shape.extent) {
        if (!IsFinite(p)) return false;
    }
    return std::isfinite(shape.radius) && std::isfinite(shape.angle) &&
           std::isfinite(shape.height) && std::isfinite(shape.stretch);
}

// A text as the host sets it: the anchor is the start of its base line, the glyphs are as high
// as the text kind and the line as long as the kind's widths and spacings make it.
Shape TextShape(const TJwwEntText& text, double layerScale)
{
    const long double scale = layerScale;
    const double height = static_cast<double>(std::fabs(text.height * scale));
    const double width = static_cast<double>(text.width * scale);
    const double spacing = static_cast<double>(text.spacing * scale);
    const double length = std::fabs(MyFunc::MeasureTextWidth(text.text, width, spacing));
    const double ems = MyFunc::MeasureTextWidth(text.text, 1.0, 0.0);

    Shape shape;
    shape.kind = ShapeKind::Text;
    const Pt anchor{text.x, text.y};
    shape.points = {anchor};
    shape.text = text.text;
    shape.height = height;
    // The picture's font sets a one-byte character half as wide as it is high, a two-byte one
    // as wide; the glyphs are stretched to the kind's own width and spacing.
    const long double natural = static_cast<long double>(ems) * height;
    if (natural > 0.0L) {
        shape.stretch = std::clamp(static_cast<double>(length / natural), 0.01, 100.0);
    }
    long double radians = 0.0L;
    if (text.dirX != 0.0 || text.dirY != 0.0) radians = MyFunc::Atan2(text.dirY, text.dirX);
    shape.angle = static_cast<double>(radians * 180.0L / MyFunc::kPi);
    const long double c = MyFunc::Cos(radians);
    const long double s = MyFunc::Sin(radians);
    shape.extent = {anchor, Turned(anchor, c, s, length, 0.0L), Turned(anchor, c, s, 0.0L, height),
                    Turned(anchor, c, s, length, height)};
    return shape;
}

// A marker point drawn as the shape its code names, pointing along its angle: the triangles and
// "＞" have their tip at the point and open against the direction, as end markers of a run do.
std::vector<Shape> MarkerShapes(Pt at, double markerScale, double markerAngle,
                                std::int32_t code, double layerScale)
{
    // The writer turns a vanishing scale into 1; the host gets nothing smaller.
    const long double scale = std::fabs(markerScale) <= 1e-8 ? 1.0L : std::fabs(markerScale);
    const long double unit = scale * layerScale;
    const double radians = MyFunc::DegreesToRadians(markerAngle);
    const long double c = MyFunc::Cos(radians);
    const long double s = MyFunc::Sin(radians);
    auto local = [&](long double u, long double v) { return Turned(at, c, s, u * unit, v * unit); };

    switch (code) {
    case 1:   // △
    case 6:   // ▲
    case 11:  // △
        return {PathShape(ShapeKind::Polygon,
                          {local(0, 0), local(-kMarkerLength, kMarkerBase),
                           local(-kMarkerLength, -kMarkerBase)},
                          code == 6)};
    case 2:  // □
    case 5:  // ■
        return {PathShape(ShapeKind::Polygon,
                          {local(-kMarkerBase, -kMarkerBase), local(kMarkerBase, -kMarkerBase),
                           local(kMarkerBase, kMarkerBase), local(-kMarkerBase, kMarkerBase)},
                          code == 5)};
    case 3:  // Ｏ
    case 4:  // ○
    case 7:  // ●
        return {CircleShape(at, kMarkerBase * unit, code == 7)};
    case 8: {  // ～: one wave along the same diagonal as "／"
        std::vector<Pt> wave;
        constexpr int kSteps = 16;
        constexpr long double kAmplitude = 0.45L;
        for (int i = 0; i <= kSteps; ++i) {
            const long double t = -1.0L + 2.0L * i / kSteps;
            const long double offset =
                kAmplitude * MyFunc::Sin(MyFunc::kPi * t) / 1.41421356237309504880L;
            wave.push_back(local(t * kDiagonal - offset, t * kDiagonal + offset));
        }
        return {PathShape(ShapeKind::Polyline, std::move(wave), false)};
    }
    case 9:  // ＞
        return {PathShape(ShapeKind::Polyline,
                          {local(-kMarkerLength, kMarkerBase), local(0, 0),
                           local(-kMarkerLength, -kMarkerBase)},
                          false)};
    case 10:  // ／
        return {LineShape(local(-kDiagonal, -kDiagonal), local(kDiagonal, kDiagonal))};
    default: {  // the host's other symbols: a small cross
        constexpr long double kArm = 0.9L;
        return {LineShape(local(-kArm, -kArm), local(kArm, kArm)),
                LineShape(local(-kArm, kArm), local(kArm, -kArm))};
    }
    }
}

// The largest span, in degrees, of an arc the picture draws as the whole curve. A double, compared
// with the span stored as a double: at a span of exactly this double (a hair above 1e-10) the
// arc is drawn closed, where the extended MyFunc::kTolerance would draw a sliver.
constexpr double kClosedArcSpan = 1e-10;

// An arc of a circle or ellipse as a polyline, counter-clockwise from its start to its end; a
// closed arc is the whole curve.
std::vector<Pt> ArcPoints(const RidEdaza::TJwwEntArc& arc)
{
    double span = MyFunc::NormalizeDegrees(static_cast<double>(
        static_cast<long double>(arc.endAngle) - arc.startAngle));
    if (!std::isfinite(span)) return {};
    if (span <= kClosedArcSpan) span = 360.0;
    const int steps = std::max(4, static_cast<int>(std::ceil(span / 5.0)));
    std::vector<Pt> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double phi =
            static_cast<double>(arc.startAngle + static_cast<long double>(span) * i / steps);
        Pt p;
        MyFunc::EllipsePointDeg(arc.centreX, arc.centreY, arc.radius, arc.flatness, arc.tiltAngle,
                                phi, p.x, p.y);
        points.push_back(p);
    }
    return points;
}

class ElementBuilder {
public:
    explicit ElementBuilder(std::vector<ShapeElement>& elements) : elements_(elements) {}

    // The element as the last of the list; none when a shape has no point or is not finite.
    ShapeElement* Add(ElementKind kind, Colour colour, std::vector<Shape> shapes)
    {
        if (shapes.empty()) return nullptr;
        for (const Shape& shape : shapes) {
            // Drawn whole or not at all.
            if (shape.points.empty() || !ShapeIsFinite(shape)) return nullptr;
        }
        ShapeElement element;
        element.kind = kind;
        element.colour = colour;
        element.shapes = std::move(shapes);
        elements_.push_back(std::move(element));
        return &elements_.back();
    }

    // Every entity of the model in file order, in the palette's colours. False when `stop`
    // answered true: the list then ends early.
    // `marks` (ascending entity indices) get the number of elements listed before that entity.
    bool AddEntities(const DrawingModel& model, const Palette& palette,
                     const std::function<bool()>& stop = {},
                     std::vector<std::size_t>* marks = nullptr)
    {
        const DrawingState& state = model.state;
        std::size_t added = 0;
        std::size_t nextMark = 0;
        const auto markUpTo = [&](std::size_t entity) {
            for (; marks && nextMark < marks->size() && (*marks)[nextMark] <= entity; ++nextMark) {
                (*marks)[nextMark] = elements_.size();
            }
        };
        for (const RidEdaza::EntityOrderEntry& entry : model.order) {
            markUpTo(added++);
            if (stop && (added % kEntitiesBetweenStops) == 0 && stop()) return false;
            const auto at = static_cast<std::size_t>(entry.position);
            switch (entry.kind) {
            case EntityKind::Line:
                if (at < model.lines.size()) {
                    const auto& r = model.lines[at];
                    Add(ElementKind::Line, palette.line, {LineShape({r.x1, r.y1}, {r.x2, r.y2})});
                }
                break;
            case EntityKind::Circle:
                if (at < model.circles.size()) {
                    const auto& r = model.circles[at];
                    Add(ElementKind::Circle, palette.line,
                        {CircleShape({r.centreX, r.centreY}, r.radius, false)});
                }
                break;
            case EntityKind::Arc:
                if (at < model.arcs.size()) {
                    Add(ElementKind::Arc, palette.line,
                        {PathShape(ShapeKind::Polyline, ArcPoints(model.arcs[at]), false)});
                }
                break;
            case EntityKind::Text:
                if (at < model.texts.size()) {
                    const auto& r = model.texts[at];
                    Add(ElementKind::Text, palette.text,
                        {TextShape(r, LayerScale(state, r.attributes))});
                }
                break;
            case EntityKind::Point:
                if (at < model.points.size()) {
                    const auto& r = model.points[at];
                    Add(ElementKind::Point, palette.marker,
                        {PixelMark(ShapeKind::Dot, {r.x, r.y})});
                }
                break;
            case EntityKind::MarkerPoint:
                if (at < model.markerPoints.size()) {
                    AddMarker(model.markerPoints[at], state, palette);
                }
                break;
            case EntityKind::Dimension:
                if (at < model.dimensions.size()) {
                    const auto& r = model.dimensions[at];
                    Add(ElementKind::Dimension, palette.dimension,
                        {LineShape({r.line.x1, r.line.y1}, {r.line.x2, r.line.y2}),
                         TextShape(r.text, LayerScale(state, r.text.attributes))});
                }
                break;
            default:
                break;  // blocks and the "s" records are not part of a selection to dimension
            }
        }
        markUpTo(SIZE_MAX);
        return true;
    }

    // The indicated points: the height point stands out, the others are crosses.
    void AddIndicatedPoints(const DrawingState& state)
    {
        for (std::size_t i = 1; i < state.indicatedPoints.size(); ++i) {
            const RidEdaza::IndicatedPoint& p = state.indicatedPoints[i];
            if (!p.present) continue;
            if (i == 1) {
                Add(ElementKind::HeightPoint, kHeightPointColour,
                    {PixelMark(ShapeKind::Diamond, {p.x, p.y})});
            } else if (ShapeElement* element =
                           Add(ElementKind::IndicatedPoint, kSelectionPalette.marker,
                               {PixelMark(ShapeKind::Cross, {p.x, p.y})})) {
                element->indicatedNumber = static_cast<std::int32_t>(i);
            }
        }
    }

private:
    void AddMarker(const RidEdaza::TJwwEntMarkerPoint& r, const DrawingState& state,
                   const Palette& palette)
    {
        ShapeElement* element =
            Add(ElementKind::Marker, palette.marker,
                MarkerShapes({r.x, r.y}, r.markerScale, r.markerAngle, r.markerCode,
                             LayerScale(state, r.attributes)));
        if (element == nullptr) return;
        element->markerCode = r.markerCode;
        element->anchor = {r.x, r.y};
    }

    std::vector<ShapeElement>& elements_;
};

// A label's number: at most three decimals, no trailing zeros.
std::string LabelNumber(double v)
{
    if (!std::isfinite(v)) return "?";
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
    if (error != std::errc()) return MyFunc::GeneralNumberText(v);
    std::string text(buffer, end);
    MyFunc::DropTrailingZeros(text);
    if (text == "-0") text = "0";
    return text;
}

// A segment of the run along the axis: its offset across the axis and its ends along it.
struct AxisSegment {
    long double offset;
    long double t1;
    long double t2;
};

// The run's measuring points: the ends of the segments that lie on the dimension line, i.e. of
// the most numerous set of lines parallel to the axis with one offset.
std::vector<MeasuringLabel> FindMeasuringLabels(const DrawingModel& commands, double axisAngle)
{
    const double radians = MyFunc::DegreesToRadians(axisAngle);
    const long double c = MyFunc::Cos(radians);
    const long double s = MyFunc::Sin(radians);

    std::vector<AxisSegment> segments;
    long double magnitude = 1.0L;
    auto consider = [&](double x1, double y1, double x2, double y2) {
        const long double dx = static_cast<long double>(x2) - x1;
        const long double dy = static_cast<long double>(y2) - y1;
        const long double length = std::sqrt(dx * dx + dy * dy);
        if (!std::isfinite(length) || length == 0.0L) return;
        if (std::fabs(dx * s - dy * c) > 1e-9L * length) return;  // not along the axis
        const AxisSegment segment{y1 * c - x1 * s, x1 * c + y1 * s, x2 * c + y2 * s};
        if (!std::isfinite(segment.offset) || !std::isfinite(segment.t1) ||
            !std::isfinite(segment.t2)) {
            return;
        }
        magnitude = std::max({magnitude, std::fabs(segment.offset), std::fabs(segment.t1),
                              std::fabs(segment.t2)});
        segments.push_back(segment);
    };
    for (const auto& line : commands.lines) consider(line.x1, line.y1, line.x2, line.y2);
    for (const auto& d : commands.dimensions) consider(d.line.x1, d.line.y1, d.line.x2, d.line.y2);
    if (segments.empty()) return {};

    const long double tolerance = 1e-9L * magnitude;
    auto byOffset = [](const AxisSegment& a, const AxisSegment& b) { return a.offset < b.offset; };
    std::stable_sort(segments.begin(), segments.end(), byOffset);
    std::size_t bestStart = 0;
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < segments.size();) {
        std::size_t j = i + 1;
        while (j < segments.size() && segments[j].offset - segments[i].offset <= tolerance) ++j;
        if (j - i > bestCount) {
            bestStart = i;
            bestCount = j - i;
        }
        i = j;
    }

    std::vector<long double> ts;
    for (std::size_t i = bestStart; i < bestStart + bestCount; ++i) {
        ts.push_back(segments[i].t1);
        ts.push_back(segments[i].t2);
    }
    std::sort(ts.begin(), ts.end());
    const long double offset = segments[bestStart].offset;
    std::vector<MeasuringLabel> labels;
    long double previous = 0.0L;
    for (const long double t : ts) {
        if (!labels.empty() && t - previous <= tolerance) continue;
        previous = t;
        MeasuringLabel label;
        label.at = {static_cast<double>(t * c - offset * s),
                    static_cast<double>(t * s + offset * c)};
        label.along = static_cast<double>(t - ts.front());
        label.text = LabelNumber(label.along);
        labels.push_back(std::move(label));
    }
    return labels;
}

}  // namespace

PreviewShapes BuildPreviewShapes(const DrawingModel& input, const DrawingModel& commands,
                                 Dimension::RequestedRuns runs,
                                 const std::function<bool()>& stop,
                                 const std::vector<std::size_t>& entitiesPerRun)
{
    PreviewShapes shapes;
    for (const Dimension::RunDirection direction : Dimension::DirectionsOf(runs)) {
        RunAxis& axis = shapes.axes.emplace_back();
        axis.axisAngle = Dimension::DimensionAngle(input.state, direction);
        axis.textAngle = Dimension::TextAngleOf(axis.axisAngle);
    }
    ElementBuilder selection(shapes.selection);
    if (!selection.AddEntities(input, kSelectionPalette, stop)) return shapes;
    selection.AddIndicatedPoints(input.state);
    // Where each direction's entities begin and end; without the counts, all are the first's.
    std::vector<std::size_t> bounds{0};
    for (std::size_t i = 0; i < shapes.axes.size(); ++i) {
        std::size_t end = bounds.back();  // a later direction without a count has none
        if (i < entitiesPerRun.size()) end = bounds.back() + entitiesPerRun[i];
        else if (i == 0) end = SIZE_MAX;  // all of them
        bounds.push_back(end);
    }
    if (!ElementBuilder(shapes.run).AddEntities(commands, kRunPalette, stop, &bounds)) {
        return shapes;
    }
    for (std::size_t i = 0; i < shapes.axes.size(); ++i) {
        shapes.axes[i].firstElement = bounds[i];
        shapes.axes[i].endElement = bounds[i + 1];
    }
    // Each direction's dimension line is the most numerous set of segments along its own axis:
    // the other run's segments cross that axis.
    for (RunAxis& axis : shapes.axes) axis.labels = FindMeasuringLabels(commands, axis.axisAngle);
    return shapes;
}

double FirstTextAngle(const PreviewShapes& shapes)
{
    return shapes.axes.empty() ? 0.0 : shapes.axes.front().textAngle;
}

long double MarkerReach(const PreviewShapes& shapes, const RunAxis& axis)
{
    const double radians = MyFunc::DegreesToRadians(axis.axisAngle);
    const long double nx = -MyFunc::Sin(radians);
    const long double ny = MyFunc::Cos(radians);
    long double reach = 0.0L;
    for (const ShapeElement& element : shapes.run) {
        if (element.kind != ElementKind::Marker) continue;
        for (const Shape& shape : element.shapes) {
            long double extra = 0.0L;
            const std::vector<Pt>* points = &shape.extent;
            if (shape.kind == ShapeKind::Circle) {
                extra = shape.radius;
                points = &shape.points;
            }
            for (const Pt& p : *points) {
                const long double across =
                    std::fabs((p.x - element.anchor.x) * nx + (p.y - element.anchor.y) * ny);
                reach = std::max(reach, across + extra);
            }
        }
    }
    return reach;
}

}  // namespace Preview
