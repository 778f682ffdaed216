// The drawing model: the host's exchange file (JWC_TEMP.TXT) as Korvane read it.
//
// One DrawingState, fifteen entity tables and the EntityOrder that keeps the file order across
// the tables. The reader fills it once; afterwards everything only reads it. Texts are Shift-JIS
// bytes exactly as they stood in the file. Coordinates are in the units the host wrote them;
// angles in degrees. One model exists per run of a program, but nothing here is global: tests
// build as many independent models as they like.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace RidEdaza {

struct CommandBuffer;

// Width, height and spacing in paper mm, and the colour of one host text kind.
struct TextKind {
    double width = 3.0;
    double height = 3.0;
    double spacing = 0.0;
    std::int32_t colour = 2;
};

// The host's ten text kinds 1..10 (index 0 is kind 1). Kind 0 is the free text size.
using TextKindTable = std::array<TextKind, 10>;

// The free text size before any "cn0" line.
inline constexpr TextKind kDefaultFreeText{2.0, 2.0, 0.0, 1};

// The host's font before any font line: <ＭＳ ゴシック>, in the form its font lines carry it.
inline constexpr std::string_view kDefaultFontName =
    "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";

struct IndicatedPoint {
    bool present = false;
    double x = 0.0;
    double y = 0.0;
    std::int32_t suffixKind = 0;  // 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

// Entries 0..99; entry 0 is never filled.
using IndicatedPointTable = std::array<IndicatedPoint, 100>;

struct DrawingState {
    std::string drawingFileName;
    double axisAngle = 0.0;
    std::array<double, 16> layerGroupScale{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    double paperWidth = 1189.0;
    double paperHeight = 841.0;
    TextKindTable textKinds{};
    // Two header values stored as the host wrote them and read by nothing in the tool.
    // "bz": a flag line; set when the line occurs. What it means to the host is not used.
    bool bzFlag = false;
    // "hn": four numbers the host writes in its header, as two x y pairs (a range). In the host's
    // own files seen so far: one point twice (one segment selected), or all zero (points clicked).
    std::array<double, 4> hnValues{};

    // The host's current settings: the first value of each attribute in the file.
    std::int32_t initialLayerGroup = 0;
    std::int32_t initialLayer = 0;
    std::int32_t initialColour = 1;
    std::int32_t initialLineType = 1;
    std::int32_t initialLineWidth = 0;
    std::int32_t initialTextKind = 1;
    TextKind initialFreeText = kDefaultFreeText;
    std::string initialFontName;  // the first font name that is not empty

    std::array<std::int32_t, 16> layerGroupState{};
    std::array<std::string, 16> layerGroupName{};
    std::array<std::int32_t, 256> layerState{};   // index group * 16 + layer
    std::array<std::string, 256> layerName{};     // index group * 16 + layer
    IndicatedPointTable indicatedPoints{};
};

// The seven integers at the head of every entity record.
struct EntityAttributes {
    std::int32_t hhpNumber = 0;
    std::int32_t layerGroup = 0;  // 0..15
    std::int32_t layer = 0;       // 0..15
    std::int32_t colour = 0;
    std::int32_t lineType = 0;
    std::int32_t lineWidth = 0;
    std::int32_t zFlags = 0;      // bits 1, 2, 4, 8, 16 for "z1".."z5"
};

// The "z3" mark: Korvane writes it before everything it draws and leaves such entities alone.
inline constexpr std::int32_t kZ3Mark = 4;

enum class EntityKind : std::int32_t {
    Line = 1, Circle, Arc, Text, Point, MarkerPoint, Dimension, Blk, Sl2, Sl3, Sl4, Sc, Se, So, Sg
};

struct TJwwEntLine {
    EntityAttributes attributes;
    std::int32_t polylineNumber = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntCircle {
    EntityAttributes attributes;
    double centreX = 0, centreY = 0, radius = 0;
};

struct TJwwEntArc {
    EntityAttributes attributes;
    double centreX = 0, centreY = 0, radius = 0;
    double startAngle = 0, endAngle = 0, flatness = 0, tiltAngle = 0;
};

struct TJwwEntText {
    EntityAttributes attributes;
    std::int32_t keyCode = 0;  // 0 "ch", 1 "cv", 2 "cs", 3 "cr", 4 "co", 5 "cp", 6 "ct", 7 "ck", 8 "cz", 9 "c2"
    std::int32_t ccValue = 0;  // 0..8
    std::int32_t textKind = 0;
    double width = 0, height = 0, spacing = 0;
    double x = 0, y = 0, dirX = 0, dirY = 0;
    std::string fontName;  // at most 255 bytes
    std::string text;      // at most 255 bytes
};

struct TJwwEntPoint {
    EntityAttributes attributes;
    double x = 0, y = 0;
};

struct TJwwEntMarkerPoint {
    EntityAttributes attributes;
    double x = 0, y = 0, markerScale = 0, markerAngle = 0;
    std::int32_t markerCode = 0;
};

struct TJwwEntDimension {
    EntityAttributes attributes;
    TJwwEntLine line;
    TJwwEntText text;
};

struct TJwwEntBlk {
    EntityAttributes attributes;
    double x = 0, y = 0;
    std::string name;  // any length
};

struct TJwwEntSl2 {
    EntityAttributes attributes;
    std::int32_t sColour = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntSl3 {
    EntityAttributes attributes;
    std::int32_t sColour = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

struct TJwwEntSl4 {
    EntityAttributes attributes;
    std::int32_t sColour = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
};

// "sc" and "se": seven reals and an integer.
struct TJwwEntSc {
    EntityAttributes attributes;
    std::int32_t sColour = 0;
    std::array<double, 7> values{};
    std::int32_t value8 = 0;
};
using TJwwEntSe = TJwwEntSc;

// "so" and "sg": eight reals.
struct TJwwEntSo {
    EntityAttributes attributes;
    std::int32_t sColour = 0;
    std::array<double, 8> values{};
};
using TJwwEntSg = TJwwEntSo;

struct EntityOrderEntry {
    EntityKind kind;
    std::int32_t position;  // in that kind's table
};

struct DrawingModel {
    DrawingState state;
    std::vector<TJwwEntLine> lines;
    std::vector<TJwwEntCircle> circles;
    std::vector<TJwwEntArc> arcs;
    std::vector<TJwwEntText> texts;
    std::vector<TJwwEntPoint> points;
    std::vector<TJwwEntMarkerPoint> markerPoints;
    std::vector<TJwwEntDimension> dimensions;
    std::vector<TJwwEntBlk> blocks;
    std::vector<TJwwEntSl2> sl2;
    std::vector<TJwwEntSl3> sl3;
    std::vector<TJwwEntSl4> sl4;
    std::vector<TJwwEntSc> sc;
    std::vector<TJwwEntSe> se;
    std::vector<TJwwEntSo> so;
    std::vector<TJwwEntSg> sg;
    std::vector<EntityOrderEntry> order;
};

// Sets the model to its defaults with every table empty, and empties the command buffer (the
// two live and die together in a run of the tool).
void InitDrawingModel(DrawingModel& model, CommandBuffer& commands);

// Releases the storage of the model and of the command buffer: the same step as
// InitDrawingModel, named for the end of a run.
void ReleaseDrawingModel(DrawingModel& model, CommandBuffer& commands);

}  // namespace RidEdaza
