// Whole runs: an exchange file (and settings, and arguments) in, the command file out, compared
// byte for byte with the reviewed expectation; one test per case.
//
// A case is a folder holding JWC_TEMP.TXT (the host's file), optionally Korvane.dat (the settings
// file before the run) and args (one korvane-cli argument per line). Its expectation is a folder
// with JWC_TEMP.TXT (the command file), exit (the exit code) and, when the run saves the settings,
// Korvane.dat. The bundled examples are cases too. A differing file is kept under
// <build>/golden-actual/<case>/. Set KORVANE_UPDATE_GOLDEN=1 to write the expectations from the
// current results; every change to them is reviewed by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/golden_cases.hpp"
#include "support/golden_files.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

void WriteExpectation(const GoldenCases::Case& c, const GoldenCases::RunOutput& run)
{
    fs::create_directories(c.expected);
    TestFiles::WriteBytes(c.expected / "JWC_TEMP.TXT", run.commandFile);
    TestFiles::WriteBytes(c.expected / "exit", std::to_string(run.exitCode) + "\n");
    if (run.settingsExist) TestFiles::WriteBytes(c.expected / "Korvane.dat", run.settingsFile);
}

}  // namespace

// A folder that lost its cases would otherwise pass with fewer tests.
TEST(GoldenCaseList, HoldsTheExamplesAndTheCases)
{
    EXPECT_GE(GoldenCases::Examples().size(), 4u);
    EXPECT_GT(GoldenCases::All().size(), 10u);
}

class GoldenRun : public testing::TestWithParam<GoldenCases::Case> {};

TEST_P(GoldenRun, GivesTheReviewedFilesAndExitCode)
{
    const GoldenCases::Case& c = GetParam();
    const GoldenCases::RunOutput run = GoldenCases::Run(c);
    if (GoldenFiles::UpdateRequested()) {
        WriteExpectation(c, run);
        return;
    }
    GoldenCases::ExpectReviewedOutput(c, run);
}

INSTANTIATE_TEST_SUITE_P(, GoldenRun, testing::ValuesIn(GoldenCases::All()),
                         GoldenCases::TestName);
