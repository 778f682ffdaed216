// Whole runs: an exchange file (and settings, and arguments) in, the command file out, compared
// byte for byte with the reviewed expectation.
//
// A case is a folder holding JWC_TEMP.TXT (the host's file), optionally Korvane.dat (the settings
// file before the run) and args (one korvane-cli argument per line). Its expectation is a folder
// with JWC_TEMP.TXT (the command file), exit (the exit code) and, when the run saves the settings,
// Korvane.dat. The bundled examples are cases too. Set KORVANE_UPDATE_GOLDEN=1 to write the
// expectations from the current results; every change to them is reviewed by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/golden_cases.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

bool UpdateRequested()
{
    const char* flag = std::getenv("KORVANE_UPDATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

}  // namespace

TEST(GoldenRuns, CommandFilesMatchTheReviewedExpectations)
{
    const std::vector<GoldenCases::Case> cases = GoldenCases::All();
    ASSERT_FALSE(cases.empty());
    for (const GoldenCases::Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GoldenCases::RunOutput run = GoldenCases::Run(c);
        if (UpdateRequested()) {
            fs::create_directories(c.expected);
            TestFiles::WriteBytes(c.expected / "JWC_TEMP.TXT", run.commandFile);
            TestFiles::WriteBytes(c.expected / "exit", std::to_string(run.exitCode) + "\n");
            if (run.settingsExist) TestFiles::WriteBytes(c.expected / "Korvane.dat", run.settingsFile);
            continue;
        }
        ASSERT_TRUE(fs::exists(c.expected / "JWC_TEMP.TXT")) << "no expectation recorded";
        EXPECT_EQ(run.commandFile, TestFiles::ReadBytes(c.expected / "JWC_TEMP.TXT"));
        EXPECT_EQ(std::to_string(run.exitCode) + "\n", TestFiles::ReadBytes(c.expected / "exit"));
        if (fs::exists(c.expected / "Korvane.dat")) {
            EXPECT_EQ(run.settingsFile, TestFiles::ReadBytes(c.expected / "Korvane.dat"));
        }
    }
}
