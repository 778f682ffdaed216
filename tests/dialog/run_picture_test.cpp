// The dialog's picture of a run: exactly what OK would draw, as korvane-preview draws it, and the
// strip's message where OK would draw nothing; never a saved setting or a written file.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <cstdint>
#include <utility>
#include <vector>
#include <string>
#include <utility>

#include "dialog/controls.hpp"
#include "dialog/run_picture.hpp"
#include "dialog/tool_run.hpp"
#include "exchange/exchange_reader.hpp"
#include "preview/picture_fit.hpp"
#include "preview/preview.hpp"
#include "support/golden_cases.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

// The example opened as the tool opens it, in a copy of its folder.
struct OpenedExample {
    TestFiles::TempFolder folder;
    Unit1::ToolRun run;
    Unit1::DialogState values;

    explicit OpenedExample(const GoldenCases::Case& c)
    {
        for (const char* name : {"JWC_TEMP.TXT", "Korvane.dat"}) {
            if (fs::exists(c.input / name)) fs::copy_file(c.input / name, folder / name);
        }
        run.files = {folder.path(), folder / "Korvane.dat"};
        run.request = Dimension::ReadHostArguments(GoldenCases::Args(c));
        values = Unit1::OpenToolRun(run, Unit1::DefaultDialogState());
    }
};

std::string Svg(const Preview::PreviewShapes& shapes)
{
    Preview::PreviewOptions options;
    options.grid = true;
    options.labels = true;
    return Preview::WritePreviewSvg(shapes, options);
}

}  // namespace

class RunPictureOfExample : public testing::TestWithParam<GoldenCases::Case> {};

TEST_P(RunPictureOfExample, IsKorvanePreviewsPictureOfTheCommandFile)
{
    const GoldenCases::Case& c = GetParam();
    OpenedExample open(c);
    const std::string exchangeBefore = TestFiles::ReadBytes(open.folder / "JWC_TEMP.TXT");
    const std::string settingsBefore = TestFiles::ReadBytes(open.folder / "Korvane.dat");
    const Unit1::RunPicture picture =
        Unit1::PictureOfRun(*open.run.model, open.run.writer, open.run.request, open.values, {});
    ASSERT_TRUE(picture.drawn) << picture.message;

    RidEdaza::DrawingModel commands;
    Preview::ReadCommandModel(*open.run.model,
                              TestFiles::ReadBytes(c.expected / "JWC_TEMP.TXT"), commands);
    EXPECT_EQ(Svg(picture.shapes),
              Svg(Preview::BuildPreviewShapes(*open.run.model, commands, open.run.request.runs)));
    // A picture saves nothing and writes nothing; the run's writer is as it was.
    EXPECT_EQ(TestFiles::ReadBytes(open.folder / "JWC_TEMP.TXT"), exchangeBefore);
    EXPECT_EQ(TestFiles::ReadBytes(open.folder / "Korvane.dat"), settingsBefore);
    EXPECT_TRUE(RidEdaza::LineCount(open.run.writer.buffer) == 0);

    // Every other arrangement: the picture of its reviewed run.
    const std::string example = c.name.substr(c.name.find('/') + 1);
    const std::pair<std::int32_t, const char*> arrangements[] = {
        {1, "chain-and-overall"}, {2, "parallel"}, {3, "cumulative"}};
    for (const auto& [item, name] : arrangements) {
        SCOPED_TRACE(name);
        open.values.ComboBox6 = item;
        const Unit1::RunPicture arranged = Unit1::PictureOfRun(
            *open.run.model, open.run.writer, open.run.request, open.values, {});
        ASSERT_TRUE(arranged.drawn) << arranged.message;
        RidEdaza::DrawingModel reviewed;
        Preview::ReadCommandModel(
            *open.run.model,
            TestFiles::ReadBytes(TestFiles::SourcePath("tests/golden/expected/arrangements") /
                                 name / example / "JWC_TEMP.TXT"),
            reviewed);
        EXPECT_EQ(Svg(arranged.shapes),
                  Svg(Preview::BuildPreviewShapes(*open.run.model, reviewed,
                                                  open.run.request.runs)));
    }
}

INSTANTIATE_TEST_SUITE_P(, RunPictureOfExample, testing::ValuesIn(GoldenCases::Examples()),
                         GoldenCases::TestName);

TEST(RunPicture, SaysWhyOkWouldDrawNothing)
{
    GoldenCases::Case floorPlan;
    for (const GoldenCases::Case& c : GoldenCases::Examples()) {
        if (c.name == "examples/floor-plan") floorPlan = c;
    }
    ASSERT_FALSE(floorPlan.name.empty());
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> set;
        std::string message;
    };
    // The floor plan takes the line ends on the height point's side (CheckBox5) in a range.
    const Case cases[] = {
        // 「長さ」は 0 より大きく 1000 以下の数値で入力してください。
        {"invalid Edit7", {{"Edit7", "0"}},
         "\x81\x75\x92\xB7\x82\xB3\x81\x76\x82\xCD\x20\x30\x20\x82\xE6\x82\xE8\x91\xE5\x82\xAB\x82"
         "\xAD\x20\x31\x30\x30\x30\x20\x88\xC8\x89\xBA\x82\xCC\x90\x94\x92\x6C\x82\xC5\x93\xFC\x97"
         "\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        {"Edit7 past 1000", {{"Edit7", "1000.5"}},
         "\x81\x75\x92\xB7\x82\xB3\x81\x76\x82\xCD\x20\x30\x20\x82\xE6\x82\xE8\x91\xE5\x82\xAB\x82"
         "\xAD\x20\x31\x30\x30\x30\x20\x88\xC8\x89\xBA\x82\xCC\x90\x94\x92\x6C\x82\xC5\x93\xFC\x97"
         "\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        // 「角度」は 0 より大きく 180 未満の数値で入力してください。
        {"invalid Edit8", {{"Edit8", "180"}},
         "\x81\x75\x8A\x70\x93\x78\x81\x76\x82\xCD\x20\x30\x20\x82\xE6\x82\xE8\x91\xE5\x82\xAB\x82"
         "\xAD\x20\x31\x38\x30\x20\x96\xA2\x96\x9E\x82\xCC\x90\x94\x92\x6C\x82\xC5\x93\xFC\x97\xCD"
         "\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        // 「端点倍率」は 0 より大きい数値で入力してください。 (no upper limit)
        {"invalid Edit1", {{"Edit1", "abc"}},
         "\x81\x75\x92\x5B\x93\x5F\x94\x7B\x97\xA6\x81\x76\x82\xCD\x20\x30\x20\x82\xE6\x82\xE8\x91"
         "\xE5\x82\xAB\x82\xA2\x90\x94\x92\x6C\x82\xC5\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82"
         "\xBE\x82\xB3\x82\xA2\x81\x42"},
        // 「寸法補助線のはみ出し距離」は 0 以上の数値で入力してください。
        {"invalid Edit6", {{"Edit6", "-1"}},
         "\x81\x75\x90\xA1\x96\x40\x95\xE2\x8F\x95\x90\xFC\x82\xCC\x82\xCD\x82\xDD\x8F\x6F\x82\xB5"
         "\x8B\x97\x97\xA3\x81\x76\x82\xCD\x20\x30\x20\x88\xC8\x8F\xE3\x82\xCC\x90\x94\x92\x6C\x82"
         "\xC5\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        // 「寸法値の文字種」を選んでください。: the first run, nothing chosen yet
        {"no text kind", {{"ComboBox3", "-1"}},
         "\x81\x75\x90\xA1\x96\x40\x92\x6C\x82\xCC\x95\xB6\x8E\x9A\x8E\xED\x81\x76\x82\xF0\x91\x49"
         "\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        // 「小数点以下の０表示」を選んでください。: a radio group is a list too
        {"no zero display", {{"RadioGroup1", "-1"}},
         "\x81\x75\x8F\xAC\x90\x94\x93\x5F\x88\xC8\x89\xBA\x82\xCC\x82\x4F\x95\x5C\x8E\xA6\x81\x76"
         "\x82\xF0\x91\x49\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"},
        // A range selection that takes no kind of point.
        {"no kind of point", {{"CheckBox5", "0"}}, std::string(Unit1::kNoPointKindMessage)},
        // A kind ticked that the drawing has none of: too few points, as OK says.
        {"no point of that kind", {{"CheckBox5", "0"}, {"CheckBox8", "1"}},
         std::string(Unit1::kTooFewPointsMessage)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenedExample open(floorPlan);
        for (const auto& [control, value] : c.set) {
            ASSERT_TRUE(Unit1::SetControl(open.values, control, value));
        }
        const Unit1::RunPicture picture = Unit1::PictureOfRun(
            *open.run.model, open.run.writer, open.run.request, open.values, {});
        EXPECT_FALSE(picture.drawn);
        EXPECT_EQ(picture.message, c.message);
    }

    // A distance that is no number: the picture OK would draw (with 0), and a note naming the
    // first such field in tab order.
    const std::pair<std::vector<std::pair<const char*, const char*>>, std::string> notes[] = {
        // 「寸法値と水平線との距離」は数値として読めないため 0 として扱います。
        {{{"Edit4", "1,5"}, {"Edit6", "x"}},
         "\x81\x75\x90\xA1\x96\x40\x92\x6C\x82\xC6\x90\x85\x95\xBD\x90\xFC\x82\xC6\x82\xCC\x8B\x97"
         "\x97\xA3\x81\x76\x82\xCD\x90\x94\x92\x6C\x82\xC6\x82\xB5\x82\xC4\x93\xC7\x82\xDF\x82\xC8"
         "\x82\xA2\x82\xBD\x82\xDF\x20\x30\x20\x82\xC6\x82\xB5\x82\xC4\x88\xB5\x82\xA2\x82\xDC\x82"
         "\xB7\x81\x42"},
        {{{"Edit4", "0"}}, ""},
    };
    for (const auto& [set, note] : notes) {
        OpenedExample open(floorPlan);
        for (const auto& [control, value] : set) {
            ASSERT_TRUE(Unit1::SetControl(open.values, control, value));
        }
        const Unit1::RunPicture picture = Unit1::PictureOfRun(
            *open.run.model, open.run.writer, open.run.request, open.values, {});
        EXPECT_TRUE(picture.drawn);
        EXPECT_EQ(picture.note, note);
    }
    // A stop asked for ends the picture; it is marked as worth nothing.
    OpenedExample open(floorPlan);
    const Unit1::RunPicture stopped = Unit1::PictureOfRun(
        *open.run.model, open.run.writer, open.run.request, open.values, [] { return true; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.drawn);
}

namespace {

GoldenCases::Case Example(std::string_view name)
{
    for (const GoldenCases::Case& c : GoldenCases::Examples()) {
        if (c.name == "examples/" + std::string(name)) return c;
    }
    ADD_FAILURE() << "no example " << name;
    return {};
}

// The strip at its design size (96 DPI), inside its sunken edge of two pixels.
Preview::PixelRect StripArea()
{
    for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
        if (control.name != "ScrollBox1") continue;
        return {0.0, 0.0, control.width - 4.0, control.height - 4.0};
    }
    ADD_FAILURE() << "no strip in the controls table";
    return {};
}

Unit1::RunPicture PictureWithArrangement(const GoldenCases::Case& c, int arrangement,
                                         Dimension::RequestedRuns runs)
{
    OpenedExample open(c);
    EXPECT_TRUE(Unit1::SetControl(open.values, "ComboBox6", std::to_string(arrangement)));
    Dimension::HostRequest request = open.run.request;
    request.runs = runs;
    return Unit1::PictureOfRun(*open.run.model, open.run.writer, request, open.values, {});
}

}  // namespace

// The strip a draughtsperson reads: at 96 DPI and its design height, every text of the bundled
// examples' runs is drawn as text (never as a bar) and lies wholly inside its part of the strip.
TEST(RunPicture, EveryTextOfTheExamplesIsLegibleInTheStrip)
{
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"floor-plan", {0, 1, 2, 3}},     {"rotated-axis", {0, 1, 2, 3}},
        {"vertical-run", {0, 1, 2, 3}},   {"japanese-texts", {0, 1, 2, 3}},
        {"narrow-staggered", {0}},        {"floor-plan-corner", {0, 1, 2, 3}},
    };
    for (const auto& [name, arrangements] : cases) {
        const GoldenCases::Case example = Example(name);
        const OpenedExample open(example);
        for (const int arrangement : arrangements) {
            SCOPED_TRACE(std::string(name) + ", arrangement " + std::to_string(arrangement));
            const Unit1::RunPicture picture =
                PictureWithArrangement(example, arrangement, open.run.request.runs);
            ASSERT_TRUE(picture.drawn) << picture.message;
            const std::vector<Preview::PictureFrame> frames =
                Preview::FitPicture(picture.shapes, StripArea(), Preview::kPictureMargin);
            std::size_t texts = 0;
            for (const Preview::PictureFrame& frame : frames) {
                for (std::size_t i = frame.firstElement; i < frame.endElement; ++i) {
                    for (const Preview::Shape& shape : picture.shapes.run[i].shapes) {
                        if (shape.kind != Preview::ShapeKind::Text) continue;
                        ++texts;
                        EXPECT_GE(shape.height * frame.scale, Preview::kSmallestLegibleText)
                            << shape.text;
                        for (const Preview::ShapePoint& corner : shape.extent) {
                            const Preview::ShapePoint p = frame.Map(corner);
                            EXPECT_TRUE(p.x >= frame.area.left - 0.5 &&
                                        p.x <= frame.area.right + 0.5 &&
                                        p.y >= frame.area.top - 0.5 &&
                                        p.y <= frame.area.bottom + 0.5)
                                << shape.text << " cut at " << p.x << ", " << p.y;
                        }
                    }
                }
            }
            EXPECT_GT(texts, 0u);
        }
    }
}

// Both directions: each part of the picture holds exactly what its direction alone draws, and
// the two parts share the strip without overlapping.
TEST(RunPicture, BothDirectionsArePicturedApart)
{
    const GoldenCases::Case corner = Example("floor-plan-corner");
    for (const int arrangement : {0, 1, 2, 3}) {
        SCOPED_TRACE("arrangement " + std::to_string(arrangement));
        const auto both = PictureWithArrangement(corner, arrangement,
                                                 Dimension::RequestedRuns::Both);
        const auto horizontal = PictureWithArrangement(corner, arrangement,
                                                       Dimension::RequestedRuns::Horizontal);
        const auto vertical = PictureWithArrangement(corner, arrangement,
                                                     Dimension::RequestedRuns::Vertical);
        ASSERT_TRUE(both.drawn && horizontal.drawn && vertical.drawn);
        ASSERT_EQ(both.shapes.axes.size(), 2u);
        const Preview::RunAxis& h = both.shapes.axes[0];
        const Preview::RunAxis& v = both.shapes.axes[1];
        EXPECT_EQ(h.firstElement, 0u);
        EXPECT_EQ(h.endElement, horizontal.shapes.run.size());
        EXPECT_EQ(v.firstElement, h.endElement);
        EXPECT_EQ(v.endElement - v.firstElement, vertical.shapes.run.size());
        EXPECT_EQ(v.endElement, both.shapes.run.size());

        const Preview::PixelRect strip = StripArea();
        const auto frames = Preview::FitPicture(both.shapes, strip, Preview::kPictureMargin);
        ASSERT_EQ(frames.size(), 2u);
        const bool sideBySide = frames[0].area.right <= frames[1].area.left;
        const bool stacked = frames[0].area.bottom <= frames[1].area.top;
        EXPECT_TRUE(sideBySide || stacked);
        EXPECT_EQ(frames[0].textAngle, h.textAngle);
        EXPECT_EQ(frames[1].textAngle, v.textAngle);
    }
    // A direction skipped for too few points leaves the whole strip to the other.
    const Preview::PreviewShapes shapes = PictureWithArrangement(
        corner, 0, Dimension::RequestedRuns::Horizontal).shapes;
    Preview::PreviewShapes skipped = shapes;
    Preview::RunAxis none;
    none.textAngle = 90.0;
    none.firstElement = none.endElement = shapes.run.size();
    skipped.axes.push_back(none);
    const auto frames = Preview::FitPicture(skipped, StripArea(), Preview::kPictureMargin);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].area.right, StripArea().right);
    EXPECT_EQ(frames[0].area.bottom, StripArea().bottom);
}

// Memory running out at any stage of the picture (the command, the read-back, the shapes): the
// strip says the picture lacks memory, and predicts nothing about OK, which has its own.
TEST(RunPicture, SaysThePictureLacksMemoryAtEveryStage)
{
    GoldenCases::Case floorPlan;
    for (const GoldenCases::Case& c : GoldenCases::Examples()) {
        if (c.name == "examples/floor-plan") floorPlan = c;
    }
    ASSERT_FALSE(floorPlan.name.empty());
    OpenedExample open(floorPlan);
    int stages = 0;
    const Unit1::RunPicture whole =
        Unit1::PictureOfRun(*open.run.model, open.run.writer, open.run.request, open.values,
                            [&stages] { return ++stages < 0; });
    ASSERT_TRUE(whole.drawn);
    ASSERT_GT(stages, 2);
    for (int failing = 1; failing <= stages; ++failing) {
        SCOPED_TRACE("out of memory at the stop check " + std::to_string(failing));
        int asked = 0;
        const auto stop = [&asked, failing] {
            if (++asked == failing) throw std::bad_alloc();
            return false;
        };
        const Unit1::RunPicture picture = Unit1::PictureOfRun(
            *open.run.model, open.run.writer, open.run.request, open.values, stop);
        EXPECT_FALSE(picture.drawn);
        EXPECT_FALSE(picture.stopped);
        EXPECT_EQ(picture.message, Unit1::kPictureOutOfMemoryMessage);
    }
}

// Both runs asked for: the strip says which direction has too few points to be drawn, and the
// picture holds the other one.
TEST(RunPicture, SaysWhichDirectionIsSkipped)
{
    struct Case {
        const char* name;
        const char* exchange;
        std::string_view note;
    };
    const Case cases[] = {
        {"side by side: no vertical run", "hp1 0 100\r\nhp2 0 0\r\nhp3 10 0\r\n",
         Unit1::kVerticalSkippedNote},
        {"one above the other: no horizontal run", "hp1 100 0\r\nhp2 0 0\r\nhp3 0 10\r\n",
         Unit1::kHorizontalSkippedNote},
        {"on a diagonal: both runs", "hp1 -100 100\r\nhp2 0 0\r\nhp3 10 10\r\n", ""},
    };
    const Dimension::HostRequest both{Dimension::PointSource::IndicatedPoints,
                                      Dimension::RequestedRuns::Both};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RidEdaza::DrawingModel model;
        RidEdaza::ReadExchangeText(model, c.exchange);
        RidEdaza::CommandWriter writer;
        RidEdaza::ResetOutputState(writer, model.state);
        Unit1::DialogState values = Unit1::DefaultDialogState();
        values.ComboBox3Items = Unit1::TextKindItems(model.state);
        ASSERT_TRUE(Unit1::SetControl(values, "ComboBox3", "0"));
        const Unit1::RunPicture picture = Unit1::PictureOfRun(model, writer, both, values, {});
        ASSERT_TRUE(picture.drawn) << picture.message;
        EXPECT_EQ(picture.note, c.note);
        EXPECT_EQ(picture.shapes.axes.size(), 2u);
    }
}
