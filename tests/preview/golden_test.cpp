// The pictures of the bundled examples, byte for byte, one test per example: each example's
// exchange file with the reviewed command file of its whole-run test, drawn with the grid and the
// labels as the demo draws them. A differing picture is kept under
// <build>/golden-actual/preview/. Set KORVANE_UPDATE_GOLDEN=1 to write the pictures from the
// current results; look at every changed picture before committing it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "exchange/drawing_model.hpp"
#include "preview/preview.hpp"
#include "picture_support.hpp"
#include "support/golden_cases.hpp"
#include "support/golden_files.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

class PreviewGolden : public testing::TestWithParam<GoldenCases::Case> {};

TEST_P(PreviewGolden, ExamplePictureIsTheReviewedOne)
{
    const GoldenCases::Case& example = GetParam();
    ASSERT_TRUE(fs::exists(example.expected / "JWC_TEMP.TXT"))
        << "the example has no reviewed command file";
    Preview::PreviewOptions options;
    options.grid = true;
    options.labels = true;
    const std::string name = example.input.filename().string();
    const std::string svg = PreviewTest::RenderExample(name, options);
    PreviewTest::CheckedPicture(svg);
    const fs::path golden = TestFiles::SourcePath("tests/golden/preview") / (name + ".svg");
    if (GoldenFiles::UpdateRequested()) {
        fs::create_directories(golden.parent_path());
        TestFiles::WriteBytes(golden, svg);
        return;
    }
    GoldenFiles::ExpectSameBytes(svg, golden, fs::path("preview") / (name + ".svg"));
}

INSTANTIATE_TEST_SUITE_P(, PreviewGolden, testing::ValuesIn(GoldenCases::Examples()),
                         GoldenCases::TestName);

// A command buffer not yet written out (the dialog's) draws the picture of the file the tool
// writes from it: every reviewed command file, read from memory and from the file.
TEST(PreviewFromMemory, CommandFilesReadFromMemoryDrawAsFromTheFile)
{
    Preview::PreviewOptions options;
    options.grid = true;
    options.labels = true;
    int compared = 0;
    for (const GoldenCases::Case& c : GoldenCases::All()) {
        const fs::path commandPath = c.expected / "JWC_TEMP.TXT";
        if (!fs::exists(commandPath)) continue;  // a run that wrote no command file
        SCOPED_TRACE(c.name);
        ++compared;
        RidEdaza::DrawingModel input;
        RidEdaza::DrawingModel fromFile;
        std::string problem;
        ASSERT_TRUE(Preview::LoadPreviewModels(c.input / "JWC_TEMP.TXT", commandPath, input,
                                               fromFile, problem))
            << problem;
        RidEdaza::DrawingModel fromMemory;
        Preview::ReadCommandModel(input, TestFiles::ReadBytes(commandPath), fromMemory);
        ASSERT_EQ(fromMemory.order.size(), fromFile.order.size());
        EXPECT_EQ(Preview::RenderPreviewSvg(input, fromMemory, options),
                  Preview::RenderPreviewSvg(input, fromFile, options));
    }
    EXPECT_GE(compared, 30);
}

// The dialog gives up a picture of a very large run within a few thousand lines: a stop reaches
// the reading of the command file and the building of the shapes, not only the stages between.
TEST(PreviewFromMemory, AStopEndsTheReadingAndTheShapesEarly)
{
    constexpr std::size_t kLines = 50000;
    std::string commandFile;
    for (std::size_t i = 0; i < kLines; ++i) {
        commandFile += std::to_string(i) + " 0 " + std::to_string(i) + " 10\r\n";
    }
    const RidEdaza::DrawingModel input;
    const auto never = [] { return false; };
    const auto atOnce = [] { return true; };

    RidEdaza::DrawingModel whole;
    Preview::ReadCommandModel(input, commandFile, whole, never);
    ASSERT_EQ(whole.lines.size(), kLines);
    RidEdaza::DrawingModel stopped;
    Preview::ReadCommandModel(input, commandFile, stopped, atOnce);
    EXPECT_LT(stopped.lines.size(), kLines / 4);

    const Preview::PreviewShapes all =
        Preview::BuildPreviewShapes(input, whole, Dimension::RequestedRuns::Horizontal, never);
    ASSERT_EQ(all.run.size(), kLines);
    const Preview::PreviewShapes part =
        Preview::BuildPreviewShapes(input, whole, Dimension::RequestedRuns::Horizontal, atOnce);
    EXPECT_LT(part.run.size(), kLines / 4);
}
