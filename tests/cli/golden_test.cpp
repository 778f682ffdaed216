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
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

struct GoldenCase {
    std::string name;
    fs::path input;
    fs::path expected;
};

std::vector<GoldenCase> AllCases()
{
    std::vector<GoldenCase> cases;
    auto collect = [&](const fs::path& inputs, const fs::path& expectations, const std::string& tag) {
        if (!fs::is_directory(inputs)) return;
        for (const fs::directory_entry& entry : fs::directory_iterator(inputs)) {
            if (!entry.is_directory()) continue;
            const std::string name = entry.path().filename().string();
            cases.push_back({tag + name, entry.path(), expectations / name});
        }
    };
    collect(TestFiles::SourcePath("examples"), TestFiles::SourcePath("tests/golden/expected/examples"),
            "examples/");
    collect(TestFiles::SourcePath("tests/golden/cases"),
            TestFiles::SourcePath("tests/golden/expected/cases"), "cases/");
    return cases;
}

std::vector<std::string> ReadArgs(const fs::path& file)
{
    std::vector<std::string> args;
    std::istringstream lines(TestFiles::ReadBytes(file));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) args.push_back(line);
    }
    return args;
}

struct RunOutput {
    int exitCode = -1;
    std::string commandFile;
    std::string settingsFile;
    bool settingsExist = false;
};

RunOutput RunCase(const GoldenCase& c)
{
    TestFiles::TempFolder folder;
    const fs::path exchange = folder / "JWC_TEMP.TXT";
    const fs::path settings = folder / "Korvane.dat";
    if (fs::exists(c.input / "JWC_TEMP.TXT")) fs::copy_file(c.input / "JWC_TEMP.TXT", exchange);
    if (fs::exists(c.input / "Korvane.dat")) fs::copy_file(c.input / "Korvane.dat", settings);

    std::vector<std::string> args = {"--folder", folder.path().string(), "--settings",
                                     settings.string()};
    for (const std::string& a : ReadArgs(c.input / "args")) args.push_back(a);

    std::ostringstream out;
    std::ostringstream err;
    RunOutput result;
    result.exitCode = Cli::RunCli(args, folder / "korvane-cli", out, err);
    result.commandFile = TestFiles::ReadBytes(exchange);
    result.settingsExist = fs::exists(settings);
    if (result.settingsExist) result.settingsFile = TestFiles::ReadBytes(settings);
    return result;
}

bool UpdateRequested()
{
    const char* flag = std::getenv("KORVANE_UPDATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

}  // namespace

TEST(GoldenRuns, CommandFilesMatchTheReviewedExpectations)
{
    const std::vector<GoldenCase> cases = AllCases();
    ASSERT_FALSE(cases.empty());
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RunOutput run = RunCase(c);
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
