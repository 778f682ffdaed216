// The shapes fitted into the picture and written as SVG in pixel coordinates (Y down).
#include "preview/preview_svg.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/cp932.hpp"
#include "common/geometry.hpp"
#include "common/number_text.hpp"
#include "common/trig.hpp"
#include "common/value_format.hpp"

namespace Preview {
namespace {

using Pt = ShapePoint;

// Picture size: the drawing fills at most this box, with the margin around it.
constexpr long double kMaxContentWidth = 1120.0L;
constexpr long double kMaxContentHeight = 800.0L;
constexpr long double kMargin = 40.0L;
constexpr long double kMinPictureSize = 240.0L;
// Pixel coordinates are kept within this range so that no number grows without bound.
constexpr double kPixelLimit = 1e7;

// UTF-8 text as XML character data. Control characters become U+FFFD: XML cannot hold most of
// them, and a reader would turn a tab, CR or LF into a blank or a line end that the text never
// had.
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
        default:
            if ((c >= 0 && c < 0x20) || c == 0x7F) {
                out += "\xEF\xBF\xBD";
            } else {
                out += c;
            }
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
    MyFunc::DropTrailingZeros(text);
    if (text == "-0") text = "0";
    return text;
}

// The colour as "#rrggbb".
std::string ColourText(Colour colour)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += kDigits[part >> 4];
        text += kDigits[part & 15];
    }
    return text;
}

// The class of an element: "sel-" or "run-" and its kind.
std::string ClassOf(const char* prefix, ElementKind kind)
{
    const char* name = "line";
    switch (kind) {
    case ElementKind::Line: name = "line"; break;
    case ElementKind::Circle: name = "circle"; break;
    case ElementKind::Arc: name = "arc"; break;
    case ElementKind::Text: name = "text"; break;
    case ElementKind::Point: name = "point"; break;
    case ElementKind::Marker: name = "marker"; break;
    case ElementKind::Dimension: name = "dimension"; break;
    case ElementKind::HeightPoint: name = "height-point"; break;
    case ElementKind::IndicatedPoint: name = "indicated"; break;
    }
    return std::string(prefix) + "-" + name;
}

// The attributes after the class: the code of a marker point, the number of an indicated point.
std::string ExtraAttributes(const ShapeElement& element)
{
    if (element.kind == ElementKind::Marker) {
        return "data-code=\"" + std::to_string(element.markerCode) + "\"";
    }
    if (element.kind == ElementKind::IndicatedPoint) {
        return "data-number=\"" + std::to_string(element.indicatedNumber) + "\"";
    }
    return {};
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

Fit FitPicture(const PreviewShapes& shapes)
{
    bool any = false;
    long double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto* layer : {&shapes.selection, &shapes.run}) {
        for (const ShapeElement& element : *layer) {
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
    fit.width =
        static_cast<double>(std::max(kMinPictureSize, std::ceil(spanX * scale + 2 * kMargin)));
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

    // One element of the selection ("sel") or the run ("run"): its shape, or a group of them.
    void WriteElement(const ShapeElement& element, const char* prefix)
    {
        const std::string extra = ExtraAttributes(element);
        const std::string head =
            "class=\"" + ClassOf(prefix, element.kind) + "\"" + (extra.empty() ? "" : " " + extra);
        const std::string colour = ColourText(element.colour);
        if (element.shapes.size() == 1) {
            WriteShape(element.shapes.front(), colour, head);
            return;
        }
        out_ += "<g " + head + ">\n";
        for (const Shape& shape : element.shapes) WriteShape(shape, colour, "");
        out_ += "</g>\n";
    }

private:
    void WriteShape(const Shape& shape, const std::string& colour, const std::string& head)
    {
        const std::string open = head.empty() ? "" : head + " ";
        const std::string stroke = "stroke=\"" + colour + "\"";
        const std::string fill = shape.filled ? " fill=\"" + colour + "\"" : "";
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
                    "\">" + EscapeXml(MyFunc::Cp932ToUtf8(shape.text)) + "</text>\n";
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


// A measuring point's label: on the side away from the value texts, beyond the markers, just
// right of the point's extension line; a label that would overlap one of the few before it moves
// one row further out.
class LabelWriter {
public:
    LabelWriter(SvgWriter& svg, const Fit& fit) : svg_(svg), fit_(fit) {}

    void WriteAxis(const PreviewShapes& shapes, const RunAxis& axis)
    {
        const double radians = MyFunc::DegreesToRadians(axis.textAngle);
        const long double awayX = MyFunc::Sin(radians);
        const long double awayY = MyFunc::Cos(radians);
        const long double markerReach =
            std::min(MarkerReach(shapes, axis) * fit_.scale, 200.0L);
        const long double distance = 10.0L + markerReach + kFontSize / 2;
        for (const MeasuringLabel& label : axis.labels) {
            Write(label, awayX, awayY, distance);
        }
    }

private:
    static constexpr long double kFontSize = 11.0L;
    static constexpr long double kCharWidth = kFontSize / 2;  // digits of the monospaced font
    static constexpr long double kRowStep = 12.0L;
    static constexpr std::size_t kNeighbours = 8;

    struct Box {
        long double left, top, right, bottom;
    };

    void Write(const MeasuringLabel& label, long double awayX, long double awayY,
               long double distance)
    {
        const Pt& p = label.at;
        const std::string& text = label.text;
        const long double width = kCharWidth * static_cast<long double>(text.size());
        long double x = 0.0L;
        long double y = 0.0L;
        for (int row = 0; row < 6; ++row) {
            const long double away = distance + row * kRowStep;
            x = fit_.X(p.x) + awayX * away + 3.0L;
            y = fit_.Y(p.y) + awayY * away + kFontSize / 3;
            const Box box{x, y - kFontSize, x + width, y + 2.0L};
            bool free = true;
            for (std::size_t k = placed_.size() > kNeighbours ? placed_.size() - kNeighbours : 0;
                 k < placed_.size(); ++k) {
                const Box& other = placed_[k];
                if (box.left < other.right && other.left < box.right && box.top < other.bottom &&
                    other.top < box.bottom) {
                    free = false;
                }
            }
            if (free) {
                placed_.push_back(box);
                break;
            }
        }
        svg_.out() += "<text class=\"label\" data-point=\"" + std::to_string(++written_) +
                      "\" x=\"" + Number(x, 2) + "\" y=\"" + Number(y, 2) + "\">" +
                      EscapeXml(text) + "</text>\n";
    }

    SvgWriter& svg_;
    const Fit& fit_;
    std::vector<Box> placed_;
    std::size_t written_ = 0;
};

// Every direction's labels, numbered on from one direction to the next.
void WriteLabels(SvgWriter& svg, const Fit& fit, const PreviewShapes& shapes)
{
    svg.out() += "<g id=\"labels\" font-size=\"11\" fill=\"" + ColourText(kLabelColour) + "\">\n";
    LabelWriter labels(svg, fit);
    for (const RunAxis& axis : shapes.axes) labels.WriteAxis(shapes, axis);
    svg.out() += "</g>\n";
}

}  // namespace

std::string WritePreviewSvg(const PreviewShapes& shapes, const PreviewOptions& options)
{
    const Fit fit = FitPicture(shapes);
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
    for (const ShapeElement& element : shapes.selection) svg.WriteElement(element, "sel");
    out += "</g>\n";
    out += std::string("<g id=\"run\" stroke-width=\"1.4\"") + group;
    for (const ShapeElement& element : shapes.run) svg.WriteElement(element, "run");
    out += "</g>\n";

    if (options.labels) WriteLabels(svg, fit, shapes);
    out += "</svg>\n";
    return out;
}

}  // namespace Preview
