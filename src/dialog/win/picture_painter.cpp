#include "dialog/win/picture_painter.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "common/cp932.hpp"
#include "common/geometry.hpp"
#include "dialog/controls.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

using Preview::Shape;
using Preview::ShapeElement;
using Preview::ShapeKind;
using Preview::ShapePoint;

// In pixels of the 96-DPI design, scaled with the picture's DPI like the rest of the dialog.
constexpr int kMargin = 6;
constexpr double kSmallestLegibleText = 7.0;
// How far a mark (a dot, cross or diamond) reaches from its point at most.
constexpr int kMarkReach = 6;
// Pixel coordinates stay within this, whatever a far-off shape asks for.
constexpr double kPixelLimit = 100000.0;

COLORREF Blend(Preview::Colour c, int towardsWhitePercent)
{
    auto mix = [&](int v) { return static_cast<BYTE>(v + (255 - v) * towardsWhitePercent / 100); };
    return RGB(mix(c.red), mix(c.green), mix(c.blue));
}

// Drawing units (Y up) to pixels (Y down), the run turned by minus its text angle. Pixels need no
// more than doubles: a picture of a run is drawn a million points at a time.
struct Frame {
    int dpi = kDesignDpi;
    double cosine = 1.0;
    double sine = 0.0;
    double scale = 1.0;
    double minX = 0.0;
    double maxY = 0.0;
    double left = 0.0;
    double top = 0.0;

    // A length of the 96-DPI design in this picture's pixels.
    int Px(int designPixels) const { return Scaled(designPixels, dpi); }
    // Texts drawn smaller than this many pixels are not legible.
    double SmallestLegibleText() const { return kSmallestLegibleText * dpi / kDesignDpi; }

    ShapePoint Turned(const ShapePoint& p) const
    {
        return {cosine * p.x - sine * p.y, sine * p.x + cosine * p.y};
    }

    POINT Map(const ShapePoint& p) const
    {
        const ShapePoint t = Turned(p);
        const double x = left + (t.x - minX) * scale;
        const double y = top + (maxY - t.y) * scale;
        return {static_cast<LONG>(std::clamp(x, -kPixelLimit, kPixelLimit)),
                static_cast<LONG>(std::clamp(y, -kPixelLimit, kPixelLimit))};
    }
};

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

// A line across the dimension line once the run is turned: an extension line or a leader.
bool RunsAcross(const Frame& frame, const Shape& shape)
{
    if (shape.kind != ShapeKind::Line || shape.points.size() != 2) return false;
    const ShapePoint a = frame.Turned(shape.points[0]);
    const ShapePoint b = frame.Turned(shape.points[1]);
    return std::fabs(a.x - b.x) <= 1e-9 * (std::fabs(a.y - b.y) + 1.0);
}

// The extents of the elements: all of them, and the band without the lines across the
// dimension line (which may run off the picture towards far measuring points).
void Extend(Bounds& all, Bounds& band, const Frame& frame,
            const std::vector<ShapeElement>& elements)
{
    for (const ShapeElement& element : elements) {
        for (const Shape& shape : element.shapes) {
            const bool across = RunsAcross(frame, shape);
            for (const ShapePoint& p : shape.extent.empty() ? shape.points : shape.extent) {
                const ShapePoint t = frame.Turned(p);
                all.Add(t);
                if (!across) band.Add(t);
            }
        }
    }
}

// The run (or, without one, the selection) fitted to the area's width, unless the band of its
// dimension line, texts, rows, leaders and markers is then too tall for it: the whole band is
// always shown, in the strip too. The lines across the dimension line may run off the picture's
// edge. Texts that come out too small to read are drawn as light bars.
Frame FitFrame(const Preview::PreviewShapes& shapes, const RECT& area, int dpi)
{
    Frame frame;
    frame.dpi = dpi;
    const int margin = frame.Px(kMargin);
    const MyFunc::Rotation turn = MyFunc::RotationOfDeg(-Preview::FirstTextAngle(shapes));
    frame.cosine = static_cast<double>(turn.c);
    frame.sine = static_cast<double>(turn.s);
    Bounds all;
    Bounds band;
    Extend(all, band, frame, shapes.run);
    if (all.Empty()) Extend(all, band, frame, shapes.selection);
    if (all.Empty()) all = {0, 0, 0, 0};
    if (band.Empty()) band = all;
    const long double width = all.maxX - all.minX;
    const long double roomX = std::max(1L, area.right - area.left - 2L * margin);
    const long double roomY = std::max(1L, area.bottom - area.top - 2L * margin);
    const long double bandHeight = band.maxY - band.minY;
    long double scale = 1.0L;
    if (width > 0.0L && bandHeight > 0.0L) scale = std::min(roomX / width, roomY / bandHeight);
    else if (width > 0.0L) scale = roomX / width;
    else if (bandHeight > 0.0L) scale = roomY / bandHeight;
    // Everything, when it fits; else the band, in the middle.
    const Bounds& shown = (all.maxY - all.minY) * scale <= roomY ? all : band;
    frame.scale = static_cast<double>(scale);
    frame.minX = static_cast<double>(all.minX);
    frame.maxY = static_cast<double>(shown.maxY);
    frame.left = static_cast<double>(area.left + margin + (roomX - width * scale) / 2.0L);
    frame.top = static_cast<double>(area.top + margin +
                                    (roomY - (shown.maxY - shown.minY) * scale) / 2.0L);
    return frame;
}

// The drawing's Shift-JIS text, by the converter korvane-preview's SVG uses: the strip, the
// larger window and the SVG show the same characters.
std::wstring Wide(const std::string& bytes)
{
    const std::u16string utf16 = MyFunc::Cp932ToUtf16(bytes);
    return std::wstring(utf16.begin(), utf16.end());
}

// Selects a GDI object for as long as it lives, then deletes it.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected()
    {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

std::vector<POINT> Mapped(const Frame& frame, const std::vector<ShapePoint>& points)
{
    std::vector<POINT> result;
    result.reserve(points.size());
    for (const ShapePoint& p : points) result.push_back(frame.Map(p));
    return result;
}

void PaintText(HDC dc, const Frame& frame, const Shape& shape, double textAngle, COLORREF colour)
{
    const double pixels = shape.height * frame.scale;
    if (!(pixels >= frame.SmallestLegibleText())) {
        // Too small to read: a light bar where the text stands (its corners are listed as base
        // line start, base line end, top start, top end).
        if (shape.extent.size() != 4) return;
        const std::vector<POINT> mapped = Mapped(frame, shape.extent);
        const POINT corners[4] = {mapped[0], mapped[1], mapped[3], mapped[2]};
        Selected brush(dc, CreateSolidBrush(colour));
        const HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, corners, 4);
        SelectObject(dc, pen);
        return;
    }
    const double angle = MyFunc::NormalizeDegrees(shape.angle - textAngle);
    const int height = static_cast<int>(std::min(pixels, kPixelLimit) + 0.5);
    const int width = std::max(1, static_cast<int>(height * shape.stretch / 2.0 + 0.5));
    const int tenths = static_cast<int>(std::lround(angle * 10.0));
    Selected font(dc, CreateFontW(-height, width, tenths, tenths, FW_NORMAL, FALSE, FALSE, FALSE,
                                  SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                  Cp932ToWide(kFontName).c_str()));
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    const POINT at = frame.Map(shape.points.front());
    const std::wstring text = Wide(shape.text);
    TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
}

// A mark of a few design pixels around its point: a dot, a cross or a diamond.
void PaintMark(HDC dc, const Frame& frame, const POINT& p, ShapeKind kind, COLORREF colour)
{
    if (kind == ShapeKind::Dot) {
        const int r = frame.Px(2);
        Selected brush(dc, CreateSolidBrush(colour));
        Ellipse(dc, p.x - r, p.y - r, p.x + r + 1, p.y + r + 1);
    } else if (kind == ShapeKind::Cross) {
        const int r = frame.Px(4);
        MoveToEx(dc, p.x - r, p.y - r, nullptr);
        LineTo(dc, p.x + r + 1, p.y + r + 1);
        MoveToEx(dc, p.x - r, p.y + r, nullptr);
        LineTo(dc, p.x + r + 1, p.y - r - 1);
    } else {
        const int r = frame.Px(kMarkReach);
        const POINT diamond[4] = {{p.x, p.y - r}, {p.x + r, p.y}, {p.x, p.y + r}, {p.x - r, p.y}};
        const HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Polygon(dc, diamond, 4);
        SelectObject(dc, brush);
    }
}

void PaintShape(HDC dc, const Frame& frame, const Shape& shape, double textAngle, COLORREF colour,
                COLORREF textColour)
{
    const std::vector<POINT> points = Mapped(frame, shape.points);
    switch (shape.kind) {
    case ShapeKind::Line:
    case ShapeKind::Polyline:
        Polyline(dc, points.data(), static_cast<int>(points.size()));
        break;
    case ShapeKind::Polygon:
    case ShapeKind::Circle: {
        Selected brush(dc, shape.filled ? CreateSolidBrush(colour)
                                        : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
        if (shape.kind == ShapeKind::Polygon) {
            Polygon(dc, points.data(), static_cast<int>(points.size()));
        } else {
            const double r = std::min(shape.radius * frame.scale, kPixelLimit);
            const POINT c = points.front();
            const auto d = static_cast<LONG>(r + 0.5);
            Ellipse(dc, c.x - d, c.y - d, c.x + d + 1, c.y + d + 1);
        }
        break;
    }
    case ShapeKind::Dot:
    case ShapeKind::Cross:
    case ShapeKind::Diamond:
        PaintMark(dc, frame, points.front(), shape.kind, colour);
        break;
    case ShapeKind::Text:
        PaintText(dc, frame, shape, textAngle, textColour);
        break;
    }
}

// The pixels of the area that thin shapes have already covered. A run of a hundred thousand
// intervals puts hundreds of extension lines and markers on one pixel: a shape whose pixels are
// all covered already adds nothing, and is not drawn again. Only lines one pixel thin and shapes
// of a pixel or two mark their pixels, so nothing wider is ever left out.
struct Ink {
    RECT area{};
    std::vector<bool> covered;

    explicit Ink(const RECT& a)
        : area(a), covered(static_cast<std::size_t>(std::max(0L, a.right - a.left)) *
                               static_cast<std::size_t>(std::max(0L, a.bottom - a.top)))
    {
    }

    // The shape's pixels, clipped to the area; empty when it lies outside.
    RECT PixelsOf(const Frame& frame, const Shape& shape) const
    {
        RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
        const int reach = shape.kind == ShapeKind::Dot || shape.kind == ShapeKind::Cross ||
                                  shape.kind == ShapeKind::Diamond
                              ? frame.Px(kMarkReach)
                              : 0;
        for (const ShapePoint& p : shape.extent.empty() ? shape.points : shape.extent) {
            const POINT q = frame.Map(p);
            box = {std::min(box.left, q.x - reach), std::min(box.top, q.y - reach),
                   std::max(box.right, q.x + reach + 1), std::max(box.bottom, q.y + reach + 1)};
        }
        return {std::max(box.left, area.left), std::max(box.top, area.top),
                std::min(box.right, area.right), std::min(box.bottom, area.bottom)};
    }

    bool AllCovered(const RECT& r) const
    {
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                if (!covered[Index(x, y)]) return false;
            }
        }
        return true;
    }

    void Mark(const RECT& r)
    {
        if (r.right - r.left > 2 && r.bottom - r.top > 2) return;  // only thin or tiny shapes
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) covered[Index(x, y)] = true;
        }
    }

    std::size_t Index(LONG x, LONG y) const
    {
        return static_cast<std::size_t>(y - area.top) *
                   static_cast<std::size_t>(area.right - area.left) +
               static_cast<std::size_t>(x - area.left);
    }
};

// Stops early (the picture is then worth nothing) once `stop` says so; it is asked every few
// thousand shapes, so that a picture of a very large run can be given up quickly.
void PaintElements(HDC dc, const Frame& frame, const std::vector<ShapeElement>& elements,
                   double textAngle, int faintness, Ink& ink, const std::function<bool()>& stop)
{
    std::size_t painted = 0;
    COLORREF penColour = CLR_INVALID;
    HPEN pen = nullptr;
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_PEN);
    for (const ShapeElement& element : elements) {
        const COLORREF colour = Blend(element.colour, faintness);
        // A text too small to read is a bar: lighter still, so that it does not weigh like ink.
        const COLORREF barColour = Blend(element.colour, std::max(faintness, 65));
        if (colour != penColour) {
            SelectObject(dc, original);
            if (pen) DeleteObject(pen);
            pen = CreatePen(PS_SOLID, 1, colour);
            SelectObject(dc, pen);
            penColour = colour;
        }
        for (const Shape& shape : element.shapes) {
            if (stop && (++painted % 4096) == 0 && stop()) break;
            const RECT pixels = ink.PixelsOf(frame, shape);
            if (pixels.left >= pixels.right || pixels.top >= pixels.bottom) continue;
            if (ink.AllCovered(pixels)) continue;
            const bool bar = shape.kind == ShapeKind::Text &&
                             !(shape.height * frame.scale >= frame.SmallestLegibleText());
            PaintShape(dc, frame, shape, textAngle, colour, bar ? barColour : colour);
            ink.Mark(pixels);
        }
    }
    SelectObject(dc, original);
    if (pen) DeleteObject(pen);
}

void PaintMessage(HDC dc, const RECT& area, const std::string& message, int dpi)
{
    Selected font(dc, CreateFontW(-Scaled(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                  Cp932ToWide(kFontName).c_str()));
    SetTextColor(dc, RGB(96, 96, 96));
    SetBkMode(dc, TRANSPARENT);
    RECT box = area;
    const std::wstring text = Cp932ToWide(message);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

// The strip and the larger window are fitted alike: the whole band in the area.
void PaintRunPicture(HDC dc, const RECT& area, const RunPicture& picture, PictureFit, int dpi,
                     const std::function<bool()>& stop)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (picture.drawn) {
        const Frame frame = FitFrame(picture.shapes, area, dpi);
        // The selection under the run: the run's ink is its own.
        Ink selectionInk(area);
        const double textAngle = Preview::FirstTextAngle(picture.shapes);
        PaintElements(dc, frame, picture.shapes.selection, textAngle, 55,
                      selectionInk, stop);
        Ink runInk(area);
        PaintElements(dc, frame, picture.shapes.run, textAngle, 0, runInk, stop);
    } else {
        PaintMessage(dc, area, picture.message, dpi);
    }
    RestoreDC(dc, saved);
}

}  // namespace Unit1
