// What each line form of the exchange file means: the table of line forms in their order of
// precedence, and one short handler per form.
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/geometry.hpp"
#include "common/text.hpp"
#include "exchange/exchange_reader_internal.hpp"

namespace RidEdaza {
namespace {

using MyFunc::CutToWholeChars;
using MyFunc::kMaxLineBytes;
using MyFunc::TextToIntOrZero;
using MyFunc::TextToRealOrZero;

double Real(const LineFields& f, std::int32_t i) { return TextToRealOrZero(f[i]); }
std::int32_t Int(const LineFields& f, std::int32_t i) { return TextToIntOrZero(f[i]); }

// The layer group or layer digit of "lg"/"ly": the third byte read as one hex digit.
std::int32_t HexDigitAfterKey(std::string_view key)
{
    const char text[2] = {'$', key.size() >= 3 ? key[2] : '\0'};
    const std::int32_t value = TextToIntOrZero(std::string_view(text, key.size() >= 3 ? 2 : 1));
    return value >= 0 && value <= 15 ? value : 0;
}

// After every entity other than a line segment: the marks were used, and a polyline or a
// dimension figure cannot continue across another entity.
void EndEntity(ReaderState& s)
{
    s.zFlags = 0;
    s.inPolyline = false;
    s.dimensionFigureMode = false;
}

void FillText(TJwwEntText& text, const DrawingState& drawing, const ReaderState& s,
              const LineFields& f, std::int32_t keyCode)
{
    const bool tableKind = s.textKind >= 1 && s.textKind <= 10;
    const TextKind& size =
        tableKind ? drawing.textKinds[static_cast<std::size_t>(s.textKind - 1)] : s.freeText;
    text.attributes = RunningAttributes(s);
    text.attributes.colour = size.colour;
    text.keyCode = keyCode;
    text.ccValue = s.ccValue;
    text.textKind = s.textKind;
    text.width = size.width;
    text.height = size.height;
    text.spacing = size.spacing;
    text.x = Real(f, 1);
    text.y = Real(f, 2);
    text.dirX = Real(f, 3);
    text.dirY = Real(f, 4);
    text.fontName.assign(CutToWholeChars(s.fontName, kMaxLineBytes));
    text.text.assign(CutToWholeChars(f[5], kMaxLineBytes));
}

struct Pt {
    double x;
    double y;
};

Pt PointAt(const LineFields& f, std::int32_t i) { return {Real(f, i), Real(f, i + 1)}; }

bool SameValue(double a, double b)
{
    const long double d = static_cast<long double>(a) - static_cast<long double>(b);
    return d <= MyFunc::kTolerance && d >= -MyFunc::kTolerance;
}

bool SamePoint(Pt a, Pt b) { return SameValue(a.x, b.x) && SameValue(a.y, b.y); }

void Store(Pt p, double& x, double& y)
{
    x = p.x;
    y = p.y;
}

// The "s" figures ("sl", "sc", "se", "so", "sg") carry the number of the last "lc10 N" line.
template <typename Record>
Record& AppendSFigure(DrawingModel& model, std::vector<Record>& table, EntityKind kind,
                      const ReaderState& s)
{
    Record& r = AppendEntity(model, table, kind, s);
    r.sColour = s.sColour;
    return r;
}

void AppendSl2(DrawingModel& model, const ReaderState& s, Pt a, Pt b)
{
    TJwwEntSl2& r = AppendSFigure(model, model.sl2, EntityKind::Sl2, s);
    Store(a, r.x1, r.y1);
    Store(b, r.x2, r.y2);
}

void AppendSl3(DrawingModel& model, const ReaderState& s, Pt a, Pt b, Pt c)
{
    TJwwEntSl3& r = AppendSFigure(model, model.sl3, EntityKind::Sl3, s);
    Store(a, r.x1, r.y1);
    Store(b, r.x2, r.y2);
    Store(c, r.x3, r.y3);
}

void AppendSl4(DrawingModel& model, const ReaderState& s, Pt a, Pt b, Pt c, Pt d)
{
    TJwwEntSl4& r = AppendSFigure(model, model.sl4, EntityKind::Sl4, s);
    Store(a, r.x1, r.y1);
    Store(b, r.x2, r.y2);
    Store(c, r.x3, r.y3);
    Store(d, r.x4, r.y4);
}

// Every row's handler gets the model, the running state and the fields of the line (key first).
using LineHandler = void (*)(DrawingModel& model, ReaderState& s, const LineFields& f);

// ---- Header lines ----
// The drawing's settings, as the host states them before the data.

void ApplyDrawingFileName(DrawingModel& m, ReaderState&, const LineFields& f)
{
    m.state.drawingFileName.assign(f[0].substr(5));
}

void ApplyAxisAngle(DrawingModel& m, ReaderState&, const LineFields& f)
{
    m.state.axisAngle = Real(f, 1);
}

void ApplyLayerGroupScales(DrawingModel& m, ReaderState&, const LineFields& f)
{
    for (std::int32_t i = 0; i < 16; ++i) {
        m.state.layerGroupScale[static_cast<std::size_t>(i)] = Real(f, i + 1);
    }
}

void ApplyPaperSize(DrawingModel& m, ReaderState&, const LineFields& f)
{
    m.state.paperWidth = Real(f, 1);
    m.state.paperHeight = Real(f, 2);
}

// "hcw", "hch", "hcd": one size of each of the ten text kinds.
template <double TextKind::*Size>
void ApplyTextKindSizes(DrawingModel& m, ReaderState&, const LineFields& f)
{
    for (std::int32_t i = 0; i < 10; ++i) {
        m.state.textKinds[static_cast<std::size_t>(i)].*Size = Real(f, i + 1);
    }
}

void ApplyTextKindColours(DrawingModel& m, ReaderState&, const LineFields& f)
{
    for (std::int32_t i = 0; i < 10; ++i) {
        m.state.textKinds[static_cast<std::size_t>(i)].colour = Int(f, i + 1);
    }
}

void ApplyBzFlag(DrawingModel& m, ReaderState&, const LineFields&) { m.state.bzFlag = true; }

void ApplyHnValues(DrawingModel& m, ReaderState&, const LineFields& f)
{
    for (std::int32_t i = 0; i < 4; ++i) {
        m.state.hnValues[static_cast<std::size_t>(i)] = Real(f, i + 1);
    }
}

// ---- Attribute lines ----
// The running attributes; the first line of each kind is also the host's current setting.

// Sets the running value of an attribute kind, and for the kind's first line (seen still false)
// its initial value too: the first value seen is the host's current setting, which a run draws
// with. True for that first line.
bool TakeAttribute(bool& seen, std::int32_t& initial, std::int32_t& running, std::int32_t value)
{
    const bool first = !seen;
    if (first) initial = value;
    seen = true;
    running = value;
    return first;
}

void ApplyLayerGroupName(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    m.state.layerGroupName[static_cast<std::size_t>(s.layerGroup)].assign(f[0].substr(3));
}

void ApplyLayerName(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    m.state.layerName[static_cast<std::size_t>(s.layerGroup * 16 + s.layer)].assign(
        f[0].substr(3));
}

void ApplyLayerGroup(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const std::int32_t g = HexDigitAfterKey(f[0]);
    TakeAttribute(s.seen.layerGroup, m.state.initialLayerGroup, s.layerGroup, g);
    if (f.count >= 2) m.state.layerGroupState[static_cast<std::size_t>(g)] = Int(f, 1);
}

void ApplyLayer(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const std::int32_t l = HexDigitAfterKey(f[0]);
    TakeAttribute(s.seen.layer, m.state.initialLayer, s.layer, l);
    if (f.count >= 2) {
        m.state.layerState[static_cast<std::size_t>(s.layerGroup * 16 + l)] = Int(f, 1);
    }
}

// "lc", "lt", "lw": the number behind the key.
std::int32_t NumberAfterKey(const LineFields& f) { return TextToIntOrZero(f[0].substr(2)); }

void ApplyColour(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const std::int32_t c = NumberAfterKey(f);
    TakeAttribute(s.seen.colour, m.state.initialColour, s.colour, c);
    if (c == 10 && f.count >= 2) s.sColour = Int(f, 1);
}

void ApplyLineType(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TakeAttribute(s.seen.lineType, m.state.initialLineType, s.lineType, NumberAfterKey(f));
}

void ApplyLineWidth(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TakeAttribute(s.seen.lineWidth, m.state.initialLineWidth, s.lineWidth, NumberAfterKey(f));
}

// The font name has a rule of its own: the first name that is not empty is the initial one.
void ApplyFontName(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const std::string_view name = f[0].substr(3);
    if (m.state.initialFontName.empty()) m.state.initialFontName.assign(name);
    s.fontName.assign(name);
}

// "cnK", and for kind 0 with its four values also the free text size, which is initial when the
// line is the first of its kind.
void ApplyTextKind(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const std::int32_t k = NumberAfterKey(f);
    const bool first = TakeAttribute(s.seen.textKind, m.state.initialTextKind, s.textKind, k);
    if (k == 0 && f.count >= 5) {
        const TextKind size{Real(f, 1), Real(f, 2), Real(f, 3), Int(f, 4)};
        if (first) m.state.initialFreeText = size;
        s.freeText = size;
    }
}

void ApplyCcValue(DrawingModel&, ReaderState& s, const LineFields& f)
{
    const std::int32_t v = TextToIntOrZero(f[0].substr(2, 1));
    s.ccValue = v >= 0 && v <= 8 ? v : 0;
}

// "z1".."z5": bits 1..16, for the next entity only.
void ApplyZMark(DrawingModel&, ReaderState& s, const LineFields& f)
{
    s.zFlags |= 1 << (f[0][1] - '1');
}

void ApplyPointPen(DrawingModel&, ReaderState& s, const LineFields& f)
{
    s.pointPen = NumberAfterKey(f);
}

// ---- Mode lines ----

void StartPolyline(DrawingModel&, ReaderState& s, const LineFields&)
{
    // Wraps instead of overflowing on absurd files; no real drawing gets near.
    s.polylineCounter =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(s.polylineCounter) + 1u);
    s.inPolyline = true;
    s.dimensionFigureMode = false;
}

void StartDimensionFigure(DrawingModel&, ReaderState& s, const LineFields&)
{
    s.dimensionFigureMode = true;
    s.inPolyline = false;
}

void EndPolylineOrFigure(DrawingModel&, ReaderState& s, const LineFields&)
{
    s.inPolyline = false;
    s.dimensionFigureMode = false;
}

// ---- Indicated points and the hhp number ----

// "hpN x y" with an optional suffix after the number: "-", "ln", "ci" or "ch".
void ApplyIndicatedPoint(DrawingModel& m, ReaderState&, const LineFields& f)
{
    constexpr std::string_view kSuffixes[] = {"-", "ln", "ci", "ch"};
    const std::string_view key = f[0];
    std::string_view number = key.substr(2);
    std::int32_t suffixKind = 0;
    for (std::int32_t k = 0; k < 4; ++k) {
        const std::size_t at = key.find(kSuffixes[k]);
        if (at == std::string_view::npos) continue;
        number = at > 2 ? key.substr(2, at - 2) : std::string_view();
        suffixKind = k + 1;
    }
    const std::int32_t i = TextToIntOrZero(number);
    if (i < 1 || i > 99) return;
    IndicatedPoint& point = m.state.indicatedPoints[static_cast<std::size_t>(i)];
    point.present = true;
    point.x = Real(f, 1);
    point.y = Real(f, 2);
    point.suffixKind = suffixKind;
}

// "hhpN", where a suffix "ln", "ci" or "ch" behind the number ends it.
void ApplyHhpNumber(DrawingModel&, ReaderState& s, const LineFields& f)
{
    const std::string_view key = f[0];
    std::size_t count = key.size();
    for (std::string_view suffix : {"ln", "ci", "ch"}) {
        const std::size_t at = key.find(suffix);
        if (at != std::string_view::npos && at > 3) count = at - 3;
    }
    s.hhpNumber = TextToIntOrZero(key.substr(3, count));
}

// ---- Entities ----

void ApplyCircle(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntCircle& r = AppendEntity(m, m.circles, EntityKind::Circle, s);
    Store(PointAt(f, 1), r.centreX, r.centreY);
    r.radius = Real(f, 3);
    EndEntity(s);
}

void ApplyArc(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntArc& r = AppendEntity(m, m.arcs, EntityKind::Arc, s);
    Store(PointAt(f, 1), r.centreX, r.centreY);
    r.radius = Real(f, 3);
    r.startAngle = Real(f, 4);
    r.endAngle = Real(f, 5);
    r.flatness = Real(f, 6);
    r.tiltAngle = Real(f, 7);
    EndEntity(s);
}

// A text line; KeyCode is its key's place among "ch" "cv" "cs" "cr" "co" "cp" "ct" "ck" "cz" "c2".
template <std::int32_t KeyCode>
void ApplyText(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    FillText(AppendEntity(m, m.texts, EntityKind::Text, s), m.state, s, f, KeyCode);
    EndEntity(s);
}

// "cs" after "msg" is the text of a dimension figure, which takes the pending line.
void ApplyDimensionOrText(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    constexpr std::int32_t kCs = 2;
    if (!s.dimensionFigureMode) {
        ApplyText<kCs>(m, s, f);
        return;
    }
    TJwwEntDimension& r = AppendEntity(m, m.dimensions, EntityKind::Dimension, s);
    r.line = s.pendingDimensionLine;
    r.line.polylineNumber = 0;
    FillText(r.text, m.state, s, f, kCs);
    EndEntity(s);
}

// Points take the pen of the last "pn" line as their colour.
void ApplyPoint(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntPoint& r = AppendEntity(m, m.points, EntityKind::Point, s);
    r.attributes.colour = s.pointPen;
    Store(PointAt(f, 1), r.x, r.y);
    EndEntity(s);
}

void ApplyMarkerPoint(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntMarkerPoint& r = AppendEntity(m, m.markerPoints, EntityKind::MarkerPoint, s);
    r.attributes.colour = s.pointPen;
    Store(PointAt(f, 1), r.x, r.y);
    r.markerScale = Real(f, 3);
    r.markerAngle = Real(f, 4);
    r.markerCode = Int(f, 5);
    EndEntity(s);
}

void ApplyBlock(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntBlk& r = AppendEntity(m, m.blocks, EntityKind::Blk, s);
    Store(PointAt(f, 1), r.x, r.y);
    r.name.assign(f[3]);
    EndEntity(s);
}

// An "sl" figure whose points coincide is stored with the fewest distinct points.
void ApplyTwoPointSl(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    AppendSl2(m, s, PointAt(f, 1), PointAt(f, 3));
    EndEntity(s);
}

void ApplyThreePointSl(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const Pt p1 = PointAt(f, 1);
    const Pt p2 = PointAt(f, 3);
    const Pt p3 = PointAt(f, 5);
    if (SamePoint(p1, p2)) {
        AppendSl2(m, s, p1, p3);
    } else if (SamePoint(p2, p3)) {
        AppendSl2(m, s, p1, p2);
    } else {
        AppendSl3(m, s, p1, p2, p3);
    }
    EndEntity(s);
}

void ApplyFourPointSl(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    const Pt p1 = PointAt(f, 1);
    const Pt p2 = PointAt(f, 3);
    const Pt p3 = PointAt(f, 5);
    const Pt p4 = PointAt(f, 7);
    if (SamePoint(p1, p2) && SamePoint(p1, p3)) {
        AppendSl2(m, s, p1, p4);
    } else if (SamePoint(p2, p3) && SamePoint(p2, p4)) {
        AppendSl2(m, s, p1, p2);
    } else if (SamePoint(p1, p2) && SamePoint(p3, p4)) {
        AppendSl2(m, s, p1, p3);
    } else if (SamePoint(p4, p1) || SamePoint(p4, p2) || SamePoint(p4, p3)) {
        AppendSl3(m, s, p1, p2, p3);
    } else if (SamePoint(p3, p1) || SamePoint(p3, p2)) {
        AppendSl3(m, s, p1, p2, p4);
    } else if (SamePoint(p2, p1)) {
        AppendSl3(m, s, p1, p3, p4);
    } else {
        AppendSl4(m, s, p1, p2, p3, p4);
    }
    EndEntity(s);
}

// "sc"/"se": seven reals and an integer; "so"/"sg": eight reals. Table and Kind name the record.
template <std::vector<TJwwEntSc> DrawingModel::*Table, EntityKind Kind>
void ApplyScOrSe(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntSc& r = AppendSFigure(m, m.*Table, Kind, s);
    for (std::int32_t i = 0; i < 7; ++i) r.values[static_cast<std::size_t>(i)] = Real(f, i + 1);
    r.value8 = Int(f, 8);
    EndEntity(s);
}

template <std::vector<TJwwEntSo> DrawingModel::*Table, EntityKind Kind>
void ApplySoOrSg(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    TJwwEntSo& r = AppendSFigure(m, m.*Table, Kind, s);
    for (std::int32_t i = 0; i < 8; ++i) r.values[static_cast<std::size_t>(i)] = Real(f, i + 1);
    EndEntity(s);
}

void ApplyLineSegment(DrawingModel& m, ReaderState& s, const LineFields& f)
{
    ApplySegmentLine(m, s, Real(f, 0), Real(f, 1), Real(f, 2), Real(f, 3));
}

void IgnoreLine(DrawingModel&, ReaderState&, const LineFields&) {}

// ---- The line forms ----

enum class KeyMatch : std::uint8_t { Exact, StartsWith, Contains, AnyKey };
enum class FieldCount : std::uint8_t { Any, Exactly, AtLeast };  // n, the key included

struct LineForm {
    KeyMatch match;
    std::string_view key;
    FieldCount rule;
    std::int32_t fields;  // k of "n == k" or "n >= k"
    LineHandler apply;
};

using enum KeyMatch;
using enum FieldCount;

// In the order of precedence: the first row whose key and field count fit takes the line. A line
// whose key fits a row but whose count does not goes on to the later rows.
constexpr LineForm kLineForms[] = {
    {Exact, "", Exactly, 1, IgnoreLine},  // an empty line
    {Contains, "file=", Any, 0, ApplyDrawingFileName},
    {Exact, "hk", AtLeast, 2, ApplyAxisAngle},
    {Exact, "hs", AtLeast, 17, ApplyLayerGroupScales},
    {Exact, "hzs", AtLeast, 3, ApplyPaperSize},
    {Exact, "hcw", AtLeast, 11, ApplyTextKindSizes<&TextKind::width>},
    {Exact, "hch", AtLeast, 11, ApplyTextKindSizes<&TextKind::height>},
    {Exact, "hcd", AtLeast, 11, ApplyTextKindSizes<&TextKind::spacing>},
    {Exact, "hcc", AtLeast, 11, ApplyTextKindColours},
    {Exact, "bz", Any, 0, ApplyBzFlag},
    {Exact, "hn", AtLeast, 5, ApplyHnValues},
    // The name lines come before "lg"/"ly" so that a name never selects a group or layer.
    {StartsWith, "lgn", Any, 0, ApplyLayerGroupName},
    {StartsWith, "lyn", Any, 0, ApplyLayerName},
    {StartsWith, "lg", Any, 0, ApplyLayerGroup},
    {StartsWith, "ly", Any, 0, ApplyLayer},
    {StartsWith, "lc", Any, 0, ApplyColour},
    {StartsWith, "lt", Any, 0, ApplyLineType},
    {StartsWith, "lw", Any, 0, ApplyLineWidth},
    // Before "cn": a font line never changes the text kind.
    {StartsWith, "cn$", Any, 0, ApplyFontName},
    {StartsWith, "cn", Any, 0, ApplyTextKind},
    {StartsWith, "cc", Any, 0, ApplyCcValue},
    {Exact, "z1", Any, 0, ApplyZMark},
    {Exact, "z2", Any, 0, ApplyZMark},
    {Exact, "z3", Any, 0, ApplyZMark},
    {Exact, "z4", Any, 0, ApplyZMark},
    {Exact, "z5", Any, 0, ApplyZMark},
    {StartsWith, "pn", Any, 0, ApplyPointPen},
    {Exact, "pl", Any, 0, StartPolyline},
    {Exact, "msg", Any, 0, StartDimensionFigure},
    {Exact, "#", Any, 0, EndPolylineOrFigure},
    {StartsWith, "hp", AtLeast, 3, ApplyIndicatedPoint},
    {StartsWith, "hhp", Any, 0, ApplyHhpNumber},
    {Exact, "ci", Exactly, 4, ApplyCircle},
    {Exact, "ci", AtLeast, 8, ApplyArc},
    {Exact, "ch", AtLeast, 6, ApplyText<0>},
    {Exact, "cv", AtLeast, 6, ApplyText<1>},
    {Exact, "cs", AtLeast, 6, ApplyDimensionOrText},
    {Exact, "cr", AtLeast, 6, ApplyText<3>},
    {Exact, "co", AtLeast, 6, ApplyText<4>},
    {Exact, "cp", AtLeast, 6, ApplyText<5>},
    {Exact, "ct", AtLeast, 6, ApplyText<6>},
    {Exact, "ck", AtLeast, 6, ApplyText<7>},
    {Exact, "cz", AtLeast, 6, ApplyText<8>},
    {Exact, "c2", AtLeast, 6, ApplyText<9>},
    {Exact, "pt", Exactly, 3, ApplyPoint},
    {Exact, "pt", AtLeast, 6, ApplyMarkerPoint},
    {Exact, "BL", AtLeast, 4, ApplyBlock},
    {Exact, "sl", Exactly, 5, ApplyTwoPointSl},
    {Exact, "sl", Exactly, 7, ApplyThreePointSl},
    {Exact, "sl", AtLeast, 9, ApplyFourPointSl},
    {Exact, "sc", AtLeast, 9, ApplyScOrSe<&DrawingModel::sc, EntityKind::Sc>},
    {Exact, "se", AtLeast, 9, ApplyScOrSe<&DrawingModel::se, EntityKind::Se>},
    {Exact, "so", AtLeast, 9, ApplySoOrSg<&DrawingModel::so, EntityKind::So>},
    {Exact, "sg", AtLeast, 9, ApplySoOrSg<&DrawingModel::sg, EntityKind::Sg>},
    // Any other line of exactly four fields, also a keyword line whose count fit none of the
    // rows above (its key reads as the number 0).
    {AnyKey, "", Exactly, 4, ApplyLineSegment},
};

bool CountFits(const LineForm& form, std::int32_t n)
{
    switch (form.rule) {
    case Any: return true;
    case Exactly: return n == form.fields;
    case AtLeast: return n >= form.fields;
    }
    return false;
}

bool KeyFits(const LineForm& form, std::string_view key)
{
    switch (form.match) {
    case Exact: return key == form.key;
    case StartsWith: return key.starts_with(form.key);
    case Contains: return key.find(form.key) != std::string_view::npos;
    case AnyKey: return true;
    }
    return false;
}

// A shortcut through the table, so that a line (most are segments) is not compared with every
// row: the rows whose key could fit a key that begins with a given byte (entry 256: the empty
// key), one bit per row in the table's order. A row left out could never fit; the rows kept are
// still tested in full and in order, so the first that fits is the one the table names.
using RowSet = std::uint64_t;
static_assert(std::size(kLineForms) <= 64, "one bit per row");
constexpr std::size_t kEmptyKey = 256;

constexpr bool CouldFitKeyStartingWith(const LineForm& form, std::size_t first)
{
    switch (form.match) {
    case Exact:
    case StartsWith:
        if (form.key.empty()) return form.match == StartsWith || first == kEmptyKey;
        return first == static_cast<unsigned char>(form.key.front());
    case Contains:
    case AnyKey: return true;
    }
    return true;
}

constexpr std::array<RowSet, kEmptyKey + 1> kRowsByFirstByte = [] {
    std::array<RowSet, kEmptyKey + 1> rows{};
    for (std::size_t first = 0; first < rows.size(); ++first) {
        for (std::size_t i = 0; i < std::size(kLineForms); ++i) {
            if (CouldFitKeyStartingWith(kLineForms[i], first)) rows[first] |= RowSet{1} << i;
        }
    }
    return rows;
}();

// Applies a line that has been split into s.fields: the first row that fits takes it.
void ApplyFields(DrawingModel& model, ReaderState& s)
{
    const LineFields& f = s.fields;
    const std::string_view key = f[0];
    RowSet rows = kRowsByFirstByte[key.empty() ? kEmptyKey : static_cast<unsigned char>(key[0])];
    while (rows != 0) {
        const LineForm& form = kLineForms[std::countr_zero(rows)];
        rows &= rows - 1;
        if (CountFits(form, f.count) && KeyFits(form, key)) {
            form.apply(model, s, f);
            return;
        }
    }
}

}  // namespace

void ParseExchangeLine(DrawingModel& model, ReaderState& state, std::string_view line)
{
    SplitExchangeLine(line, state.fields);
    ApplyFields(model, state);
}

}  // namespace RidEdaza
