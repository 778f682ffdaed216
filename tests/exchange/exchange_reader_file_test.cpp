// Reading whole exchange files: line ends, block boundaries, real host files, hostile bytes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "exchange/command_writer.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange/exchange_reader_internal.hpp"
#include "support/test_files.hpp"

using namespace RidEdaza;
using namespace std::string_literals;
using TestFiles::SourcePath;
using TestFiles::TempFolder;
using TestFiles::WriteBytes;

namespace {

// <ＭＳ ゴシック>
const std::string kGothic = "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";

constexpr std::size_t kMiB = std::size_t{1} << 20;

DrawingModel ReadBytesAsFile(std::string_view bytes, bool* result = nullptr)
{
    TempFolder folder;
    WriteBytes(folder / "JWC_TEMP.TXT", bytes);
    DrawingModel model;
    const bool read = ReadExchangeFile(model, folder / "JWC_TEMP.TXT");
    if (result != nullptr) *result = read;
    return model;
}

DrawingModel ReadBytesFromMemory(std::string_view bytes)
{
    DrawingModel model;
    ReadExchangeText(model, bytes);
    return model;
}

std::size_t TableSize(const DrawingModel& m, EntityKind kind)
{
    switch (kind) {
    case EntityKind::Line: return m.lines.size();
    case EntityKind::Circle: return m.circles.size();
    case EntityKind::Arc: return m.arcs.size();
    case EntityKind::Text: return m.texts.size();
    case EntityKind::Point: return m.points.size();
    case EntityKind::MarkerPoint: return m.markerPoints.size();
    case EntityKind::Dimension: return m.dimensions.size();
    case EntityKind::Blk: return m.blocks.size();
    case EntityKind::Sl2: return m.sl2.size();
    case EntityKind::Sl3: return m.sl3.size();
    case EntityKind::Sl4: return m.sl4.size();
    case EntityKind::Sc: return m.sc.size();
    case EntityKind::Se: return m.se.size();
    case EntityKind::So: return m.so.size();
    case EntityKind::Sg: return m.sg.size();
    }
    return 0;
}

// Every record has exactly one order pair, and the pairs count each table up without gaps.
void ExpectConsistentOrder(const DrawingModel& m)
{
    std::array<std::int32_t, 16> seen{};
    for (const EntityOrderEntry& e : m.order) {
        const auto k = static_cast<std::size_t>(e.kind);
        ASSERT_TRUE(k >= 1 && k <= 15);
        ASSERT_EQ(e.position, seen[k]++);
    }
    for (std::size_t k = 1; k <= 15; ++k) {
        EXPECT_EQ(static_cast<std::size_t>(seen[k]), TableSize(m, static_cast<EntityKind>(k)));
    }
}

void ExpectSane(const EntityAttributes& a)
{
    EXPECT_TRUE(a.layerGroup >= 0 && a.layerGroup <= 15);
    EXPECT_TRUE(a.layer >= 0 && a.layer <= 15);
}

}  // namespace

TEST(ReadExchangeFile, LineEndsCtrlZAndStrayBytes)
{
    struct Case {
        const char* name;
        std::string bytes;
        double axisAngle;
        std::size_t lines;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"LF", "hk 30\n0 0 1 1\n", 30, 1, {}},
        {"CR LF", "hk 30\r\n0 0 1 1\r\n", 30, 1, {}},
        {"no line end at the end", "hk 30\r\n0 0 1 1", 30, 1, {}},
        {"CR inside a line", "h\rk 3\r0\n", 30, 0, {}},
        {"Ctrl-Z starts a line", "hk 30\r\n\x1ahk 40\r\n0 0 1 1\r\n", 30, 0, {}},
        {"Ctrl-Z as the last line", "hk 30\n\x1a", 30, 0, {}},
        {"Ctrl-Z inside a line", "hk 3\x1a" "0\n0 0 1 1\n", 30, 1, {}},
        {"empty file", "", 0, 0, {}},
        {"blank lines", "\n\n\r\n   \n\t\r\n", 0, 0, {}},
        {"NUL bytes", "hk 3\x00" "0\n\x00\x00\n0 0 1 1\n"s, 30, 1, {}},
        {"lone lead byte ends the file", "hk 30\n0 0 1 1\n\x82", 30, 1, {}},
        // The CR goes before the line is split: the lead byte is then alone at the end.
        {"lead byte before CR LF", "ch 0 0 1 0 \"AB\x82\r\n", 0, 0, {"AB"}},
        {"0xFE and 0xFF", "\xfe\xffhk 3\xff" "0\r\n", 30, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool read = false;
        const DrawingModel fromFile = ReadBytesAsFile(c.bytes, &read);
        EXPECT_TRUE(read);
        // The same bytes held in memory (a command buffer not yet written) read alike.
        const DrawingModel fromMemory = ReadBytesFromMemory(c.bytes);
        for (const DrawingModel* m : {&fromFile, &fromMemory}) {
            SCOPED_TRACE(m == &fromFile ? "from a file" : "from memory");
            EXPECT_EQ(m->state.axisAngle, c.axisAngle);
            EXPECT_EQ(m->lines.size(), c.lines);
            std::vector<std::string> texts;
            for (const TJwwEntText& t : m->texts) texts.push_back(t.text);
            EXPECT_EQ(texts, c.texts);
        }
    }
}

TEST(ReadExchangeFile, LinesCutByTheReadBlocksAreWhole)
{
    // Walk the block boundary through a line end, a CR LF pair and a two-byte character.
    const std::string tail = "\nhk 12345\r\nch 0 0 1 0 \"\x95\xc7\x95\xc7\r\n0 0 1 1";
    for (std::size_t shift = 0; shift <= tail.size() + 2; ++shift) {
        SCOPED_TRACE("shift " + std::to_string(shift));
        const DrawingModel m = ReadBytesAsFile(std::string(kMiB - tail.size() + shift, 'x') + tail);
        EXPECT_EQ(m.state.axisAngle, 12345.0);
        ASSERT_EQ(m.texts.size(), 1u);
        EXPECT_EQ(m.texts[0].text, "\x95\xc7\x95\xc7");
        EXPECT_EQ(m.lines.size(), 1u);
    }
}

TEST(ReadExchangeFile, LinesOfMegabytes)
{
    std::string kanji;
    for (std::size_t i = 0; i < 3 * kMiB / 2; ++i) kanji += "\x95\xc7";  // 壁
    const std::string name(3 * kMiB, 'p');
    const DrawingModel m = ReadBytesAsFile("file=" + name + "\r\nch 0 0 1 0 \"" + kanji +
                                           "\r\nhk 5");
    EXPECT_EQ(m.state.drawingFileName, name);
    ASSERT_EQ(m.texts.size(), 1u);
    EXPECT_EQ(m.texts[0].text, kanji.substr(0, 254));
    EXPECT_EQ(m.state.axisAngle, 5.0);
}

TEST(ReadExchangeFile, FailuresLeaveWhatWasThere)
{
    TempFolder folder;
    DrawingModel model;
    model.state.axisAngle = 7.0;
    model.lines.emplace_back();
    EXPECT_FALSE(ReadExchangeFile(model, folder / "JWC_TEMP.TXT"));  // missing
    EXPECT_FALSE(ReadExchangeFile(model, folder.path()));            // a folder, not a file
    EXPECT_EQ(model.state.axisAngle, 7.0);
    EXPECT_EQ(model.lines.size(), 1u);

    // Folders with Japanese names are common; the path must reach the file system unchanged.
    const std::filesystem::path japanese =
        folder.path() / std::filesystem::path(u8"\u56f3\u9762 \u4e00\u968e.txt");
    WriteBytes(japanese, "hk 30\r\n");
    EXPECT_TRUE(ReadExchangeFile(model, japanese));
    EXPECT_EQ(model.state.axisAngle, 30.0);
}

TEST(ReadExchangeFile, HostFileWithOneSelectedLine)
{
    DrawingModel m;
    ASSERT_TRUE(ReadExchangeFile(m, SourcePath("tests/fixtures/host/one-line-selected.txt")));
    const DrawingState& s = m.state;
    EXPECT_EQ(s.drawingFileName, "");
    EXPECT_EQ(s.axisAngle, 0.0);
    for (double scale : s.layerGroupScale) EXPECT_EQ(scale, 100.0);
    const double widths[] = {2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10};
    const double spacings[] = {0, 0, 0.5, 0.5, 0.5, 0.5, 1, 1, 1, 1};
    const std::int32_t colours[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5};
    for (std::size_t k = 0; k < 10; ++k) {
        SCOPED_TRACE(testing::Message() << "text kind " << k + 1);
        EXPECT_EQ(s.textKinds[k].width, widths[k]);
        EXPECT_EQ(s.textKinds[k].height, widths[k]);
        EXPECT_EQ(s.textKinds[k].spacing, spacings[k]);
        EXPECT_EQ(s.textKinds[k].colour, colours[k]);
    }
    EXPECT_EQ(s.hnValues, (std::array<double, 4>{7306.10278372591, -2989.07922912206,
                                                 7306.10278372591, -2989.07922912206}));
    EXPECT_EQ((std::vector<int>{s.initialLayerGroup, s.initialLayer, s.initialColour,
                                s.initialLineType, s.initialTextKind}),
              (std::vector<int>{0, 0, 2, 1, 2}));
    EXPECT_EQ(s.initialFontName, kGothic);
    ASSERT_EQ(m.order.size(), 1u);
    const TJwwEntLine& line = m.lines.at(0);
    EXPECT_EQ((std::vector<double>{line.x1, line.y1, line.x2, line.y2}),
              (std::vector<double>{-5000, 0, 5000, 0}));
    EXPECT_EQ(line.attributes.colour, 2);
    EXPECT_EQ(line.polylineNumber, 0);
    for (const IndicatedPoint& p : s.indicatedPoints) EXPECT_FALSE(p.present);
}

TEST(ReadExchangeFile, HostFileWithClickedPoints)
{
    DrawingModel m;
    ASSERT_TRUE(ReadExchangeFile(m, SourcePath("tests/fixtures/host/clicked-points.txt")));
    const DrawingState& s = m.state;
    for (double scale : s.layerGroupScale) EXPECT_EQ(scale, 250.0);
    EXPECT_EQ(s.textKinds[9].width, 6.0);
    EXPECT_EQ(s.textKinds[9].height, 3.0);
    EXPECT_EQ(s.textKinds[9].colour, 2);
    for (std::size_t i = 0; i < 100; ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(s.indicatedPoints[i].present, i >= 3 && i <= 12);
        if (s.indicatedPoints[i].present) {
            EXPECT_EQ(s.indicatedPoints[i].suffixKind, 1);
        }
    }
    EXPECT_EQ(s.indicatedPoints[3].x, -39902.7596123089);
    EXPECT_EQ(s.indicatedPoints[3].y, -21231.6354329471);
    EXPECT_EQ(s.indicatedPoints[10].x, -26027.7596123089);
    EXPECT_EQ(s.indicatedPoints[10].y, 1935.36456705287);
    EXPECT_EQ((std::vector<int>{s.initialLayerGroup, s.initialLayer, s.initialColour,
                                s.initialLineType, s.initialTextKind}),
              (std::vector<int>{2, 6, 2, 1, 3}));
    EXPECT_EQ(s.initialFontName, kGothic);
    EXPECT_TRUE(m.order.empty());
}

TEST(ReadExchangeFile, HostileBytesKeepTheModelConsistent)
{
    // Random bytes mixed with keywords and separators, so that every row of the dispatch is
    // hit with broken fields. mt19937 is the same generator on every platform.
    const char* const pieces[] = {"hp", "hhp", "lg", "ly", "lgn", "lyn", "lc10 ", "lt", "lw",
                                  "cn", "cn\"$", "cc", "z3", "pl", "msg", "#", "ci ", "cs ",
                                  "ch ", "pt ", "BL ", "sl ", "sc ", "so ", "file=", "\"", "=",
                                  " ", "  ", "\t", "\r\n", "\n", "\n", "1e5", "-0.5", "\x82"};
    std::mt19937 random(20240607u);
    std::string bytes;
    while (bytes.size() < 3 * kMiB) {
        const auto r = static_cast<std::uint32_t>(random());
        if (r % 3 == 0) {
            bytes += pieces[(r >> 8) % std::size(pieces)];
        } else if (r % 3 == 1) {
            bytes += std::to_string(static_cast<int>((r >> 8) % 2001) - 1000);
        } else {
            const auto b = static_cast<char>((r >> 8) & 0xFF);
            bytes += b == '\x1a' ? ' ' : b;  // a Ctrl-Z would end the file too early
        }
        if (r % 7 == 0) bytes += ' ';
    }
    bool read = false;
    const DrawingModel m = ReadBytesAsFile(bytes, &read);
    EXPECT_TRUE(read);
    ExpectConsistentOrder(m);
    EXPECT_GT(m.lines.size(), 1000u);
    EXPECT_GT(m.texts.size(), 0u);
    for (const TJwwEntLine& l : m.lines) {
        ExpectSane(l.attributes);
        ASSERT_TRUE(std::isfinite(l.x1) && std::isfinite(l.y1) && std::isfinite(l.x2) &&
                    std::isfinite(l.y2));
    }
    for (const TJwwEntText& t : m.texts) {
        ExpectSane(t.attributes);
        EXPECT_LE(t.text.size(), 255u);
        EXPECT_LE(t.fontName.size(), 255u);
        EXPECT_TRUE(t.ccValue >= 0 && t.ccValue <= 8);
    }
    for (const TJwwEntDimension& d : m.dimensions) ExpectSane(d.line.attributes);
}

TEST(DrawingModel, InitAndReleaseEmptyTheModelAndTheCommands)
{
    DrawingModel model;
    CommandBuffer commands;
    ReaderState state;
    for (int i = 0; i < 2500; ++i) ParseExchangeLine(model, state, "0 0 1 1");
    ParseExchangeLine(model, state, "hk 45");
    for (int i = 0; i < 10; ++i) RidEdaza::AppendCommand(commands, "hq");
    InitDrawingModel(model, commands);
    EXPECT_TRUE(model.lines.empty() && model.order.empty() && LineCount(commands) == 0);
    EXPECT_EQ(model.state.axisAngle, 0.0);
    EXPECT_EQ(model.state.paperWidth, 1189.0);

    ParseExchangeLine(model, state, "0 0 1 1");
    for (int i = 0; i < 10; ++i) RidEdaza::AppendCommand(commands, "hq");
    ReleaseDrawingModel(model, commands);
    EXPECT_EQ(model.lines.capacity(), 0u);
    EXPECT_EQ(model.order.capacity(), 0u);
    EXPECT_EQ(commands.blocks.capacity(), 0u);
    EXPECT_EQ(commands.spans.capacity(), 0u);
}
