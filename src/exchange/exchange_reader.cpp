#include "exchange/exchange_reader.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "common/text.hpp"
#include "exchange/exchange_reader_internal.hpp"

namespace RidEdaza {
namespace {

using MyFunc::CutToWholeChars;
using MyFunc::IsLeadByte;
using MyFunc::kMaxLineBytes;
using MyFunc::TextToIntOrZero;
using MyFunc::TextToRealOrZero;

// Bytes that go into the current field as they are, in runs: everything that is neither a lead
// byte, nor a control byte or 0xFE/0xFF, nor (while splitting) a separator, quote or equals sign.
bool IsPlainByte(unsigned char b, bool splitting)
{
    if (b < 0x20 || b > 0xFD || IsLeadByte(b)) return false;
    return !splitting || (b != ' ' && b != '"' && b != '=');
}

double Real(const LineFields& f, std::int32_t i) { return TextToRealOrZero(f[i]); }
std::int32_t Int(const LineFields& f, std::int32_t i) { return TextToIntOrZero(f[i]); }

// The layer group or layer digit of "lg"/"ly": the third byte read as one hex digit.
std::int32_t HexDigitAfterKey(std::string_view key)
{
    const char text[2] = {'$', key.size() >= 3 ? key[2] : '\0'};
    const std::int32_t value = TextToIntOrZero(std::string_view(text, key.size() >= 3 ? 2 : 1));
    return value >= 0 && value <= 15 ? value : 0;
}

EntityAttributes RunningAttributes(const ReaderState& s)
{
    return {s.hhpNumber, s.layerGroup, s.layer, s.colour, s.lineType, s.lineWidth, s.zFlags};
}

// Adds the order pair first, then the record, so that the pair names the record's position.
template <typename Record>
Record& AppendEntity(DrawingModel& model, std::vector<Record>& table, EntityKind kind)
{
    model.order.push_back({kind, static_cast<std::int32_t>(table.size())});
    Record& record = table.emplace_back();
    return record;
}

// After every entity other than a line segment: the marks were used, and a polyline or a
// dimension figure cannot continue across another entity.
void EndEntity(ReaderState& s)
{
    s.zFlags = 0;
    s.inPolyline = false;
    s.dimensionFigureMode = false;
}

constexpr std::string_view kTextKeys[] = {"ch", "cv", "cs", "cr", "co",
                                          "cp", "ct", "ck", "cz", "c2"};
constexpr std::int32_t kDimensionTextKey = 2;  // "cs"

std::int32_t TextKeyCode(std::string_view key)
{
    for (std::int32_t i = 0; i < 10; ++i) {
        if (key == kTextKeys[i]) return i;
    }
    return -1;
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

bool SameValue(double a, double b)
{
    const long double d = static_cast<long double>(a) - static_cast<long double>(b);
    return d <= 1e-10L && d >= -1e-10L;
}

bool SamePoint(Pt a, Pt b) { return SameValue(a.x, b.x) && SameValue(a.y, b.y); }

void AppendSl2(DrawingModel& model, const ReaderState& s, Pt a, Pt b)
{
    TJwwEntSl2& r = AppendEntity(model, model.sl2, EntityKind::Sl2);
    r.attributes = RunningAttributes(s);
    r.sColour = s.sColour;
    r.x1 = a.x;
    r.y1 = a.y;
    r.x2 = b.x;
    r.y2 = b.y;
}

void AppendSl3(DrawingModel& model, const ReaderState& s, Pt a, Pt b, Pt c)
{
    TJwwEntSl3& r = AppendEntity(model, model.sl3, EntityKind::Sl3);
    r.attributes = RunningAttributes(s);
    r.sColour = s.sColour;
    r.x1 = a.x;
    r.y1 = a.y;
    r.x2 = b.x;
    r.y2 = b.y;
    r.x3 = c.x;
    r.y3 = c.y;
}

void AppendSl4(DrawingModel& model, const ReaderState& s, Pt a, Pt b, Pt c, Pt d)
{
    TJwwEntSl4& r = AppendEntity(model, model.sl4, EntityKind::Sl4);
    r.attributes = RunningAttributes(s);
    r.sColour = s.sColour;
    r.x1 = a.x;
    r.y1 = a.y;
    r.x2 = b.x;
    r.y2 = b.y;
    r.x3 = c.x;
    r.y3 = c.y;
    r.x4 = d.x;
    r.y4 = d.y;
}

// An "sl" figure whose points coincide is stored with the fewest distinct points.
void ApplyThreePointSl(DrawingModel& model, const ReaderState& s, const LineFields& f)
{
    const Pt p1{Real(f, 1), Real(f, 2)};
    const Pt p2{Real(f, 3), Real(f, 4)};
    const Pt p3{Real(f, 5), Real(f, 6)};
    if (SamePoint(p1, p2)) {
        AppendSl2(model, s, p1, p3);
    } else if (SamePoint(p2, p3)) {
        AppendSl2(model, s, p1, p2);
    } else {
        AppendSl3(model, s, p1, p2, p3);
    }
}

void ApplyFourPointSl(DrawingModel& model, const ReaderState& s, const LineFields& f)
{
    const Pt p1{Real(f, 1), Real(f, 2)};
    const Pt p2{Real(f, 3), Real(f, 4)};
    const Pt p3{Real(f, 5), Real(f, 6)};
    const Pt p4{Real(f, 7), Real(f, 8)};
    if (SamePoint(p1, p2) && SamePoint(p1, p3)) {
        AppendSl2(model, s, p1, p4);
    } else if (SamePoint(p2, p3) && SamePoint(p2, p4)) {
        AppendSl2(model, s, p1, p2);
    } else if (SamePoint(p1, p2) && SamePoint(p3, p4)) {
        AppendSl2(model, s, p1, p3);
    } else if (SamePoint(p4, p1) || SamePoint(p4, p2) || SamePoint(p4, p3)) {
        AppendSl3(model, s, p1, p2, p3);
    } else if (SamePoint(p3, p1) || SamePoint(p3, p2)) {
        AppendSl3(model, s, p1, p2, p4);
    } else if (SamePoint(p2, p1)) {
        AppendSl3(model, s, p1, p3, p4);
    } else {
        AppendSl4(model, s, p1, p2, p3, p4);
    }
}

// "hpN x y" with an optional suffix after the number: "-", "ln", "ci" or "ch".
void ApplyIndicatedPoint(DrawingState& drawing, std::string_view key, const LineFields& f)
{
    constexpr std::string_view kSuffixes[] = {"-", "ln", "ci", "ch"};
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
    IndicatedPoint& point = drawing.indicatedPoints[static_cast<std::size_t>(i)];
    point.present = true;
    point.x = Real(f, 1);
    point.y = Real(f, 2);
    point.suffixKind = suffixKind;
}

// "hhpN", where a suffix "ln", "ci" or "ch" behind the number ends it.
std::int32_t HhpNumber(std::string_view key)
{
    std::size_t count = key.size();
    for (std::string_view suffix : {"ln", "ci", "ch"}) {
        const std::size_t at = key.find(suffix);
        if (at != std::string_view::npos && at > 3) count = at - 3;
    }
    return TextToIntOrZero(key.substr(3, count));
}

void ApplyLineSegment(DrawingModel& model, ReaderState& s, const LineFields& f)
{
    TJwwEntLine line;
    line.attributes = RunningAttributes(s);
    line.x1 = Real(f, 0);
    line.y1 = Real(f, 1);
    line.x2 = Real(f, 2);
    line.y2 = Real(f, 3);
    if (s.dimensionFigureMode) {
        line.polylineNumber = 0;
        s.pendingDimensionLine = line;
    } else {
        line.polylineNumber = s.inPolyline ? s.polylineCounter : 0;
        AppendEntity(model, model.lines, EntityKind::Line) = line;
    }
    s.zFlags = 0;
}

// Applies a line that has been split into s.fields, row by row in the order of precedence: the
// first row whose key and field count fit takes the line.
void ApplyFields(DrawingModel& model, ReaderState& s)
{
    const LineFields& f = s.fields;
    const std::int32_t n = f.count;
    const std::string_view key = f[0];
    DrawingState& drawing = model.state;

    if (n == 1 && key.empty()) return;

    if (key.find("file=") != std::string_view::npos) {
        drawing.drawingFileName.assign(key.substr(5));
        return;
    }
    if (key == "hk" && n >= 2) {
        drawing.axisAngle = Real(f, 1);
        return;
    }
    if (key == "hs" && n >= 17) {
        for (std::int32_t i = 0; i < 16; ++i) {
            drawing.layerGroupScale[static_cast<std::size_t>(i)] = Real(f, i + 1);
        }
        return;
    }
    if (key == "hzs" && n >= 3) {
        drawing.paperWidth = Real(f, 1);
        drawing.paperHeight = Real(f, 2);
        return;
    }
    if ((key == "hcw" || key == "hch" || key == "hcd" || key == "hcc") && n >= 11) {
        for (std::int32_t i = 0; i < 10; ++i) {
            TextKind& kind = drawing.textKinds[static_cast<std::size_t>(i)];
            if (key == "hcw") kind.width = Real(f, i + 1);
            if (key == "hch") kind.height = Real(f, i + 1);
            if (key == "hcd") kind.spacing = Real(f, i + 1);
            if (key == "hcc") kind.colour = Int(f, i + 1);
        }
        return;
    }
    if (key == "bz") {
        drawing.bzFlag = true;
        return;
    }
    if (key == "hn" && n >= 5) {
        for (std::int32_t i = 0; i < 4; ++i) {
            drawing.hnValues[static_cast<std::size_t>(i)] = Real(f, i + 1);
        }
        return;
    }
    // The name lines come before "lg"/"ly" so that a name never selects a group or layer.
    if (key.starts_with("lgn")) {
        drawing.layerGroupName[static_cast<std::size_t>(s.layerGroup)].assign(key.substr(3));
        return;
    }
    if (key.starts_with("lyn")) {
        drawing.layerName[static_cast<std::size_t>(s.layerGroup * 16 + s.layer)].assign(
            key.substr(3));
        return;
    }
    if (key.starts_with("lg")) {
        const std::int32_t g = HexDigitAfterKey(key);
        if (!s.seen.layerGroup) drawing.initialLayerGroup = g;
        s.seen.layerGroup = true;
        s.layerGroup = g;
        if (n >= 2) drawing.layerGroupState[static_cast<std::size_t>(g)] = Int(f, 1);
        return;
    }
    if (key.starts_with("ly")) {
        const std::int32_t l = HexDigitAfterKey(key);
        if (!s.seen.layer) drawing.initialLayer = l;
        s.seen.layer = true;
        s.layer = l;
        if (n >= 2) drawing.layerState[static_cast<std::size_t>(s.layerGroup * 16 + l)] = Int(f, 1);
        return;
    }
    if (key.starts_with("lc")) {
        const std::int32_t c = TextToIntOrZero(key.substr(2));
        if (!s.seen.colour) drawing.initialColour = c;
        s.seen.colour = true;
        s.colour = c;
        if (c == 10 && n >= 2) s.sColour = Int(f, 1);
        return;
    }
    if (key.starts_with("lt")) {
        const std::int32_t t = TextToIntOrZero(key.substr(2));
        if (!s.seen.lineType) drawing.initialLineType = t;
        s.seen.lineType = true;
        s.lineType = t;
        return;
    }
    if (key.starts_with("lw")) {
        const std::int32_t w = TextToIntOrZero(key.substr(2));
        if (!s.seen.lineWidth) drawing.initialLineWidth = w;
        s.seen.lineWidth = true;
        s.lineWidth = w;
        return;
    }
    // Before "cn": a font line never changes the text kind.
    if (key.starts_with("cn$")) {
        const std::string_view name = key.substr(3);
        if (drawing.initialFontName.empty()) drawing.initialFontName.assign(name);
        s.fontName.assign(name);
        return;
    }
    if (key.starts_with("cn")) {
        const std::int32_t k = TextToIntOrZero(key.substr(2));
        const bool freeSize = k == 0 && n >= 5;
        const TextKind size{Real(f, 1), Real(f, 2), Real(f, 3), Int(f, 4)};
        if (!s.seen.textKind) {
            drawing.initialTextKind = k;
            if (freeSize) drawing.initialFreeText = size;
        }
        s.seen.textKind = true;
        s.textKind = k;
        if (freeSize) s.freeText = size;
        return;
    }
    if (key.starts_with("cc")) {
        const std::int32_t v = TextToIntOrZero(key.substr(2, 1));
        s.ccValue = v >= 0 && v <= 8 ? v : 0;
        return;
    }
    if (key.size() == 2 && key[0] == 'z' && key[1] >= '1' && key[1] <= '5') {
        s.zFlags |= 1 << (key[1] - '1');
        return;
    }
    if (key.starts_with("pn")) {
        s.pointPen = TextToIntOrZero(key.substr(2));
        return;
    }
    if (key == "pl") {
        // Wraps instead of overflowing on absurd files; no real drawing gets near.
        s.polylineCounter =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(s.polylineCounter) + 1u);
        s.inPolyline = true;
        s.dimensionFigureMode = false;
        return;
    }
    if (key == "msg") {
        s.dimensionFigureMode = true;
        s.inPolyline = false;
        return;
    }
    if (key == "#") {
        s.inPolyline = false;
        s.dimensionFigureMode = false;
        return;
    }
    if (key.starts_with("hp") && n >= 3) {
        ApplyIndicatedPoint(drawing, key, f);
        return;
    }
    if (key.starts_with("hhp")) {
        s.hhpNumber = HhpNumber(key);
        return;
    }
    if (key == "ci" && n == 4) {
        TJwwEntCircle& r = AppendEntity(model, model.circles, EntityKind::Circle);
        r.attributes = RunningAttributes(s);
        r.centreX = Real(f, 1);
        r.centreY = Real(f, 2);
        r.radius = Real(f, 3);
        EndEntity(s);
        return;
    }
    if (key == "ci" && n >= 8) {
        TJwwEntArc& r = AppendEntity(model, model.arcs, EntityKind::Arc);
        r.attributes = RunningAttributes(s);
        r.centreX = Real(f, 1);
        r.centreY = Real(f, 2);
        r.radius = Real(f, 3);
        r.startAngle = Real(f, 4);
        r.endAngle = Real(f, 5);
        r.flatness = Real(f, 6);
        r.tiltAngle = Real(f, 7);
        EndEntity(s);
        return;
    }
    if (n >= 6) {
        const std::int32_t keyCode = TextKeyCode(key);
        if (keyCode == kDimensionTextKey && s.dimensionFigureMode) {
            TJwwEntDimension& r = AppendEntity(model, model.dimensions, EntityKind::Dimension);
            r.attributes = RunningAttributes(s);
            r.line = s.pendingDimensionLine;
            r.line.polylineNumber = 0;
            FillText(r.text, drawing, s, f, keyCode);
            EndEntity(s);
            return;
        }
        if (keyCode >= 0) {
            FillText(AppendEntity(model, model.texts, EntityKind::Text), drawing, s, f, keyCode);
            EndEntity(s);
            return;
        }
    }
    if (key == "pt" && n == 3) {
        TJwwEntPoint& r = AppendEntity(model, model.points, EntityKind::Point);
        r.attributes = RunningAttributes(s);
        r.attributes.colour = s.pointPen;
        r.x = Real(f, 1);
        r.y = Real(f, 2);
        EndEntity(s);
        return;
    }
    if (key == "pt" && n >= 6) {
        TJwwEntMarkerPoint& r = AppendEntity(model, model.markerPoints, EntityKind::MarkerPoint);
        r.attributes = RunningAttributes(s);
        r.attributes.colour = s.pointPen;
        r.x = Real(f, 1);
        r.y = Real(f, 2);
        r.markerScale = Real(f, 3);
        r.markerAngle = Real(f, 4);
        r.markerCode = Int(f, 5);
        EndEntity(s);
        return;
    }
    if (key == "BL" && n >= 4) {
        TJwwEntBlk& r = AppendEntity(model, model.blocks, EntityKind::Blk);
        r.attributes = RunningAttributes(s);
        r.x = Real(f, 1);
        r.y = Real(f, 2);
        r.name.assign(f[3]);
        EndEntity(s);
        return;
    }
    if (key == "sl" && n == 5) {
        AppendSl2(model, s, {Real(f, 1), Real(f, 2)}, {Real(f, 3), Real(f, 4)});
        EndEntity(s);
        return;
    }
    if (key == "sl" && n == 7) {
        ApplyThreePointSl(model, s, f);
        EndEntity(s);
        return;
    }
    if (key == "sl" && n >= 9) {
        ApplyFourPointSl(model, s, f);
        EndEntity(s);
        return;
    }
    if ((key == "sc" || key == "se") && n >= 9) {
        TJwwEntSc& r = key == "sc" ? AppendEntity(model, model.sc, EntityKind::Sc)
                                   : AppendEntity(model, model.se, EntityKind::Se);
        r.attributes = RunningAttributes(s);
        r.sColour = s.sColour;
        for (std::int32_t i = 0; i < 7; ++i) r.values[static_cast<std::size_t>(i)] = Real(f, i + 1);
        r.value8 = Int(f, 8);
        EndEntity(s);
        return;
    }
    if ((key == "so" || key == "sg") && n >= 9) {
        TJwwEntSo& r = key == "so" ? AppendEntity(model, model.so, EntityKind::So)
                                   : AppendEntity(model, model.sg, EntityKind::Sg);
        r.attributes = RunningAttributes(s);
        r.sColour = s.sColour;
        for (std::int32_t i = 0; i < 8; ++i) r.values[static_cast<std::size_t>(i)] = Real(f, i + 1);
        EndEntity(s);
        return;
    }
    // Any other line of exactly four fields is a segment, also a keyword line whose count fit
    // none of the rows above (its key reads as the number 0).
    if (n == 4) ApplyLineSegment(model, s, f);
}

// Applies one raw line of the file. False when it starts with Ctrl-Z, which ends the file.
// The bytes are ours: CR bytes are squeezed out in place.
bool ApplyRawLine(DrawingModel& model, ReaderState& state, char* data, std::size_t size)
{
    char* end = data + size;
    if (size > 0 && std::memchr(data, '\r', size) != nullptr) end = std::remove(data, end, '\r');
    const std::string_view line(data, static_cast<std::size_t>(end - data));
    if (!line.empty() && line.front() == '\x1a') return false;
    ParseExchangeLine(model, state, line);
    return true;
}

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

}  // namespace

void SplitExchangeLine(std::string_view line, LineFields& fields)
{
    for (std::int32_t i = 0; i < fields.count; ++i) {
        fields.text[static_cast<std::size_t>(i)].clear();
    }
    std::int32_t current = 0;
    bool splitting = true;
    const char* const p = line.data();
    const std::size_t size = line.size();
    std::size_t i = 0;
    while (i < size) {
        std::string& field = fields.text[static_cast<std::size_t>(current)];
        const auto b = static_cast<unsigned char>(p[i]);
        if (IsLeadByte(b)) {
            if (i + 1 == size) break;  // half a character at the end of the line
            field.append(p + i, 2);
            i += 2;
        } else if (splitting && b == '"') {
            splitting = false;
            ++i;
        } else if (splitting && b == '=') {
            field.push_back('=');
            splitting = false;
            ++i;
        } else if (splitting && (b == ' ' || b == '\t')) {
            if (!field.empty() && ++current == kMaxLineFields) break;  // further fields dropped
            ++i;
        } else if (IsPlainByte(b, splitting)) {
            std::size_t end = i + 1;
            while (end < size && IsPlainByte(static_cast<unsigned char>(p[end]), splitting)) ++end;
            field.append(p + i, end - i);
            i = end;
        } else {
            ++i;  // control bytes, 0xFE, 0xFF
        }
    }
    fields.count = std::min(current + 1, kMaxLineFields);
}

void ParseExchangeLine(DrawingModel& model, ReaderState& state, std::string_view line)
{
    SplitExchangeLine(line, state.fields);
    ApplyFields(model, state);
}

bool ReadExchangeFile(DrawingModel& model, const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return false;

    ReaderState state;
    std::vector<char> block(kBlockBytes);
    std::string carried;  // the start of a line that the block boundary cut
    for (;;) {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        char* start = block.data();
        char* const blockEnd = block.data() + got;
        while (start < blockEnd) {
            char* const lf = static_cast<char*>(
                std::memchr(start, '\n', static_cast<std::size_t>(blockEnd - start)));
            if (lf == nullptr) break;
            bool more = true;
            if (carried.empty()) {
                more = ApplyRawLine(model, state, start, static_cast<std::size_t>(lf - start));
            } else {
                carried.append(start, lf);
                more = ApplyRawLine(model, state, carried.data(), carried.size());
                carried.clear();
            }
            if (!more) return true;
            start = lf + 1;
        }
        carried.append(start, blockEnd);
        if (file.bad()) return false;
        if (got < block.size()) {
            if (!file.eof()) return false;
            break;
        }
    }
    if (!carried.empty()) ApplyRawLine(model, state, carried.data(), carried.size());
    return true;
}

}  // namespace RidEdaza
