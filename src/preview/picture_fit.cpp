#include "preview/picture_fit.hpp"

#include <algorithm>
#include <cmath>

#include "common/geometry.hpp"

namespace Preview {
namespace {

struct Bounds {
    long double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
    bool Empty() const { return !(minX <= maxX); }
    void Add(const ShapePoint& p)
    {
        minX = std::min<long double>(minX, p.x);
        maxX = std::max<long double>(maxX, p.x);
        minY = std::min<long double>(minY, p.y);
        maxY = std::max<long double>(maxY, p.y);
    }
};

// The extents of the elements [first, end): all of them, and the band without the lines
// across the dimension line (which may run off the picture towards far measuring points).
void Extend(Bounds& all, Bounds& band, const PictureFrame& frame,
            const std::vector<ShapeElement>& elements, std::size_t first, std::size_t end)
{
    end = std::min(end, elements.size());
    for (std::size_t i = first; i < end; ++i) {
        for (const Shape& shape : elements[i].shapes) {
            const bool across = RunsAcross(frame, shape);
            for (const ShapePoint& p : shape.extent.empty() ? shape.points : shape.extent) {
                const ShapePoint t = frame.Turned(p);
                all.Add(t);
                if (!across) band.Add(t);
            }
        }
    }
}

// The frame's elements fitted into its area: to the width, unless the band is then too tall.
// Everything is shown where it fits; else the band, in the middle.
void Fit(PictureFrame& frame, const PreviewShapes& shapes, double margin)
{
    const MyFunc::Rotation turn = MyFunc::RotationOfDeg(-frame.textAngle);
    frame.cosine = static_cast<double>(turn.c);
    frame.sine = static_cast<double>(turn.s);
    Bounds all;
    Bounds band;
    Extend(all, band, frame, shapes.run, frame.firstElement, frame.endElement);
    if (all.Empty()) Extend(all, band, frame, shapes.selection, 0, shapes.selection.size());
    if (all.Empty()) all = {0, 0, 0, 0};
    if (band.Empty()) band = all;
    const PixelRect& area = frame.area;
    const long double width = all.maxX - all.minX;
    const long double roomX = std::max(1.0L, static_cast<long double>(area.right - area.left) -
                                                 2.0L * margin);
    const long double roomY = std::max(1.0L, static_cast<long double>(area.bottom - area.top) -
                                                 2.0L * margin);
    const long double bandHeight = band.maxY - band.minY;
    long double scale = 1.0L;
    if (width > 0.0L && bandHeight > 0.0L) scale = std::min(roomX / width, roomY / bandHeight);
    else if (width > 0.0L) scale = roomX / width;
    else if (bandHeight > 0.0L) scale = roomY / bandHeight;
    const Bounds& shown = (all.maxY - all.minY) * scale <= roomY ? all : band;
    frame.scale = static_cast<double>(scale);
    frame.minX = static_cast<double>(all.minX);
    frame.maxY = static_cast<double>(shown.maxY);
    frame.left = static_cast<double>(area.left + margin + (roomX - width * scale) / 2.0L);
    frame.top = static_cast<double>(area.top + margin +
                                    (roomY - (shown.maxY - shown.minY) * scale) / 2.0L);
}

// The directions drawn, each with its elements and turn; one frame for everything where the
// shapes name no direction.
std::vector<PictureFrame> DrawnDirections(const PreviewShapes& shapes)
{
    std::vector<PictureFrame> frames;
    for (const RunAxis& axis : shapes.axes) {
        if (axis.endElement <= axis.firstElement) continue;
        PictureFrame& frame = frames.emplace_back();
        frame.firstElement = axis.firstElement;
        frame.endElement = axis.endElement;
        frame.textAngle = axis.textAngle;
    }
    if (frames.empty()) {
        PictureFrame& frame = frames.emplace_back();
        frame.endElement = shapes.run.size();
        frame.textAngle = FirstTextAngle(shapes);
    }
    return frames;
}

// The frames in equal parts of the area, side by side or one above the other; the smallest
// scale among them.
double Arrange(std::vector<PictureFrame>& frames, const PreviewShapes& shapes,
               const PixelRect& area, double margin, bool sideBySide)
{
    const double count = static_cast<double>(frames.size());
    double smallest = INFINITY;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double at = static_cast<double>(i);
        PixelRect part = area;
        if (sideBySide) {
            const double width = (area.right - area.left) / count;
            part.left = area.left + std::floor(width * at);
            part.right =
                i + 1 == frames.size() ? area.right : area.left + std::floor(width * (at + 1));
        } else {
            const double height = (area.bottom - area.top) / count;
            part.top = area.top + std::floor(height * at);
            part.bottom =
                i + 1 == frames.size() ? area.bottom : area.top + std::floor(height * (at + 1));
        }
        frames[i].area = part;
        Fit(frames[i], shapes, margin);
        smallest = std::min(smallest, frames[i].scale);
    }
    return smallest;
}

}  // namespace

bool RunsAcross(const PictureFrame& frame, const Shape& shape)
{
    if (shape.kind != ShapeKind::Line || shape.points.size() != 2) return false;
    const ShapePoint a = frame.Turned(shape.points[0]);
    const ShapePoint b = frame.Turned(shape.points[1]);
    return std::fabs(a.x - b.x) <= 1e-9 * (std::fabs(a.y - b.y) + 1.0);
}

std::vector<PictureFrame> FitPicture(const PreviewShapes& shapes, const PixelRect& area,
                                     double margin)
{
    std::vector<PictureFrame> frames = DrawnDirections(shapes);
    const double sideBySide = Arrange(frames, shapes, area, margin, true);
    if (frames.size() < 2) return frames;
    std::vector<PictureFrame> stacked = frames;
    // The texts of both directions have the same size: the larger scale shows them larger.
    if (Arrange(stacked, shapes, area, margin, false) > sideBySide) return stacked;
    return frames;
}

}  // namespace Preview
