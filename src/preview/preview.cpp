// The picture of a run: the two models become shapes in drawing coordinates, the shapes are
// fitted into the picture, and the picture is written as SVG in pixel coordinates (Y down).
//
// Sizes follow the host: a text is as high and as wide as its text kind says (paper mm times the
// scale of its layer group), a marker point is as large as the marker extents of the run's
// layout. Arithmetic is long double with stored doubles, as everywhere in Korvane, so that the
// SVG text is the same on every target.
#include "preview/preview.hpp"

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
#include "exchange/exchange_reader.hpp"

namespace Preview {
namespace {

using RidEdaza::DrawingModel;
using RidEdaza::DrawingState;
using RidEdaza::EntityAttributes;
using RidEdaza::EntityKind;
using RidEdaza::TJwwEntText;

// Picture size: the drawing fills at most this box, with the margin around it.
constexpr long double kMaxContentWidth = 1120.0L;
constexpr long double kMaxContentHeight = 800.0L;
constexpr long double kMargin = 40.0L;
constexpr long double kMinPictureSize = 240.0L;
// Pixel coordinates are kept within this range so that no number grows without bound.
constexpr double kPixelLimit = 1e7;

// Marker shapes in paper mm, as the run's layout reserves room for them.
constexpr long double kMarkerBase = 1.25L;
constexpr long double kMarkerLength = 7.5L;
constexpr long double kDiagonal = 1.25L * 1.41421356237309504880L;  // "／" and "～"

struct Pt {
    double x = 0.0;
    double y = 0.0;
};

bool IsFinite(Pt p) { return std::isfinite(p.x) && std::isfinite(p.y); }

enum class ShapeKind { Line, Polyline, Polygon, Circle, Dot, Cross, Diamond, Text };

struct Shape {
    ShapeKind kind = ShapeKind::Line;
    std::vector<Pt> points;  // the anchor of a text, the centre of a circle, dot, cross, diamond
    double radius = 0.0;     // circles, drawing units
    bool filled = false;
    std::string text;        // UTF-8, escaped
    double angle = 0.0;      // text direction, degrees counter-clockwise
    double height = 0.0;     // text height, drawing units
    double stretch = 1.0;    // horizontal scale of the glyphs to the text kind's width
    std::vector<Pt> extent;  // what the shape covers, for fitting
};

struct Element {
    std::string cls;
    std::string attributes;  // extra attributes, written as they are
    const char* colour = "#000000";
    std::vector<Shape> shapes;
    bool marker = false;  // a marker point at anchor
    Pt anchor;
};

struct Palette {
    const char* prefix;
    const char* line;
    const char* text;
    const char* marker;
    const char* dimension;
};

constexpr Palette kSelectionPalette{"sel", "#a3a3a3", "#8f8f8f", "#a3a3a3", "#a3a3a3"};
constexpr Palette kRunPalette{"run", "#1565c0", "#c62828", "#2e7d32", "#6a1b9a"};
constexpr const char* kHeightPointColour = "#ef6c00";
constexpr const char* kLabelColour = "#424242";

std::string EscapeXml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A number in the SVG: at most `decimals` decimals, no trailing zeros, never "-0".
std::string Number(long double value, int decimals)
{
    double v = static_cast<double>(value);
    if (!std::isfinite(v)) v = 0.0;
    v = std::clamp(v, -kPixelLimit, kPixelLimit);
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "0";
    std::string text(buffer, end);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

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
    shape.text = EscapeXml(Utf8FromShiftJis(text.text));
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
            const long double offset = kAmplitude * MyFunc::Sin(MyFunc::kPi * t) / 1.41421356237309504880L;
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

// An arc of a circle or ellipse as a polyline, counter-clockwise from its start to its end; a
// closed arc is the whole curve.
std::vector<Pt> ArcPoints(const RidEdaza::TJwwEntArc& arc)
{
    double span = MyFunc::NormalizeDegrees(static_cast<double>(
        static_cast<long double>(arc.endAngle) - arc.startAngle));
    if (!std::isfinite(span)) return {};
    if (span <= 1e-10) span = 360.0;
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

class SceneBuilder {
public:
    explicit SceneBuilder(std::vector<Element>& elements) : elements_(elements) {}

    bool Add(std::string cls, const char* colour, std::vector<Shape> shapes,
             std::string attributes = {})
    {
        if (shapes.empty()) return false;
        for (const Shape& shape : shapes) {
            // Drawn whole or not at all.
            if (shape.points.empty() || !ShapeIsFinite(shape)) return false;
        }
        elements_.push_back(
            {std::move(cls), std::move(attributes), colour, std::move(shapes), false, {}});
        return true;
    }

    // Every entity of the model in file order, in the palette's colours.
    void AddEntities(const DrawingModel& model, const Palette& palette)
    {
        const std::string prefix = std::string(palette.prefix) + "-";
        const DrawingState& state = model.state;
        for (const RidEdaza::EntityOrderEntry& entry : model.order) {
            const auto at = static_cast<std::size_t>(entry.position);
            switch (entry.kind) {
            case EntityKind::Line:
                if (at < model.lines.size()) {
                    const auto& r = model.lines[at];
                    Add(prefix + "line", palette.line, {LineShape({r.x1, r.y1}, {r.x2, r.y2})});
                }
                break;
            case EntityKind::Circle:
                if (at < model.circles.size()) {
                    const auto& r = model.circles[at];
                    Add(prefix + "circle", palette.line,
                        {CircleShape({r.centreX, r.centreY}, r.radius, false)});
                }
                break;
            case EntityKind::Arc:
                if (at < model.arcs.size()) {
                    Add(prefix + "arc", palette.line,
                        {PathShape(ShapeKind::Polyline, ArcPoints(model.arcs[at]), false)});
                }
                break;
            case EntityKind::Text:
                if (at < model.texts.size()) {
                    const auto& r = model.texts[at];
                    Add(prefix + "text", palette.text, {TextShape(r, LayerScale(state, r.attributes))});
                }
                break;
            case EntityKind::Point:
                if (at < model.points.size()) {
                    const auto& r = model.points[at];
                    Add(prefix + "point", palette.marker, {PixelMark(ShapeKind::Dot, {r.x, r.y})});
                }
                break;
            case EntityKind::MarkerPoint:
                if (at < model.markerPoints.size()) {
                    const auto& r = model.markerPoints[at];
                    if (Add(prefix + "marker", palette.marker,
                            MarkerShapes({r.x, r.y}, r.markerScale, r.markerAngle, r.markerCode,
                                         LayerScale(state, r.attributes)),
                            "data-code=\"" + std::to_string(r.markerCode) + "\"")) {
                        elements_.back().marker = true;
                        elements_.back().anchor = {r.x, r.y};
                    }
                }
                break;
            case EntityKind::Dimension:
                if (at < model.dimensions.size()) {
                    const auto& r = model.dimensions[at];
                    Add(prefix + "dimension", palette.dimension,
                        {LineShape({r.line.x1, r.line.y1}, {r.line.x2, r.line.y2}),
                         TextShape(r.text, LayerScale(state, r.text.attributes))});
                }
                break;
            default:
                break;  // blocks and the "s" records are not part of a selection to dimension
            }
        }
    }

    // The indicated points: the height point stands out, the others are crosses.
    void AddIndicatedPoints(const DrawingState& state)
    {
        for (std::size_t i = 1; i < state.indicatedPoints.size(); ++i) {
            const RidEdaza::IndicatedPoint& p = state.indicatedPoints[i];
            if (!p.present) continue;
            if (i == 1) {
                Add("sel-height-point", kHeightPointColour,
                    {PixelMark(ShapeKind::Diamond, {p.x, p.y})});
            } else {
                Add("sel-indicated", kSelectionPalette.marker,
                    {PixelMark(ShapeKind::Cross, {p.x, p.y})},
                    // Appended: "..." + std::to_string(i) raises a false -Wrestrict in g++ 12
                    // for i686.
                    std::string("data-number=\"").append(std::to_string(i)).append("\""));
            }
        }
    }

private:
    std::vector<Element>& elements_;
};

// The run's measuring points: the ends of the segments that lie on the dimension line, i.e. of
// the most numerous set of lines parallel to the axis with one offset.
struct MeasuringPoints {
    std::vector<Pt> points;
    std::vector<long double> along;  // from the first point, in the axis direction
};

MeasuringPoints FindMeasuringPoints(const DrawingModel& commands, double axisAngle)
{
    const double radians = MyFunc::DegreesToRadians(axisAngle);
    const long double c = MyFunc::Cos(radians);
    const long double s = MyFunc::Sin(radians);

    struct Segment {
        long double offset;
        long double t1;
        long double t2;
    };
    std::vector<Segment> segments;
    long double magnitude = 1.0L;
    auto consider = [&](double x1, double y1, double x2, double y2) {
        const long double dx = static_cast<long double>(x2) - x1;
        const long double dy = static_cast<long double>(y2) - y1;
        const long double length = std::sqrt(dx * dx + dy * dy);
        if (!std::isfinite(length) || length == 0.0L) return;
        if (std::fabs(dx * s - dy * c) > 1e-9L * length) return;  // not along the axis
        const Segment segment{y1 * c - x1 * s, x1 * c + y1 * s, x2 * c + y2 * s};
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
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment& a, const Segment& b) { return a.offset < b.offset; });
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
    MeasuringPoints result;
    long double previous = 0.0L;
    for (const long double t : ts) {
        if (!result.along.empty() && t - previous <= tolerance) continue;
        previous = t;
        result.along.push_back(t - ts.front());
        result.points.push_back({static_cast<double>(t * c - offset * s),
                                 static_cast<double>(t * s + offset * c)});
    }
    return result;
}

// The direction of the run's value texts: the axis, turned so that no text is upside down.
double UprightTextAngle(double axisAngle)
{
    double a = MyFunc::NormalizeDegrees(axisAngle);
    if (a >= 180.0) a = static_cast<double>(a - 180.0L);
    if (a > 90.00000001) a = static_cast<double>(a + 180.0L);
    return a;
}

// A label's number: at most three decimals, no trailing zeros.
std::string LabelNumber(long double value)
{
    double v = static_cast<double>(value);
    if (!std::isfinite(v)) return "?";
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 3);
    if (error != std::errc()) return MyFunc::GeneralNumberText(v);
    std::string text(buffer, end);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

// A "nice" grid step (1, 2 or 5 times a power of ten) of at least target; 0 when there is none.
long double GridStep(long double target)
{
    if (!(target > 0.0L) || !std::isfinite(target)) return 0.0L;
    long double power = 1.0L;
    for (int i = 0; i < 400 && power * 10.0L <= target; ++i) power *= 10.0L;
    for (int i = 0; i < 400 && power > target; ++i) power /= 10.0L;
    for (const long double factor : {1.0L, 2.0L, 5.0L, 10.0L}) {
        if (power * factor >= target) return static_cast<double>(power * factor);
    }
    return static_cast<double>(power * 10.0L);
}

// Drawing coordinates to pixels: Y up in the drawing, down in the picture.
struct Fit {
    long double minX = 0.0L;
    long double maxY = 0.0L;
    long double scale = 1.0L;  // pixels per drawing unit
    long double offsetX = 0.0L;
    long double offsetY = 0.0L;
    double width = 0.0;
    double height = 0.0;

    long double X(double x) const { return offsetX + (x - minX) * scale; }
    long double Y(double y) const { return offsetY + (maxY - y) * scale; }
    // Back from pixels, for the grid.
    long double DrawingX(long double px) const { return minX + (px - offsetX) / scale; }
    long double DrawingY(long double py) const { return maxY - (py - offsetY) / scale; }
};

Fit FitPicture(const std::vector<const std::vector<Element>*>& layers)
{
    bool any = false;
    long double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto* layer : layers) {
        for (const Element& element : *layer) {
            for (const Shape& shape : element.shapes) {
                for (const Pt& p : shape.extent) {
                    if (!any) {
                        minX = maxX = p.x;
                        minY = maxY = p.y;
                        any = true;
                    }
                    minX = std::min<long double>(minX, p.x);
                    maxX = std::max<long double>(maxX, p.x);
                    minY = std::min<long double>(minY, p.y);
                    maxY = std::max<long double>(maxY, p.y);
                }
            }
        }
    }
    const long double spanX = maxX - minX;
    const long double spanY = maxY - minY;
    long double scale = 1.0L;
    if (spanX > 0.0L && spanY > 0.0L) {
        scale = std::min(kMaxContentWidth / spanX, kMaxContentHeight / spanY);
    } else if (spanX > 0.0L) {
        scale = kMaxContentWidth / spanX;
    } else if (spanY > 0.0L) {
        scale = kMaxContentHeight / spanY;
    }
    Fit fit;
    fit.minX = minX;
    fit.maxY = maxY;
    fit.scale = scale;
    fit.width = static_cast<double>(std::max(kMinPictureSize, std::ceil(spanX * scale + 2 * kMargin)));
    fit.height =
        static_cast<double>(std::max(kMinPictureSize, std::ceil(spanY * scale + 2 * kMargin)));
    fit.offsetX = (fit.width - spanX * scale) / 2;
    fit.offsetY = (fit.height - spanY * scale) / 2;
    return fit;
}

class SvgWriter {
public:
    explicit SvgWriter(const Fit& fit) : fit_(fit) {}

    std::string& out() { return out_; }

    std::string X(double x) const { return Number(fit_.X(x), 2); }
    std::string Y(double y) const { return Number(fit_.Y(y), 2); }

    std::string PointList(const std::vector<Pt>& points) const
    {
        std::string list;
        for (const Pt& p : points) {
            if (!list.empty()) list += ' ';
            list += X(p.x) + ',' + Y(p.y);
        }
        return list;
    }

    void WriteElement(const Element& element)
    {
        const std::string head = "class=\"" + element.cls + "\"" +
                                 (element.attributes.empty() ? "" : " " + element.attributes);
        if (element.shapes.size() == 1) {
            WriteShape(element.shapes.front(), element.colour, head);
            return;
        }
        out_ += "<g " + head + ">\n";
        for (const Shape& shape : element.shapes) WriteShape(shape, element.colour, "");
        out_ += "</g>\n";
    }

private:
    void WriteShape(const Shape& shape, const char* colour, const std::string& head)
    {
        const std::string open = head.empty() ? "" : head + " ";
        const std::string stroke = std::string("stroke=\"") + colour + "\"";
        const std::string fill = shape.filled ? std::string(" fill=\"") + colour + "\"" : "";
        const Pt p = shape.points.empty() ? Pt{} : shape.points.front();
        switch (shape.kind) {
        case ShapeKind::Line:
            out_ += "<line " + open + "x1=\"" + X(p.x) + "\" y1=\"" + Y(p.y) + "\" x2=\"" +
                    X(shape.points[1].x) + "\" y2=\"" + Y(shape.points[1].y) + "\" " + stroke +
                    "/>\n";
            break;
        case ShapeKind::Polyline:
            out_ += "<polyline " + open + "points=\"" + PointList(shape.points) + "\" " + stroke +
                    "/>\n";
            break;
        case ShapeKind::Polygon:
            out_ += "<polygon " + open + "points=\"" + PointList(shape.points) + "\" " + stroke +
                    fill + "/>\n";
            break;
        case ShapeKind::Circle:
            out_ += "<circle " + open + "cx=\"" + X(p.x) + "\" cy=\"" + Y(p.y) + "\" r=\"" +
                    Number(shape.radius * fit_.scale, 2) + "\" " + stroke + fill + "/>\n";
            break;
        case ShapeKind::Dot:
            out_ += "<circle " + open + "cx=\"" + X(p.x) + "\" cy=\"" + Y(p.y) +
                    "\" r=\"2.5\" stroke=\"none\" fill=\"" + colour + "\"/>\n";
            break;
        case ShapeKind::Cross: {
            const long double x = fit_.X(p.x);
            const long double y = fit_.Y(p.y);
            out_ += "<path " + open + "d=\"M" + Number(x - 4, 2) + " " + Number(y - 4, 2) + "L" +
                    Number(x + 4, 2) + " " + Number(y + 4, 2) + "M" + Number(x - 4, 2) + " " +
                    Number(y + 4, 2) + "L" + Number(x + 4, 2) + " " + Number(y - 4, 2) + "\" " +
                    stroke + "/>\n";
            break;
        }
        case ShapeKind::Diamond: {
            const long double x = fit_.X(p.x);
            const long double y = fit_.Y(p.y);
            out_ += "<polygon " + open + "points=\"" + Number(x, 2) + "," + Number(y - 6, 2) + " " +
                    Number(x + 6, 2) + "," + Number(y, 2) + " " + Number(x, 2) + "," +
                    Number(y + 6, 2) + " " + Number(x - 6, 2) + "," + Number(y, 2) + "\" " +
                    stroke + "/>\n";
            break;
        }
        case ShapeKind::Text:
            // Rotated by minus the angle: the picture's Y axis points down.
            out_ += "<text " + open + "transform=\"translate(" + X(p.x) + " " + Y(p.y) +
                    ") rotate(" + Number(-static_cast<long double>(shape.angle), 3) + ") scale(" +
                    Number(shape.stretch, 4) + " 1)\" font-size=\"" +
                    Number(shape.height * fit_.scale, 3) + "\" stroke=\"none\" fill=\"" + colour +
                    "\">" + shape.text + "</text>\n";
            break;
        }
    }

    const Fit& fit_;
    std::string out_;
};

void WriteGrid(SvgWriter& svg, const Fit& fit)
{
    const long double left = fit.DrawingX(0.0L);
    const long double right = fit.DrawingX(fit.width);
    const long double top = fit.DrawingY(0.0L);
    const long double bottom = fit.DrawingY(fit.height);
    const long double step = GridStep(std::max(right - left, top - bottom) / 16.0L);
    if (step <= 0.0L) return;

    std::string lines;
    std::string axes;
    auto run = [&](long double from, long double to, bool vertical) {
        const long double first = std::ceil(from / step);
        const long double last = std::floor(to / step);
        if (!std::isfinite(first) || !std::isfinite(last) || !(last - first <= 200.0L)) return;
        // Counted in integers: far from the origin, first + 1 may equal first.
        const int count = static_cast<int>(last - first);
        for (int n = 0; n <= count; ++n) {
            const long double i = first + n;
            const double value = static_cast<double>(i * step);
            std::string& path = i == 0.0L ? axes : lines;
            if (vertical) {
                const std::string x = svg.X(value);
                path += "M" + x + " 0V" + Number(fit.height, 2);
            } else {
                const std::string y = svg.Y(value);
                path += "M0 " + y + "H" + Number(fit.width, 2);
            }
        }
    };
    run(left, right, true);
    run(bottom, top, false);
    std::string& out = svg.out();
    out += "<g id=\"grid\" fill=\"none\" stroke-width=\"0.6\">\n";
    if (!lines.empty()) out += "<path d=\"" + lines + "\" stroke=\"#e8e8e8\"/>\n";
    if (!axes.empty()) out += "<path d=\"" + axes + "\" stroke=\"#c8c8c8\"/>\n";
    out += "<text class=\"grid-step\" x=\"6\" y=\"" + Number(fit.height - 6, 2) +
           "\" font-size=\"10\" fill=\"#9e9e9e\">grid " +
           EscapeXml(MyFunc::GeneralNumberText(static_cast<double>(step))) + "</text>\n";
    out += "</g>\n";
}

// How far the marker points of the run reach across the dimension line, in pixels.
long double MarkerReach(const std::vector<Element>& run, const Fit& fit, double axisAngle)
{
    const double radians = MyFunc::DegreesToRadians(axisAngle);
    const long double nx = -MyFunc::Sin(radians);
    const long double ny = MyFunc::Cos(radians);
    long double reach = 0.0L;
    for (const Element& element : run) {
        if (!element.marker) continue;
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
    return std::min(reach * fit.scale, 200.0L);
}

void WriteLabels(SvgWriter& svg, const Fit& fit, const MeasuringPoints& points, double axisAngle,
                 long double markerReach)
{
    // On the side away from the value texts, beyond the markers, just right of the point's
    // extension line; a label that would overlap the one before it moves one row further out.
    constexpr long double kFontSize = 11.0L;
    constexpr long double kCharWidth = kFontSize / 2;  // digits of the monospaced font
    constexpr long double kRowStep = 12.0L;
    constexpr std::size_t kNeighbours = 8;
    const double radians = MyFunc::DegreesToRadians(UprightTextAngle(axisAngle));
    const long double awayX = MyFunc::Sin(radians);
    const long double awayY = MyFunc::Cos(radians);
    const long double distance = 10.0L + markerReach + kFontSize / 2;

    struct Box {
        long double left, top, right, bottom;
    };
    std::vector<Box> placed;
    std::string& out = svg.out();
    out += "<g id=\"labels\" font-size=\"11\" fill=\"" + std::string(kLabelColour) + "\">\n";
    for (std::size_t i = 0; i < points.points.size(); ++i) {
        const Pt& p = points.points[i];
        const std::string text = LabelNumber(points.along[i]);
        const long double width = kCharWidth * static_cast<long double>(text.size());
        long double x = 0.0L;
        long double y = 0.0L;
        for (int row = 0; row < 6; ++row) {
            const long double away = distance + row * kRowStep;
            x = fit.X(p.x) + awayX * away + 3.0L;
            y = fit.Y(p.y) + awayY * away + kFontSize / 3;
            const Box box{x, y - kFontSize, x + width, y + 2.0L};
            bool free = true;
            for (std::size_t k = placed.size() > kNeighbours ? placed.size() - kNeighbours : 0;
                 k < placed.size(); ++k) {
                const Box& other = placed[k];
                if (box.left < other.right && other.left < box.right && box.top < other.bottom &&
                    other.top < box.bottom) {
                    free = false;
                }
            }
            if (free) {
                placed.push_back(box);
                break;
            }
        }
        out += "<text class=\"label\" data-point=\"" + std::to_string(i + 1) + "\" x=\"" +
               Number(x, 2) + "\" y=\"" + Number(y, 2) + "\">" + text + "</text>\n";
    }
    out += "</g>\n";
}

}  // namespace

void PrepareCommandModel(const DrawingModel& input, DrawingModel& commands)
{
    commands.state.textKinds = input.state.textKinds;
    commands.state.layerGroupScale = input.state.layerGroupScale;
}

bool LoadPreviewModels(const std::filesystem::path& inputPath,
                       const std::filesystem::path& commandPath, DrawingModel& input,
                       DrawingModel& commands, std::string& problem)
{
    auto name = [](const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    input = DrawingModel{};
    commands = DrawingModel{};
    if (!RidEdaza::ReadExchangeFile(input, inputPath)) {
        problem = "cannot read the exchange file " + name(inputPath);
        return false;
    }
    PrepareCommandModel(input, commands);
    if (!RidEdaza::ReadExchangeFile(commands, commandPath)) {
        problem = "cannot read the command file " + name(commandPath);
        return false;
    }
    return true;
}

std::string RenderPreviewSvg(const DrawingModel& input, const DrawingModel& commands,
                             const PreviewOptions& options)
{
    std::vector<Element> selection;
    std::vector<Element> run;
    SceneBuilder selectionBuilder(selection);
    selectionBuilder.AddEntities(input, kSelectionPalette);
    selectionBuilder.AddIndicatedPoints(input.state);
    SceneBuilder(run).AddEntities(commands, kRunPalette);

    const Fit fit = FitPicture({&selection, &run});
    SvgWriter svg(fit);
    std::string& out = svg.out();
    const std::string width = Number(fit.width, 0);
    const std::string height = Number(fit.height, 0);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
           "\" viewBox=\"0 0 " + width + " " + height +
           "\" font-family=\"IPAGothic, 'IPA Gothic', 'MS Gothic', monospace\""
           " xml:space=\"preserve\">\n";
    out += "<title>Korvane preview</title>\n";
    out += "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n";
    if (options.grid) WriteGrid(svg, fit);

    const char* const group =
        " fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    out += std::string("<g id=\"selection\" stroke-width=\"1\"") + group;
    for (const Element& element : selection) svg.WriteElement(element);
    out += "</g>\n";
    out += std::string("<g id=\"run\" stroke-width=\"1.4\"") + group;
    for (const Element& element : run) svg.WriteElement(element);
    out += "</g>\n";

    if (options.labels) {
        WriteLabels(svg, fit, FindMeasuringPoints(commands, input.state.axisAngle),
                    input.state.axisAngle, MarkerReach(run, fit, input.state.axisAngle));
    }
    out += "</svg>\n";
    return out;
}

}  // namespace Preview
