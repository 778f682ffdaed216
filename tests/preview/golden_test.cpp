// The pictures of the bundled examples, byte for byte: each example's exchange file with the
// reviewed command file of its whole-run test, drawn with the grid and the labels as the demo
// draws them. Set KORVANE_UPDATE_GOLDEN=1 to write the pictures from the current results; look at
// every changed picture before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "exchange/drawing_model.hpp"
#include "picture_support.hpp"
#include "support/golden_cases.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

TEST(PreviewGolden, ExamplePicturesMatchTheReviewedOnes)
{
    const char* flag = std::getenv("KORVANE_UPDATE_GOLDEN");
    const bool update = flag != nullptr && std::string(flag) == "1";
    const fs::path goldenFolder = TestFiles::SourcePath("tests/golden/preview");
    int examples = 0;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(TestFiles::SourcePath("examples"))) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++examples;
        const fs::path commands =
            TestFiles::SourcePath("tests/golden/expected/examples/" + name + "/JWC_TEMP.TXT");
        ASSERT_TRUE(fs::exists(commands)) << "the example has no reviewed command file";
        Preview::PreviewOptions options;
        options.grid = true;
        options.labels = true;
        const std::string svg =
            PreviewTest::RenderBytes(TestFiles::ReadBytes(entry.path() / "JWC_TEMP.TXT"),
                                     TestFiles::ReadBytes(commands), options);
        PreviewTest::CheckedPicture(svg);
        const fs::path golden = goldenFolder / (name + ".svg");
        if (update) {
            fs::create_directories(goldenFolder);
            TestFiles::WriteBytes(golden, svg);
            continue;
        }
        ASSERT_TRUE(fs::exists(golden)) << "no reviewed picture";
        EXPECT_EQ(svg, TestFiles::ReadBytes(golden));
    }
    EXPECT_GE(examples, 4);
}

// A command buffer not yet written out (the dialog's) draws the picture of the file the tool
// writes from it: every reviewed command file, read from memory and from the file.
TEST(PreviewGolden, CommandFilesReadFromMemoryDrawAsFromTheFile)
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
