// The picture against what the files say: one element per entity, texts at their anchors with
// their direction and the size of their text kind, marker points as the shapes of their codes.
//
// Most cases draw inside a frame of selected lines from (0, 0) to (1120, 800), which the picture
// fits at one pixel per drawing unit with a 40-pixel margin: a drawing point (x, y) lies at pixel
// (40 + x, 840 - y).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_support.hpp"
#include "preview/preview_svg.hpp"

using PreviewTest::CheckedPicture;
using PreviewTest::ExpectAttributes;
using PreviewTest::NumbersIn;
using PreviewTest::RenderBytes;
using PreviewTest::WithClass;
using PreviewTest::XmlElement;

namespace {

// Group 1 at 1:2; text kind 3 is 3 wide, 4 high with spacing 0.5.
const std::string kFramedInput =
    "hk 0\r\n"
    "hs 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
    "hcw 2 2.5 3 4 5 6 7 8 9 10\r\n"
    "hch 2 2.5 4 4 5 6 7 8 9 10\r\n"
    "hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1\r\n"
    "hp1 300 100\r\n"
    "#\r\n"
    "0 0 1120 0\r\n"
    "0 0 0 800\r\n";

const std::string kRunCommands =
    "lg1\r\nly0\r\nlc2\r\npn2\r\n"
    "z3\r\n100 100 500 100\r\n"
    "cn3\r\ncc0\r\n"
    "z3\r\ncs 200 120 8.66025403784439 5 \"12\r\n"
    // cn0 1.5 2.5 0 3, then "４．５ｍ" upwards
    "cn0 1.5 2.5 0 3\r\n"
    "z3\r\ncs 300 300 0 10 \"\x82\x53\x81\x44\x82\x54\x82\x8d\r\n"
    "z3\r\npt 500 400 2 180 1\r\n"
    "z3\r\npt 600 400 1.5 0 7\r\n"
    "z3\r\npt 700 400 1 0 10\r\n"
    "z3\r\npt 800 400\r\n"
    "msg\r\n100 600 500 600\r\ncs 250 620 10 0 \"400\r\n"
    "cn2\r\n";

// The picture of kRunCommands on kFramedInput, checked.
std::vector<XmlElement> RunPicture()
{
    return CheckedPicture(RenderBytes(kFramedInput, kRunCommands));
}

std::vector<double> Numbers(const XmlElement* element, const char* attribute)
{
    return element == nullptr ? std::vector<double>{} : NumbersIn(element->Get(attribute));
}

}  // namespace

TEST(PreviewPicture, DrawsEveryEntityOfTheRunAndTheSelectionOnce)
{
    const std::string svg = RenderBytes(kFramedInput, kRunCommands);
    const std::vector<XmlElement> picture = CheckedPicture(svg);
    struct Count {
        const char* cls;
        std::size_t expected;
    };
    const Count counts[] = {
        {"run-line", 1},   {"run-text", 2},      {"run-marker", 3},       {"run-point", 1},
        {"run-dimension", 1}, {"sel-line", 2},   {"sel-height-point", 1}, {"label", 0},
    };
    for (const Count& c : counts) {
        SCOPED_TRACE(c.cls);
        EXPECT_EQ(WithClass(picture, c.cls).size(), c.expected);
    }
    EXPECT_EQ(svg.find("id=\"grid\""), std::string::npos);
}

TEST(PreviewPicture, FitsTheDrawingWithYUp)
{
    const std::vector<XmlElement> picture = RunPicture();
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.front().Get("viewBox"), "0 0 1200 880");
    const auto lines = WithClass(picture, "run-line");
    ASSERT_EQ(lines.size(), 1u);
    ExpectAttributes(*lines[0], {{"x1", "140"}, {"y1", "740"}, {"x2", "540"}});
    const auto points = WithClass(picture, "run-point");
    ASSERT_EQ(points.size(), 1u);
    // Above the line: a smaller pixel Y.
    ExpectAttributes(*points[0], {{"cx", "840"}, {"cy", "440"}});
}

TEST(PreviewPicture, TextsSitAtTheirAnchorsWithTheirDirectionAndKindSize)
{
    const std::vector<XmlElement> picture = RunPicture();
    const auto texts = WithClass(picture, "run-text");
    ASSERT_EQ(texts.size(), 2u);

    // Kind 3 on group 1 (1:2): 8 high; "12" is 3 + 0.5 + 3 = 6.5 wide against 8 of the font's
    // own half-width digits.
    ExpectAttributes(*texts[0], {{"transform", "translate(240 720) rotate(-30) scale(0.8125 1)"},
                                 {"font-size", "8"}});
    EXPECT_EQ(texts[0]->text, "12");

    // The free size of "cn0" on group 1: 5 high, four full-width characters 3 wide each.
    ExpectAttributes(*texts[1], {{"transform", "translate(340 540) rotate(-90) scale(0.6 1)"},
                                 {"font-size", "5"}});
    EXPECT_EQ(texts[1]->text, "\xEF\xBC\x94\xEF\xBC\x8E\xEF\xBC\x95\xEF\xBD\x8D");  // ４．５ｍ

    const auto figures = WithClass(picture, "run-dimension");
    ASSERT_EQ(figures.size(), 1u);
    const XmlElement* figureLine = nullptr;
    const XmlElement* figureText = nullptr;
    for (const XmlElement& element : picture) {
        if (element.parent < 0 || &picture[static_cast<std::size_t>(element.parent)] != figures[0])
            continue;
        if (element.name == "line") figureLine = &element;
        if (element.name == "text") figureText = &element;
    }
    EXPECT_EQ(Numbers(figureLine, "x1"), std::vector<double>{140});
    EXPECT_EQ(Numbers(figureLine, "y2"), std::vector<double>{240});
    ASSERT_NE(figureText, nullptr);
    EXPECT_EQ(figureText->text, "400");
    EXPECT_EQ(figureText->Get("transform"), "translate(290 220) rotate(0) scale(0.6 1)");
}

TEST(PreviewPicture, MarkerPointsTakeTheShapeOfTheirCode)
{
    struct Case {
        int code;
        const char* tag;  // of the marker element itself
        bool filled;
        std::size_t coordinates;  // numbers in points, or 0
    };
    const Case cases[] = {
        {1, "polygon", false, 6},   {2, "polygon", false, 8},  {3, "circle", false, 0},
        {4, "circle", false, 0},    {5, "polygon", true, 8},   {6, "polygon", true, 6},
        {7, "circle", true, 0},     {8, "polyline", false, 34}, {9, "polyline", false, 6},
        {10, "line", false, 0},     {11, "polygon", false, 6}, {-3, "g", false, 0},
        {0, "g", false, 0},         {12, "g", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string commands = "lg0\r\nz3\r\npt 500 400 1 0 " + std::to_string(c.code) + "\r\n";
        const std::vector<XmlElement> picture = CheckedPicture(RenderBytes(kFramedInput, commands));
        const auto markers = WithClass(picture, "run-marker");
        ASSERT_EQ(markers.size(), 1u);
        EXPECT_EQ(markers[0]->name, c.tag);
        EXPECT_EQ(markers[0]->Get("data-code"), std::to_string(c.code));
        EXPECT_EQ(markers[0]->Has("fill"), c.filled);
        EXPECT_EQ(NumbersIn(markers[0]->Get("points")).size(), c.coordinates);
    }
}

TEST(PreviewPicture, MarkerPointsPointAlongTheirAngleAndScaleWithTheirGroup)
{
    const std::vector<XmlElement> picture = RunPicture();
    const auto markers = WithClass(picture, "run-marker");
    ASSERT_EQ(markers.size(), 3u);
    // "△" at (500, 400), scale 2 on a 1:2 group, pointing left: its tip at the point, its base
    // 7.5 x 4 = 30 to the right and 1.25 x 4 = 5 to each side.
    EXPECT_EQ(markers[0]->Get("points"), "540,440 570,445 570,435");
    // "●" scale 1.5: radius 1.25 x 1.5 x 2.
    ExpectAttributes(*markers[1], {{"r", "3.75"}, {"cx", "640"}});
    // "／" scale 1: 1.25 x sqrt 2 x 2 along and across, rising to the right.
    ExpectAttributes(*markers[2],
                     {{"x1", "736.46"}, {"y1", "443.54"}, {"x2", "743.54"}, {"y2", "436.46"}});
}

TEST(PreviewPicture, SelectionShowsCirclesArcsTextsPointsAndMarkers)
{
    const std::string input = kFramedInput +
                              "ci 200 200 50\r\n"
                              "ci 600 200 100 0 90 1 0\r\n"
                              // half an ellipse, tilted by 90: from the top through the left
                              "ci 900 400 100 90 270 0.5 90\r\n"
                              "ci 400 600 30 45 45 1 0\r\n"
                              "pt 100 700\r\n"
                              "pt 150 700 1 0 4\r\n"
                              "cn3\r\n"
                              "ch 300 700 10 0 \"A&B<C>\r\n"
                              "hp2 50 50\r\n";
    const std::vector<XmlElement> picture = CheckedPicture(RenderBytes(input, ""));
    EXPECT_EQ(WithClass(picture, "sel-circle").size(), 1u);
    EXPECT_EQ(WithClass(picture, "sel-point").size(), 1u);
    EXPECT_EQ(WithClass(picture, "sel-marker").size(), 1u);
    EXPECT_EQ(WithClass(picture, "sel-indicated").size(), 1u);

    const auto arcs = WithClass(picture, "sel-arc");
    ASSERT_EQ(arcs.size(), 3u);
    const std::vector<double> quarter = NumbersIn(arcs[0]->Get("points"));
    ASSERT_EQ(quarter.size(), 2u * 19);  // 90 degrees in 5-degree steps
    EXPECT_EQ(quarter[0], 740);          // (700, 200)
    EXPECT_EQ(quarter[1], 640);
    EXPECT_EQ(quarter[36], 640);         // (600, 300)
    EXPECT_EQ(quarter[37], 540);

    // Tilted by 90: parameter 90 lies at (900 - 50, 400), 180 at (900, 400 - 100).
    const std::vector<double> tilted = NumbersIn(arcs[1]->Get("points"));
    ASSERT_EQ(tilted.size(), 2u * 37);
    EXPECT_EQ(tilted[0], 890);
    EXPECT_EQ(tilted[1], 440);
    EXPECT_EQ(tilted[36], 940);
    EXPECT_EQ(tilted[37], 540);

    // A closed arc is the whole curve.
    const std::vector<double> closed = NumbersIn(arcs[2]->Get("points"));
    ASSERT_EQ(closed.size(), 2u * 73);
    EXPECT_EQ(closed.front(), closed[closed.size() - 2]);

    const auto texts = WithClass(picture, "sel-text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "A&B<C>");
    EXPECT_EQ(texts[0]->Get("font-size"), "4");  // kind 3 on group 0
}

// A text of the drawing shows the characters Windows shows for its Shift-JIS bytes; only the
// control characters, which XML cannot carry as they are, become U+FFFD.
TEST(PreviewPicture, TextsShowTheDrawingsCharacters)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string shown;  // UTF-8
    };
    const Case cases[] = {
        {"room name", "\x8B\x8F\x8A\xD4", "\xE5\xB1\x85\xE9\x96\x93"},  // 居間
        {"circled digit, kanji and full-width letters",
         "\x87\x40\x92\xCA\x82\xE8\x90\x63 \x82\x77\x82\x50",
         "\xE2\x91\xA0\xE9\x80\x9A\xE3\x82\x8A\xE8\x8A\xAF \xEF\xBC\xB8\xEF\xBC\x91"},
        {"single bytes without a character of their own", "\xA0\xFE\xFF",
         "\xEF\xA3\xB0\xEF\xA3\xB2\xEF\xA3\xB3"},
        {"undefined pair and lone lead byte", "\x85\x40" "A\x82",
         "\xE3\x83\xBB" "A\xE3\x83\xBB"},
        {"control characters", "A\x01\x09" "B\x7F",
         "A\xEF\xBF\xBD\xEF\xBF\xBD" "B\xEF\xBF\xBD"},
        {"markup", "<&>\"", "<&>\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Preview::Shape text;
        text.kind = Preview::ShapeKind::Text;
        text.points = {{0.0, 0.0}};
        text.extent = {{0.0, 0.0}, {100.0, 0.0}, {0.0, 10.0}, {100.0, 10.0}};
        text.height = 10.0;
        text.text = c.bytes;
        Preview::ShapeElement element;
        element.kind = Preview::ElementKind::Text;
        element.shapes = {text};
        Preview::PreviewShapes shapes;
        shapes.selection = {element};
        const std::vector<XmlElement> picture =
            CheckedPicture(Preview::WritePreviewSvg(shapes, Preview::PreviewOptions{}));
        const auto texts = WithClass(picture, "sel-text");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0]->text, c.shown);
    }
}

TEST(PreviewPicture, LabelsGiveTheMeasuringPointsAlongTheRun)
{
    struct Case {
        const char* example;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"floor-plan", {"0", "900", "2700", "3600", "4500", "5100", "5400", "7200"}},
        {"rotated-axis", {"0", "1200", "2400", "2650", "4000", "6000"}},
        {"dimension-figures", {"0", "4500", "6000", "7500", "13500"}},
        {"narrow-staggered",
         {"0", "150", "300", "420", "2000", "2100", "2220", "2300", "4000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.example);
        Preview::PreviewOptions options;
        options.labels = true;
        const std::vector<XmlElement> picture =
            CheckedPicture(PreviewTest::RenderExample(c.example, options));
        std::vector<std::string> labels;
        for (const XmlElement* label : WithClass(picture, "label")) labels.push_back(label->text);
        EXPECT_EQ(labels, c.labels);
    }
}

TEST(PreviewPicture, LabelsFollowTheDirectionOfTheRun)
{
    // A vertical run at axis 0: its dimension line runs along Y, and only a vertical picture
    // finds its measuring points on it.
    const char* input = "hp1 100 0\r\nhp2 0 0\r\nhp3 0 1500\r\n";
    const char* commands = "z3\r\n100 0 100 1500\r\nz3\r\n0 0 102 0\r\nz3\r\n0 1500 102 1500\r\n";
    struct Case {
        const char* name;
        Dimension::RequestedRuns runs;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"vertical", Dimension::RequestedRuns::Vertical, {"0", "1500"}},
        {"horizontal", Dimension::RequestedRuns::Horizontal, {"0", "102"}},
        // Both: the horizontal direction's labels, then the vertical one's, numbered on.
        {"both", Dimension::RequestedRuns::Both, {"0", "102", "0", "1500"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Preview::PreviewOptions options;
        options.labels = true;
        options.runs = c.runs;
        const std::vector<XmlElement> picture =
            CheckedPicture(PreviewTest::RenderBytes(input, commands, options));
        std::vector<std::string> labels;
        for (const XmlElement* label : WithClass(picture, "label")) labels.push_back(label->text);
        EXPECT_EQ(labels, c.labels);
    }
}

TEST(PreviewPicture, GridIsOptionalAndLiesBehindTheDrawing)
{
    Preview::PreviewOptions options;
    options.grid = true;
    const std::string svg = RenderBytes(kFramedInput, kRunCommands, options);
    CheckedPicture(svg);
    const std::size_t grid = svg.find("id=\"grid\"");
    ASSERT_NE(grid, std::string::npos);
    EXPECT_LT(grid, svg.find("id=\"selection\""));
    // 1200 x 880 pixels of drawing units: a step of 100.
    EXPECT_NE(svg.find(">grid 100</text>"), std::string::npos);
}

TEST(PreviewPicture, EmptyFilesGiveAnEmptyPicture)
{
    const std::vector<XmlElement> picture = CheckedPicture(RenderBytes("", "hq\r\n"));
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.front().Get("viewBox"), "0 0 240 240");
    EXPECT_TRUE(WithClass(picture, "run-line").empty());
}
