// The dialog's picture of a run: exactly what OK would draw, as korvane-preview draws it, and the
// strip's message where OK would draw nothing; never a saved setting or a written file.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdint>
#include <string>
#include <utility>

#include "dialog/controls.hpp"
#include "dialog/run_picture.hpp"
#include "dialog/tool_run.hpp"
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
        run.arguments = Unit1::ReadHostArguments(GoldenCases::Args(c));
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
        Unit1::PictureOfRun(open.run.model, open.run.writer, open.run.arguments, open.values, {});
    ASSERT_TRUE(picture.drawn) << picture.message;

    RidEdaza::DrawingModel commands;
    Preview::ReadCommandModel(open.run.model,
                              TestFiles::ReadBytes(c.expected / "JWC_TEMP.TXT"), commands);
    EXPECT_EQ(Svg(picture.shapes),
              Svg(Preview::BuildPreviewShapes(open.run.model, commands,
                                              open.run.arguments.direction)));
    // A picture saves nothing and writes nothing; the run's writer is as it was.
    EXPECT_EQ(TestFiles::ReadBytes(open.folder / "JWC_TEMP.TXT"), exchangeBefore);
    EXPECT_EQ(TestFiles::ReadBytes(open.folder / "Korvane.dat"), settingsBefore);
    EXPECT_TRUE(RidEdaza::LineCount(open.run.writer.buffer) == 0);
    EXPECT_FALSE(picture.wholeSet);

    // Every other arrangement: the picture of its reviewed run, shown whole in the strip.
    const std::string example = c.name.substr(c.name.find('/') + 1);
    const std::pair<std::int32_t, const char*> arrangements[] = {
        {1, "chain-and-overall"}, {2, "parallel"}, {3, "cumulative"}};
    for (const auto& [item, name] : arrangements) {
        SCOPED_TRACE(name);
        open.values.ComboBox6 = item;
        const Unit1::RunPicture arranged = Unit1::PictureOfRun(
            open.run.model, open.run.writer, open.run.arguments, open.values, {});
        ASSERT_TRUE(arranged.drawn) << arranged.message;
        EXPECT_TRUE(arranged.wholeSet);
        RidEdaza::DrawingModel reviewed;
        Preview::ReadCommandModel(
            open.run.model,
            TestFiles::ReadBytes(TestFiles::SourcePath("tests/golden/expected/arrangements") /
                                 name / example / "JWC_TEMP.TXT"),
            reviewed);
        EXPECT_EQ(Svg(arranged.shapes),
                  Svg(Preview::BuildPreviewShapes(open.run.model, reviewed,
                                                  open.run.arguments.direction)));
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
        const char* control;
        const char* value;
        std::string message;
    };
    const Case cases[] = {
        // 「長さ」の値が正しくありません。
        {"invalid Edit7", "Edit7", "0",
         "\x81\x75\x92\xB7\x82\xB3\x81\x76\x82\xCC\x92\x6C\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0"
         "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42"},
        {"no point taken", "CheckBox5", "0", std::string(Unit1::kTooFewPointsMessage)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenedExample open(floorPlan);
        ASSERT_TRUE(Unit1::SetControl(open.values, c.control, c.value));
        const Unit1::RunPicture picture = Unit1::PictureOfRun(
            open.run.model, open.run.writer, open.run.arguments, open.values, {});
        EXPECT_FALSE(picture.drawn);
        EXPECT_EQ(picture.message, c.message);
    }
    // A stop asked for ends the picture; it is marked as worth nothing.
    OpenedExample open(floorPlan);
    const Unit1::RunPicture stopped = Unit1::PictureOfRun(
        open.run.model, open.run.writer, open.run.arguments, open.values, [] { return true; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.drawn);
}
