// The command line of korvane-preview: arguments, exit codes, where the picture goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "preview/preview.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

TEST(PreviewProgram, ArgumentsAndExitCodes)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "input.txt", "hp1 0 10\r\n0 0 100 0\r\n");
    TestFiles::WriteBytes(folder / "commands.txt", "z3\r\n0 10 100 10\r\n");
    const fs::path input = folder / "input.txt";
    const fs::path commands = folder / "commands.txt";
    const fs::path missing = folder / "missing.txt";
    const fs::path picture = folder / "picture.svg";
    const fs::path noFolder = folder / "no-such-folder" / "picture.svg";

    struct Case {
        const char* what;
        std::vector<fs::path> args;
        int exitCode;
        bool toStdout;
        bool toFile;
    };
    const Case cases[] = {
        {"no arguments", {}, 64, false, false},
        {"one file", {input}, 64, false, false},
        {"three files", {input, commands, input}, 64, false, false},
        {"unknown option", {input, commands, "--colour"}, 64, false, false},
        {"-o without a file", {input, commands, "-o"}, 64, false, false},
        {"-o twice", {input, commands, "-o", picture, "-o", picture}, 64, false, false},
        {"missing exchange file", {missing, commands, "-o", picture}, 2, false, false},
        {"missing command file", {input, missing, "-o", picture}, 2, false, false},
        {"to standard output", {input, commands, "--grid", "--labels"}, 0, true, false},
        {"a vertical run", {input, commands, "V"}, 0, true, false},
        {"both runs", {input, commands, "hv"}, 0, true, false},
        {"a third word that is not V", {input, commands, "W"}, 64, false, false},
        {"V and H the other way round", {input, commands, "VH"}, 64, false, false},
        {"to a file, options first", {"--labels", "-o", picture, input, commands}, 0, false, true},
        {"into a folder that does not exist", {input, commands, "-o", noFolder}, 3, false, false},
        {"help", {"--help"}, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(picture);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(Preview::RunPreview(c.args, out, err), c.exitCode);
        EXPECT_EQ(out.str().starts_with("<?xml"), c.toStdout);
        EXPECT_EQ(fs::exists(picture), c.toFile);
        if (c.toFile) {
            EXPECT_TRUE(TestFiles::ReadBytes(picture).starts_with("<?xml"));
        }
        if (c.exitCode != 0) {
            EXPECT_FALSE(err.str().empty());
        }
        EXPECT_FALSE(fs::exists(noFolder));
    }
}
