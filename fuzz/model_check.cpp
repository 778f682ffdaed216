#include "model_check.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "common/text.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/exchange_reader_internal.hpp"
#include "fuzz_support.hpp"

namespace Fuzz {
namespace {

using namespace RidEdaza;

// Appends fields to the digest and checks each on the way.
class Walker {
public:
    void Real(double v, const char* what)
    {
        if (!std::isfinite(v)) Fail("a real in the model is not finite", what);
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        digest_ += std::to_string(bits);
        digest_ += ' ';
    }
    void Reals(std::initializer_list<double> values, const char* what)
    {
        for (double v : values) Real(v, what);
    }
    void Int(std::int32_t v)
    {
        digest_ += std::to_string(v);
        digest_ += ' ';
    }
    void Text(const std::string& t)
    {
        digest_ += std::to_string(t.size());
        digest_ += ':';
        digest_ += t;
        digest_ += ' ';
    }
    void Field(const std::string& t, const char* what)
    {
        if (t.size() > MyFunc::kMaxLineBytes) Fail("a text field is over 255 bytes", what);
        if (!EndsOnWholeCharacter(t)) Fail("a text field ends in half a character", what);
        Text(t);
    }
    void Attributes(const EntityAttributes& a)
    {
        if (a.layerGroup < 0 || a.layerGroup > 15) Fail("layer group outside 0..15");
        if (a.layer < 0 || a.layer > 15) Fail("layer outside 0..15");
        if (a.zFlags < 0 || a.zFlags > 31) Fail("z flags outside their five bits");
        Int(a.hhpNumber);
        Int(a.layerGroup);
        Int(a.layer);
        Int(a.colour);
        Int(a.lineType);
        Int(a.lineWidth);
        Int(a.zFlags);
    }
    // An entity of attributes and reals.
    void Record(const EntityAttributes& a, std::initializer_list<double> reals, const char* what)
    {
        Attributes(a);
        Reals(reals, what);
    }
    // The "s" figures begin with their colour number.
    void SFigure(const EntityAttributes& a, std::int32_t sColour)
    {
        Attributes(a);
        Int(sColour);
    }
    void Kind(const TextKind& k)
    {
        Real(k.width, "text width");
        Real(k.height, "text height");
        Real(k.spacing, "text spacing");
        Int(k.colour);
    }
    void Line(const TJwwEntLine& l)
    {
        Attributes(l.attributes);
        Int(l.polylineNumber);
        Reals({l.x1, l.y1, l.x2, l.y2}, "line");
    }
    void TextRecord(const TJwwEntText& t)
    {
        Attributes(t.attributes);
        if (t.keyCode < 0 || t.keyCode > 9) Fail("text key code outside 0..9");
        if (t.ccValue < 0 || t.ccValue > 8) Fail("cc value outside 0..8");
        Int(t.keyCode);
        Int(t.ccValue);
        Int(t.textKind);
        Reals({t.width, t.height, t.spacing, t.x, t.y, t.dirX, t.dirY}, "text");
        Field(t.fontName, "font name");
        Field(t.text, "text");
    }
    void Mark(char c)
    {
        digest_ += c;
        digest_ += '\n';
    }
    std::string& digest() { return digest_; }

private:
    std::string digest_;
};

}  // namespace

void CheckModel(const DrawingModel& model)
{
    (void)ModelDigest(model);
}

std::string ModelDigest(const DrawingModel& model)
{
    Walker w;
    const DrawingState& s = model.state;
    w.Text(s.drawingFileName);
    w.Real(s.axisAngle, "axis angle");
    for (double v : s.layerGroupScale) w.Real(v, "layer group scale");
    w.Real(s.paperWidth, "paper width");
    w.Real(s.paperHeight, "paper height");
    for (const TextKind& k : s.textKinds) w.Kind(k);
    w.Int(s.bzFlag ? 1 : 0);
    for (double v : s.hnValues) w.Real(v, "hn value");
    if (s.initialLayerGroup < 0 || s.initialLayerGroup > 15) {
        Fail("initial layer group outside 0..15");
    }
    if (s.initialLayer < 0 || s.initialLayer > 15) Fail("initial layer outside 0..15");
    w.Int(s.initialLayerGroup);
    w.Int(s.initialLayer);
    w.Int(s.initialColour);
    w.Int(s.initialLineType);
    w.Int(s.initialLineWidth);
    w.Int(s.initialTextKind);
    w.Kind(s.initialFreeText);
    w.Text(s.initialFontName);
    for (std::int32_t v : s.layerGroupState) w.Int(v);
    for (const std::string& t : s.layerGroupName) w.Text(t);
    for (std::int32_t v : s.layerState) w.Int(v);
    for (const std::string& t : s.layerName) w.Text(t);
    if (s.indicatedPoints[0].present) Fail("indicated point 0 is present");
    for (const IndicatedPoint& p : s.indicatedPoints) {
        if (p.suffixKind < 0 || p.suffixKind > 4) Fail("indicated point suffix outside 0..4");
        w.Int(p.present ? 1 : 0);
        w.Real(p.x, "indicated point");
        w.Real(p.y, "indicated point");
        w.Int(p.suffixKind);
    }
    w.Mark('L');
    for (const TJwwEntLine& l : model.lines) w.Line(l);
    w.Mark('C');
    for (const TJwwEntCircle& c : model.circles) {
        w.Record(c.attributes, {c.centreX, c.centreY, c.radius}, "circle");
    }
    w.Mark('A');
    for (const TJwwEntArc& a : model.arcs) {
        w.Record(a.attributes,
                 {a.centreX, a.centreY, a.radius, a.startAngle, a.endAngle, a.flatness,
                  a.tiltAngle},
                 "arc");
    }
    w.Mark('T');
    for (const TJwwEntText& t : model.texts) w.TextRecord(t);
    w.Mark('P');
    for (const TJwwEntPoint& p : model.points) w.Record(p.attributes, {p.x, p.y}, "point");
    w.Mark('M');
    for (const TJwwEntMarkerPoint& p : model.markerPoints) {
        w.Record(p.attributes, {p.x, p.y, p.markerScale, p.markerAngle}, "marker point");
        w.Int(p.markerCode);
    }
    w.Mark('D');
    for (const TJwwEntDimension& d : model.dimensions) {
        w.Attributes(d.attributes);
        if (d.line.polylineNumber != 0) Fail("a dimension figure's line has a polyline number");
        w.Line(d.line);
        if (d.text.keyCode != 2) Fail("a dimension figure's text is not a cs text");
        w.TextRecord(d.text);
    }
    w.Mark('B');
    for (const TJwwEntBlk& b : model.blocks) {
        w.Record(b.attributes, {b.x, b.y}, "block");
        w.Text(b.name);
    }
    w.Mark('2');
    for (const TJwwEntSl2& e : model.sl2) {
        w.SFigure(e.attributes, e.sColour);
        w.Reals({e.x1, e.y1, e.x2, e.y2}, "sl");
    }
    w.Mark('3');
    for (const TJwwEntSl3& e : model.sl3) {
        w.SFigure(e.attributes, e.sColour);
        w.Reals({e.x1, e.y1, e.x2, e.y2, e.x3, e.y3}, "sl");
    }
    w.Mark('4');
    for (const TJwwEntSl4& e : model.sl4) {
        w.SFigure(e.attributes, e.sColour);
        w.Reals({e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4}, "sl");
    }
    for (const auto* table : {&model.sc, &model.se}) {
        w.Mark('c');
        for (const TJwwEntSc& e : *table) {
            w.SFigure(e.attributes, e.sColour);
            for (double v : e.values) w.Real(v, "sc/se");
            w.Int(e.value8);
        }
    }
    for (const auto* table : {&model.so, &model.sg}) {
        w.Mark('o');
        for (const TJwwEntSo& e : *table) {
            w.SFigure(e.attributes, e.sColour);
            for (double v : e.values) w.Real(v, "so/sg");
        }
    }

    // One pair per record, in each kind's table order.
    const std::array<std::size_t, 16> sizes = {
        0,
        model.lines.size(), model.circles.size(), model.arcs.size(), model.texts.size(),
        model.points.size(), model.markerPoints.size(), model.dimensions.size(),
        model.blocks.size(), model.sl2.size(), model.sl3.size(), model.sl4.size(),
        model.sc.size(), model.se.size(), model.so.size(), model.sg.size()};
    std::array<std::size_t, 16> seen{};
    w.Mark('O');
    for (const EntityOrderEntry& e : model.order) {
        const auto kind = static_cast<std::int32_t>(e.kind);
        if (kind < 1 || kind > 15) Fail("an EntityOrder pair names no entity kind");
        const auto k = static_cast<std::size_t>(kind);
        if (e.position < 0 || static_cast<std::size_t>(e.position) != seen[k]) {
            Fail("EntityOrder positions do not count up within their kind");
        }
        ++seen[k];
        w.Int(kind);
    }
    if (seen != sizes) Fail("EntityOrder does not hold one pair per record");
    return std::move(w.digest());
}

std::string DigestReadLineByLine(std::string_view bytes)
{
    RidEdaza::DrawingModel model;
    RidEdaza::CommandBuffer buffer;
    RidEdaza::InitDrawingModel(model, buffer);
    RidEdaza::ReaderState state;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string line;
        for (const char c : bytes.substr(start, end - start)) {
            if (c != '\r') line.push_back(c);
        }
        if (!line.empty() && line.front() == '\x1a') break;
        RidEdaza::ParseExchangeLine(model, state, line);
        start = end + 1;
    }
    return ModelDigest(model);
}

}  // namespace Fuzz
