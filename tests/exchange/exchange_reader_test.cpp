// Line splitting and the meaning of each exchange line.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "exchange/exchange_reader_internal.hpp"

using namespace RidEdaza;

namespace {

// <ＭＳ ゴシック>
const std::string kGothic = "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";

DrawingModel ReadLines(std::initializer_list<std::string_view> lines)
{
    DrawingModel model;
    ReaderState state;
    for (std::string_view line : lines) ParseExchangeLine(model, state, line);
    return model;
}

std::vector<EntityKind> Kinds(const DrawingModel& m)
{
    std::vector<EntityKind> kinds;
    for (const EntityOrderEntry& e : m.order) kinds.push_back(e.kind);
    return kinds;
}

std::vector<double> Coords(const TJwwEntLine& l) { return {l.x1, l.y1, l.x2, l.y2}; }

}  // namespace

TEST(SplitExchangeLine, FollowsBlanksQuotesEqualsAndDoubleByteCharacters)
{
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    };
    std::string numbers33, numbers32;
    for (int i = 1; i <= 33; ++i) numbers33 += std::to_string(i) + " ";
    std::vector<std::string> first32;
    for (int i = 1; i <= 32; ++i) first32.push_back(std::to_string(i));
    const Case cases[] = {
        {"", {""}},
        {"   \t ", {""}},
        {"\x01\x02\x1b", {""}},
        {"  hcc      1 \t 2", {"hcc", "1", "2"}},
        {"0 0 10 0 ", {"0", "0", "10", "0", ""}},  // the empty last field counts
        {"ch 1 2 3 4 \"\x82\x60 \x82\x61 C", {"ch", "1", "2", "3", "4", "\x82\x60 \x82\x61 C"}},
        {"ch 1 2 3 4 \"a \"b\" =c\td", {"ch", "1", "2", "3", "4", "a \"b\" =cd"}},
        {"cn\"$" + kGothic, {"cn$" + kGothic}},
        {"file=C:\\my plans\\a b.jww", {"file=C:\\my plans\\a b.jww"}},
        {"a=b \"c", {"a=b \"c"}},
        // The second byte of a pair never separates, quotes or ends splitting.
        {"\x81\x20 y", {"\x81\x20", "y"}},
        {"\x81\x22" "a b", {"\x81\x22" "a", "b"}},
        {"\x81\x3d b", {"\x81\x3d", "b"}},
        {std::string("\x82\x00 x", 4), {std::string("\x82\x00", 2), "x"}},
        // Half a character at the end is dropped; so are control bytes and 0xFE/0xFF.
        {"ab\x82", {"ab"}},
        {"ab \x82", {"ab", ""}},
        {std::string("a\x01" "b\x00\x7f c\xfe\xff", 9), {"ab\x7f", "c"}},
        {"\xb1\xb2 \xdf", {"\xb1\xb2", "\xdf"}},  // half-width katakana are single bytes
        {numbers33, first32},
        {numbers33.substr(0, numbers33.size() - 3) + "\"x y", first32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line [" + c.line + "]");
        LineFields fields;
        SplitExchangeLine("a b c d e f g h", fields);  // leftovers must not show through
        SplitExchangeLine(c.line, fields);
        ASSERT_EQ(fields.count, static_cast<std::int32_t>(c.fields.size()));
        for (std::int32_t i = 0; i < fields.count; ++i) {
            EXPECT_EQ(fields[i], c.fields[static_cast<std::size_t>(i)]) << "field " << i;
        }
        EXPECT_EQ(fields[fields.count], "");
    }
}

TEST(ParseExchangeLine, EachLineFormMakesItsRecordOrNone)
{
    using K = EntityKind;
    struct Case {
        const char* line;
        std::vector<EntityKind> kinds;
    };
    const Case cases[] = {
        {"0 0 10 0", {K::Line}},            {"0 0 10 0 ", {}},
        {"ci 0 0 5", {K::Circle}},          {"ci 0 0 5 ", {}},
        {"ci 0 0 5 0 90 1 0", {K::Arc}},    {"ci 0 0 5 0 90 1", {}},
        {"pt 1 2", {K::Point}},             {"pt 1 2 3 4", {}},
        {"pt 1 2 3 4 5", {K::MarkerPoint}}, {"BL 1 2 name", {K::Blk}},
        {"BL 1 2", {}},                     {"sl 1 2 3 4", {K::Sl2}},
        {"sl 1 2 3 4 5", {}},               {"sl 0 0 5 0 5 5 9", {}},
        {"sc 1 2 3 4 5 6 7 8", {K::Sc}},    {"se 1 2 3 4 5 6 7 8", {K::Se}},
        {"so 1 2 3 4 5 6 7 8", {K::So}},    {"sg 1 2 3 4 5 6 7 8 9", {K::Sg}},
        {"ch 10 20 10 0 abc", {K::Text}},   {"ch 10 20 10 0", {}},
        {"cv 0 0 1 0 a", {K::Text}},        {"cs 0 0 1 0 a", {K::Text}},
        {"cr 0 0 1 0 a", {K::Text}},        {"co 0 0 1 0 a", {K::Text}},
        {"cp 0 0 1 0 a", {K::Text}},        {"ct 0 0 1 0 a", {K::Text}},
        {"ck 0 0 1 0 a", {K::Text}},        {"cz 0 0 1 0 a", {K::Text}},
        {"c2 0 0 1 0 a", {K::Text}},        {"cx 0 0 1 0 a", {}},
        {"CH 0 0 1 0 a", {}},               {"Ci 0 0 5", {K::Line}},
        // A keyword whose field count fits no row of its own falls through to the segment.
        {"ch 1 2 3", {K::Line}},            {"hs 1 2 3", {K::Line}},
        {"hn 1 2 3", {K::Line}},            {"hcw 1 2 3", {K::Line}},
        {"pt 1 2 3", {K::Line}},            {"sl 1 2 3", {K::Line}},
        {"sc 1 2 3", {K::Line}},            {"hp5", {}},
        // Keywords whose row takes any count (or this count) never become segments.
        {"hk 1 2 3", {}},                   {"hzs 1 2 3", {}},
        {"lg1 2 3 4", {}},                  {"lgn 2 3 4", {}},
        {"cn$ 2 3 4", {}},                  {"cc1 2 3 4", {}},
        {"z1 2 3 4", {}},                   {"pn1 2 3 4", {}},
        {"pl 1 2 3", {}},                   {"msg 1 2 3", {}},
        {"# 1 2 3", {}},                    {"bz 1 2 3", {}},
        {"hp0 1 2 3", {}},                  {"hhp 1 2 3", {}},
        {"xfile= 1 2", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("line [") + c.line + "]");
        EXPECT_EQ(Kinds(ReadLines({c.line})), c.kinds);
    }
    const DrawingModel m = ReadLines({"ch 1 2 3"});
    EXPECT_EQ(Coords(m.lines.at(0)), (std::vector<double>{0, 1, 2, 3}));  // "ch" reads as 0
}

TEST(ParseExchangeLine, NameAndFontLinesNeverChangeGroupLayerOrTextKind)
{
    const DrawingModel m = ReadLines({"lg3", "ly5", "lgnWalls", "lynDoors", "cn4", "cn\"$Mincho",
                                      "0 0 1 1", "ch 0 0 1 0 x"});
    EXPECT_EQ(m.state.layerGroupName[3], "Walls");
    EXPECT_EQ(m.state.layerName[3 * 16 + 5], "Doors");
    EXPECT_EQ(m.lines.at(0).attributes.layerGroup, 3);
    EXPECT_EQ(m.lines.at(0).attributes.layer, 5);
    EXPECT_EQ(m.texts.at(0).textKind, 4);
    EXPECT_EQ(m.texts.at(0).fontName, "Mincho");
    EXPECT_EQ(m.state.initialTextKind, 4);
    EXPECT_EQ(m.state.initialFontName, "Mincho");
}

TEST(ParseExchangeLine, RunningAttributesAndTheirFirstLines)
{
    struct Case {
        std::initializer_list<std::string_view> lines;
        std::function<void(const DrawingModel&)> check;
    };
    const auto attr = [](const DrawingModel& m) {
        return m.lines.empty() ? EntityAttributes{} : m.lines.back().attributes;
    };
    const Case cases[] = {
        {{"lgA", "lyf", "0 0 1 1"}, [&](const DrawingModel& m) {
             EXPECT_EQ(attr(m).layerGroup, 10); EXPECT_EQ(attr(m).layer, 15); }},
        {{"lg5", "lgZ", "ly7", "ly", "0 0 1 1"}, [&](const DrawingModel& m) {
             EXPECT_EQ(attr(m).layerGroup, 0); EXPECT_EQ(attr(m).layer, 0);
             EXPECT_EQ(m.state.initialLayerGroup, 5); EXPECT_EQ(m.state.initialLayer, 7); }},
        {{"lg12 3", "ly2 9"}, [](const DrawingModel& m) {  // "lg12": only one digit counts
             EXPECT_EQ(m.state.layerGroupState[1], 3); EXPECT_EQ(m.state.layerState[16 + 2], 9); }},
        {{"lc3", "lc5", "lt2", "lt4", "lw1", "lw7", "0 0 1 1"}, [&](const DrawingModel& m) {
             EXPECT_EQ(m.state.initialColour, 3); EXPECT_EQ(attr(m).colour, 5);
             EXPECT_EQ(m.state.initialLineType, 2); EXPECT_EQ(attr(m).lineType, 4);
             EXPECT_EQ(m.state.initialLineWidth, 1); EXPECT_EQ(attr(m).lineWidth, 7); }},
        {{"lc$0A 255", "sl 0 0 1 1", "lc10", "lc3 7", "sl 0 0 1 1"}, [](const DrawingModel& m) {
             EXPECT_EQ(m.sl2.at(0).attributes.colour, 10); EXPECT_EQ(m.sl2.at(0).sColour, 255);
             EXPECT_EQ(m.sl2.at(1).sColour, 255); }},
        {{"lc3.5", "lt x", "0 0 1 1"}, [&](const DrawingModel& m) {
             EXPECT_EQ(attr(m).colour, 0); EXPECT_EQ(attr(m).lineType, 0); }},
        {{"hhp12ln", "0 0 1 1", "hhp7", "0 0 1 1", "hhp1ln2", "0 0 1 1", "hhpln", "0 0 1 1"},
         [](const DrawingModel& m) {
             EXPECT_EQ(m.lines.at(0).attributes.hhpNumber, 12);
             EXPECT_EQ(m.lines.at(1).attributes.hhpNumber, 7);
             EXPECT_EQ(m.lines.at(2).attributes.hhpNumber, 1);
             EXPECT_EQ(m.lines.at(3).attributes.hhpNumber, 0); }},
        {{"pn0x1F", "lc4", "pt 1 2", "pt 1 2 0.5 30 3"}, [](const DrawingModel& m) {
             EXPECT_EQ(m.points.at(0).attributes.colour, 31);
             EXPECT_EQ(m.markerPoints.at(0).attributes.colour, 31);
             EXPECT_EQ(m.markerPoints.at(0).markerCode, 3); }},
        {{"hk  +1.5e1", "hzs 420 297 1", "hn 1 -2 .5 1e3"}, [](const DrawingModel& m) {
             EXPECT_EQ(m.state.axisAngle, 15.0); EXPECT_EQ(m.state.paperWidth, 420.0);
             EXPECT_EQ(m.state.hnValues, (std::array<double, 4>{1, -2, 0.5, 1000})); }},
        {{"hk 1,5"}, [](const DrawingModel& m) { EXPECT_EQ(m.state.axisAngle, 0.0); }},
        {{"cc1x", "ch 0 0 1 0 a", "cc9", "ch 0 0 1 0 a", "cc12", "ch 0 0 1 0 a", "cc8",
          "ch 0 0 1 0 a"}, [](const DrawingModel& m) {
             EXPECT_EQ(m.texts.at(0).ccValue, 1); EXPECT_EQ(m.texts.at(1).ccValue, 0);
             EXPECT_EQ(m.texts.at(2).ccValue, 1); EXPECT_EQ(m.texts.at(3).ccValue, 8); }},
        {{"cn\"$", "cn\"$A", "cn\"$B", "ch 0 0 1 0 a", "cn\"$", "ch 0 0 1 0 b"},
         [](const DrawingModel& m) {  // the first name that is not empty is the host's
             EXPECT_EQ(m.state.initialFontName, "A"); EXPECT_EQ(m.texts.at(0).fontName, "B");
             EXPECT_EQ(m.texts.at(1).fontName, ""); }},
        {{"ch 0 0 1 0 a"}, [](const DrawingModel& m) {
             EXPECT_EQ(m.texts.at(0).fontName, kGothic); EXPECT_EQ(m.state.initialFontName, "");
             EXPECT_EQ(m.state.initialTextKind, 1); }},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i) + ": " + std::string(*cases[i].lines.begin()));
        cases[i].check(ReadLines(cases[i].lines));
    }
}

TEST(ParseExchangeLine, TextsTakeTheirSizeAndColourFromTheTextKind)
{
    const DrawingModel m = ReadLines({
        "hcc 1 2 3 4 5 6 7 8 9 10", "hcw 1 2 3.5 4 5 6 7 8 9 10", "lc4",
        "cn3", "ch 10 20 10 0 \"\x82\x60 \x82\x61 C",
        "cn0 2.5 2.6 0.5 7", "ch 1 2 3 4 abc def",
        "cn0 9 9 9", "cn11", "cs 0 0 1 0 x"});
    ASSERT_EQ(m.texts.size(), 3u);
    const TJwwEntText& kind3 = m.texts[0];
    EXPECT_EQ(kind3.text, "\x82\x60 \x82\x61 C");
    EXPECT_EQ(kind3.attributes.colour, 3);
    EXPECT_EQ(kind3.width, 3.5);
    EXPECT_EQ(kind3.height, 3.0);
    EXPECT_EQ((std::vector<double>{kind3.x, kind3.y, kind3.dirX, kind3.dirY}),
              (std::vector<double>{10, 20, 10, 0}));
    const TJwwEntText& free = m.texts[1];
    EXPECT_EQ(free.text, "abc");
    EXPECT_EQ(free.textKind, 0);
    EXPECT_EQ((std::vector<double>{free.width, free.height, free.spacing}),
              (std::vector<double>{2.5, 2.6, 0.5}));
    EXPECT_EQ(free.attributes.colour, 7);
    // "cn0" with three values keeps the free size; kind 11 is outside the table and uses it.
    EXPECT_EQ(m.texts[2].textKind, 11);
    EXPECT_EQ(m.texts[2].keyCode, 2);
    EXPECT_EQ(m.texts[2].width, 2.5);
    EXPECT_EQ(m.texts[2].attributes.colour, 7);
    EXPECT_EQ(m.state.initialTextKind, 3);
    EXPECT_EQ(m.state.initialFreeText.width, kDefaultFreeText.width);

    const DrawingModel first = ReadLines({"cn0 1 2 3 4", "cn0 5 6 7 8"});
    EXPECT_EQ(first.state.initialFreeText.height, 2.0);
    EXPECT_EQ(first.state.initialFreeText.colour, 4);
}

TEST(ParseExchangeLine, LongTextsAreCutOnACharacterBoundary)
{
    const std::string ascii(300, 'a');
    const std::string straddling = std::string(254, 'a') + "\x95\xc7" + "bb";  // 壁 at 254..255
    const std::string blockName(300, 'n');
    const DrawingModel m = ReadLines({"ch 0 0 1 0 \"" + ascii, "ch 0 0 1 0 \"" + straddling,
                                      "cn\"$" + straddling, "ch 0 0 1 0 x",
                                      "BL 1 2 " + blockName});
    EXPECT_EQ(m.texts.at(0).text, ascii.substr(0, 255));
    EXPECT_EQ(m.texts.at(1).text, straddling.substr(0, 254));
    EXPECT_EQ(m.texts.at(2).fontName, straddling.substr(0, 254));
    EXPECT_EQ(m.blocks.at(0).name, blockName);
}

TEST(ParseExchangeLine, IndicatedPointsReadTheirNumberAndSuffix)
{
    struct Case {
        const char* line;
        int index;  // 0: ignored
        int suffixKind;
    };
    const Case cases[] = {
        {"hp1 10 20", 1, 0},   {"hp2- 10 20", 2, 1}, {"hp3ln 10 20", 3, 2}, {"hp4ci 10 20", 4, 3},
        {"hp5ch 10 20", 5, 4}, {"hp99 10 20", 99, 0}, {"hp$A 10 20", 10, 0},
        {"hp0 10 20", 0, 0},   {"hp100 10 20", 0, 0}, {"hp5 10", 0, 0},     {"hp 10 20", 0, 0},
        {"hp-3 10 20", 0, 0},  {"hp3-ln 10 20", 0, 0},  // a later suffix moves the number's end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const DrawingModel m = ReadLines({c.line});
        for (int i = 0; i < 100; ++i) {
            const IndicatedPoint& p = m.state.indicatedPoints[static_cast<std::size_t>(i)];
            const bool expected = c.index != 0 && i == c.index;
            ASSERT_EQ(p.present, expected) << "point " << i;
            if (!expected) continue;
            EXPECT_EQ(p.x, 10.0);
            EXPECT_EQ(p.y, 20.0);
            EXPECT_EQ(p.suffixKind, c.suffixKind);
        }
    }
    const DrawingModel twice = ReadLines({"hp2 1 1", "hp2- 5 6"});
    EXPECT_EQ(twice.state.indicatedPoints[2].x, 5.0);
    EXPECT_EQ(twice.state.indicatedPoints[2].suffixKind, 1);
}

TEST(ParseExchangeLine, ZMarksGoToTheNextEntityOnly)
{
    const DrawingModel m = ReadLines({"z1", "z1", "z3", "hk 5", "0 0 1 1", "0 0 2 2",
                                      "z2", "z5", "z6", "z1 x", "ci 0 0 1", "ci 0 0 2"});
    EXPECT_EQ(m.lines.at(0).attributes.zFlags, 5);
    EXPECT_EQ(m.lines.at(1).attributes.zFlags, 0);
    EXPECT_EQ(m.circles.at(0).attributes.zFlags, 19);
    EXPECT_EQ(m.circles.at(1).attributes.zFlags, 0);
}

TEST(ParseExchangeLine, PolylinesEndAtTheNextEntityOrModeLine)
{
    // Layer group, layer and colour lines set the attributes of what follows; "pl" starts a
    // polyline, and the circle inside it ends it, so the line after the circle stands alone.
    const DrawingModel m = ReadLines(
        {"lg1", "ly2", "lc3", "0 0 10 0", "pl", "0 0 1 1", "1 1 2 2", "ci 0 0 5", "2 2 3 3"});
    using K = EntityKind;
    const std::vector<std::pair<K, int>> expected = {
        {K::Line, 0}, {K::Line, 1}, {K::Line, 2}, {K::Circle, 0}, {K::Line, 3}};
    ASSERT_EQ(m.order.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m.order[i].kind, expected[i].first) << i;
        EXPECT_EQ(m.order[i].position, expected[i].second) << i;
    }
    std::vector<int> polylines;
    for (const TJwwEntLine& l : m.lines) {
        polylines.push_back(l.polylineNumber);
        EXPECT_EQ(l.attributes.layerGroup, 1);
        EXPECT_EQ(l.attributes.layer, 2);
        EXPECT_EQ(l.attributes.colour, 3);
    }
    EXPECT_EQ(polylines, (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(m.circles.at(0).attributes.colour, 3);
    EXPECT_EQ((std::vector<int>{m.state.initialLayerGroup, m.state.initialLayer,
                                m.state.initialColour}), (std::vector<int>{1, 2, 3}));

    const DrawingModel more = ReadLines({"pl", "0 0 1 1", "z1", "lc5", "1 1 2 2", "pl", "2 2 3 3",
                                         "#", "3 3 4 4", "pl", "msg", "pl", "4 4 5 5"});
    polylines.clear();
    for (const TJwwEntLine& l : more.lines) polylines.push_back(l.polylineNumber);
    EXPECT_EQ(polylines, (std::vector<int>{1, 1, 2, 0, 4}));
}

TEST(ParseExchangeLine, DimensionFiguresTakeThePendingLine)
{
    const DrawingModel m = ReadLines({
        "msg", "cs 0 0 1 0 \"first",                        // the initial pending line
        "lc5", "z3", "msg", "0 0 50 0", "0 0 100 0",        // the later line replaces it
        "lc6", "cs 50 5 10 0 \"100",
        "msg", "cs 1 1 1 0 again",                          // the pending line stays
        "msg", "ch 0 0 1 0 plain", "cs 0 0 1 0 text",       // any other entity ends the mode
        "msg", "pl", "0 0 1 1"});
    EXPECT_EQ(Kinds(m), (std::vector<EntityKind>{EntityKind::Dimension, EntityKind::Dimension,
                                                 EntityKind::Dimension, EntityKind::Text,
                                                 EntityKind::Text, EntityKind::Line}));
    const TJwwEntDimension& initial = m.dimensions.at(0);
    EXPECT_EQ(Coords(initial.line), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(initial.line.attributes.colour, 1);
    EXPECT_EQ(initial.line.attributes.lineType, 1);
    const TJwwEntDimension& d = m.dimensions.at(1);
    EXPECT_EQ(Coords(d.line), (std::vector<double>{0, 0, 100, 0}));
    EXPECT_EQ(d.line.attributes.colour, 5);
    EXPECT_EQ(d.line.attributes.zFlags, 0);  // the first pending line took the mark
    EXPECT_EQ(d.line.polylineNumber, 0);
    EXPECT_EQ(d.attributes.colour, 6);
    EXPECT_EQ(d.text.text, "100");
    EXPECT_EQ(d.text.keyCode, 2);
    EXPECT_EQ(d.text.attributes.colour, 2);  // the text kind's colour
    EXPECT_EQ(Coords(m.dimensions.at(2).line), Coords(d.line));
    EXPECT_EQ(m.lines.at(0).polylineNumber, 1);
}

TEST(ParseExchangeLine, SlFiguresLoseCoincidentPoints)
{
    struct Case {
        const char* line;
        EntityKind kind;
        std::vector<double> points;
    };
    using K = EntityKind;
    const Case cases[] = {
        {"sl 0 0 5 5", K::Sl2, {0, 0, 5, 5}},
        {"sl 0 0 0 0 5 5", K::Sl2, {0, 0, 5, 5}},
        {"sl 0 0 5 5 5 5", K::Sl2, {0, 0, 5, 5}},
        {"sl 0 0 5 0 5 5", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 0 0", K::Sl3, {0, 0, 5, 0, 0, 0}},
        {"sl 0 0 1e-11 0 5 5", K::Sl2, {0, 0, 5, 5}},
        {"sl 0 0 1e-10 0 5 5", K::Sl3, {0, 0, 1e-10, 0, 5, 5}},  // just above the tolerance
        {"sl 0 0 0 0 0 0 7 7", K::Sl2, {0, 0, 7, 7}},
        {"sl 1 1 5 5 5 5 5 5", K::Sl2, {1, 1, 5, 5}},
        {"sl 0 0 0 0 5 5 5 5", K::Sl2, {0, 0, 5, 5}},
        {"sl 0 0 5 0 5 5 0 0", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 5 5 5 0", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 5 5 5 5", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 0 0 5 5", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 5 0 5 5", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 0 0 5 0 5 5", K::Sl3, {0, 0, 5, 0, 5, 5}},
        {"sl 0 0 5 0 5 5 0 5", K::Sl4, {0, 0, 5, 0, 5, 5, 0, 5}},
        {"sl 0 0 5 0 5 5 0 5 9", K::Sl4, {0, 0, 5, 0, 5, 5, 0, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const DrawingModel m = ReadLines({"lc10 3", c.line});
        ASSERT_EQ(Kinds(m), std::vector<EntityKind>{c.kind});
        std::vector<double> points;
        std::int32_t sColour = 0;
        if (c.kind == K::Sl2) {
            const auto& r = m.sl2[0];
            points = {r.x1, r.y1, r.x2, r.y2};
            sColour = r.sColour;
        } else if (c.kind == K::Sl3) {
            const auto& r = m.sl3[0];
            points = {r.x1, r.y1, r.x2, r.y2, r.x3, r.y3};
            sColour = r.sColour;
        } else {
            const auto& r = m.sl4[0];
            points = {r.x1, r.y1, r.x2, r.y2, r.x3, r.y3, r.x4, r.y4};
            sColour = r.sColour;
        }
        EXPECT_EQ(points, c.points);
        EXPECT_EQ(sColour, 3);
    }
}

namespace {

// The lines and dimension figures of a model with every real by its bits, and the kinds of the
// other records in order: all that a segment line and the lines around it can change.
std::string SegmentDigest(const DrawingModel& m)
{
    std::string digest;
    auto add = [&digest](const TJwwEntLine& l) {
        const EntityAttributes& a = l.attributes;
        for (const std::int32_t v : {a.hhpNumber, a.layerGroup, a.layer, a.colour, a.lineType,
                                     a.lineWidth, a.zFlags, l.polylineNumber}) {
            digest += std::to_string(v) + ",";
        }
        for (const double v : {l.x1, l.y1, l.x2, l.y2}) {
            digest += std::to_string(std::bit_cast<std::uint64_t>(v)) + ",";
        }
        digest += "\n";
    };
    for (const TJwwEntLine& l : m.lines) add(l);
    for (const TJwwEntDimension& d : m.dimensions) add(d.line);
    for (const EntityOrderEntry& e : m.order) {
        digest += std::to_string(static_cast<int>(e.kind)) + ":" + std::to_string(e.position) + " ";
    }
    return digest;
}

std::size_t Below(std::mt19937_64& engine, std::size_t n)
{
    return static_cast<std::size_t>(engine() % n);
}

// Random lines, most of them made of the bytes of segment lines: every edge of the shortcut
// (four or five fields, blanks and tabs before, between and after, signs, points, long
// mantissas, many decimals, exponents, CR bytes) and the mode lines that change what a segment
// line does.
std::string RandomLines(std::mt19937_64& engine, std::size_t count)
{
    static constexpr std::string_view kPieces[] = {
        "0", "1", "7", "9", "10", "3600", "-", "+", ".", ".", " ", " ", " ", "  ", "\t",
        "12345.6789012345", "-1820.5", "9007199254740992", "9007199254740993", "0.1",
        "0.0000000000000000000001", "0.00000000000000000000001", "123456789012345678",
        "e", "E5", "e-3", "4e400", "x", "\r", "\"", "=", "\x82\xa0",
    };
    static constexpr std::string_view kModeLines[] = {
        "pl", "msg", "#", "z3", "lg2", "lc5", "cs 0 0 1 0 \"t", "ci 0 0 5", "",
    };
    std::string text;
    for (std::size_t n = 0; n < count; ++n) {
        if (Below(engine, 8) == 0) {
            text += kModeLines[Below(engine, std::size(kModeLines))];
        } else {
            const std::size_t pieces = Below(engine, 14);
            for (std::size_t k = 0; k < pieces; ++k) {
                text += kPieces[Below(engine, std::size(kPieces))];
            }
        }
        text += Below(engine, 4) == 0 ? "\r\n" : "\n";
    }
    return text;
}

// Applies each line of the text through the full line matching only, as the reader did before
// it knew the shortcut: CR bytes dropped, Ctrl-Z ending the file.
DrawingModel ReadByFullMatching(std::string_view text)
{
    DrawingModel model;
    ReaderState state;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line;
        for (const char c : text.substr(start, end - start)) {
            if (c != '\r') line.push_back(c);
        }
        if (!line.empty() && line.front() == '\x1a') break;
        ParseExchangeLine(model, state, line);
        start = end + 1;
    }
    return model;
}

}  // namespace

TEST(ReadExchangeText, PlainSegmentLinesGiveWhatTheFullLineMatchingGives)
{
    const std::string_view edges[] = {
        "0 0 10 0\n", "  0\t0 10 \t 0\n", "0 0 10 0 \n", "0 0 10 \n", "0 0 10\t\n",
        "1 2 3 4 5\n", "1 2 3\n", "1e3 2 3 4\n", "1x 2 3 4\n", "4e400 2 3 4\n",
        "-0 +0.5 -.5 7.\n", "--1 2 3 4\n", "1-2 . + -\n", "1.2.3 2 3 4\n",
        "9007199254740993 0.00000000000000000000001 123456789012345678 0.1\n",
        "1 2\r3 4\r\n", "\r1 2 3 4\n", "1 2 3 4\r\r\n", "pl\n1 2 3 4\n2 3 4 5\n#\n3 4 5 6\n",
        "msg\n1 2 3 4\ncs 0 0 1 0 \"a\nz3\n1 2 3 4", "\x1a 1 2 3 4\n5 6 7 8\n",
    };
    for (const std::string_view text : edges) {
        SCOPED_TRACE("text [" + std::string(text) + "]");
        DrawingModel read;
        ReadExchangeText(read, text);
        EXPECT_EQ(SegmentDigest(read), SegmentDigest(ReadByFullMatching(text)));
    }
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 engine(seed);
        const std::string text = RandomLines(engine, 200);
        DrawingModel read;
        ReadExchangeText(read, text);
        ASSERT_EQ(SegmentDigest(read), SegmentDigest(ReadByFullMatching(text)));
    }
}
