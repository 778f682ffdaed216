#include "dialog/win/picture_painter.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/cp932.hpp"
#include "common/geometry.hpp"
#include "dialog/controls.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/win_text.hpp"
#include "preview/picture_fit.hpp"

namespace Unit1 {
namespace {

using Preview::Shape;
using Preview::ShapeElement;
using Preview::ShapeKind;
using Preview::ShapePoint;

// In pixels of the 96-DPI design, scaled with the picture's DPI like the rest of the dialog.
constexpr int kMargin = Preview::kPictureMargin;
constexpr double kSmallestLegibleText = Preview::kSmallestLegibleText;
// How far a mark (a dot, cross or diamond) reaches from its point at most.
constexpr int kMarkReach = 6;
// Pixel coordinates stay within this, whatever a far-off shape asks for.
constexpr double kPixelLimit = 100000.0;

COLORREF Blend(Preview::Colour c, int towardsWhitePercent)
{
    auto mix = [&](int v) { return static_cast<BYTE>(v + (255 - v) * towardsWhitePercent / 100); };
    return RGB(mix(c.red), mix(c.green), mix(c.blue));
}

// A direction's picture in pixels of the dialog's DPI: the shared fitting, with the design's
// lengths scaled and pixel coordinates kept within what GDI takes.
struct Frame {
    Preview::PictureFrame fit;
    int dpi = kDesignDpi;

    Frame(const Preview::PictureFrame& f, int d) : fit(f), dpi(d) {}

    // A length of the 96-DPI design in this picture's pixels.
    int Px(int designPixels) const { return Scaled(designPixels, dpi); }
    // Texts drawn smaller than this many pixels are not legible.
    double SmallestLegibleText() const { return kSmallestLegibleText * dpi / kDesignDpi; }

    POINT Map(const ShapePoint& p) const
    {
        const ShapePoint q = fit.Map(p);
        return {static_cast<LONG>(std::clamp(q.x, -kPixelLimit, kPixelLimit)),
                static_cast<LONG>(std::clamp(q.y, -kPixelLimit, kPixelLimit))};
    }
};

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
    const double pixels = shape.height * frame.fit.scale;
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
            const double r = std::min(shape.radius * frame.fit.scale, kPixelLimit);
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
void PaintElements(HDC dc, const Frame& frame, std::span<const ShapeElement> elements,
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
                             !(shape.height * frame.fit.scale >= frame.SmallestLegibleText());
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

// A light line between the two directions' pictures.
void PaintDivider(HDC dc, const Preview::PixelRect& part, const RECT& area)
{
    Selected pen(dc, CreatePen(PS_SOLID, 1, RGB(208, 208, 208)));
    const auto left = static_cast<LONG>(part.left);
    const auto top = static_cast<LONG>(part.top);
    if (left > area.left) {
        MoveToEx(dc, left, area.top, nullptr);
        LineTo(dc, left, area.bottom);
    } else if (top > area.top) {
        MoveToEx(dc, area.left, top, nullptr);
        LineTo(dc, area.right, top);
    }
}

// One direction's picture in its part of the area: the selection faintly under its run.
void PaintDirection(HDC dc, const Frame& frame, const Preview::PreviewShapes& shapes,
                    const std::function<bool()>& stop)
{
    const Preview::PictureFrame& fit = frame.fit;
    const RECT part{static_cast<LONG>(fit.area.left), static_cast<LONG>(fit.area.top),
                    static_cast<LONG>(fit.area.right), static_cast<LONG>(fit.area.bottom)};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
    // The selection under the run: the run's ink is its own.
    Ink selectionInk(part);
    PaintElements(dc, frame, shapes.selection, fit.textAngle, 55, selectionInk, stop);
    const std::size_t end = std::min(fit.endElement, shapes.run.size());
    const std::size_t first = std::min(fit.firstElement, end);
    Ink runInk(part);
    PaintElements(dc, frame, std::span(shapes.run).subspan(first, end - first), fit.textAngle, 0,
                  runInk, stop);
    RestoreDC(dc, saved);
}

}  // namespace

HBITMAP MakeImage(HDC dc, SIZE size, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// The strip and the larger window are fitted alike: the whole band of each direction drawn.
void PaintRunPicture(HDC dc, const RECT& area, const RunPicture& picture, PictureFit, int dpi,
                     const std::function<bool()>& stop)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (picture.drawn) {
        const Preview::PixelRect whole{static_cast<double>(area.left),
                                       static_cast<double>(area.top),
                                       static_cast<double>(area.right),
                                       static_cast<double>(area.bottom)};
        for (const Preview::PictureFrame& fit :
             Preview::FitPicture(picture.shapes, whole, Scaled(kMargin, dpi))) {
            PaintDirection(dc, Frame(fit, dpi), picture.shapes, stop);
            PaintDivider(dc, fit.area, area);
        }
    } else {
        PaintMessage(dc, area, picture.message, dpi);
    }
    RestoreDC(dc, saved);
}

}  // namespace Unit1
