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
#include <string_view>
#include <utility>
#include <vector>


#include "support/golden_cases.hpp"
#include "support/golden_files.hpp"
#include "support/test_files.hpp"
#include "support/turned_axis.hpp"

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


// A vertical run is the horizontal run of the same drawing with its axis turned by 90 degrees,
// byte for byte: so every case of an axis angle is a case of a vertical run too.
class VerticalRun : public testing::TestWithParam<GoldenCases::Case> {};

TEST_P(VerticalRun, IsTheHorizontalRunOfTheAxisTurnedByNinety)
{
    const GoldenCases::Case& c = GetParam();
    std::vector<std::string> horizontalArgs;
    for (const std::string& a : GoldenCases::Args(c)) {
        if (a != "V" && a != "v" && a != "HV" && a != "hv") horizontalArgs.push_back(a);
    }
    std::vector<std::string> verticalArgs = horizontalArgs;
    verticalArgs.push_back("V");
    const GoldenCases::RunOutput vertical = GoldenCases::Run(c, {.args = verticalArgs});
    const GoldenCases::RunOutput turned = GoldenCases::Run(
        c, {.args = horizontalArgs,
            .exchangeFile = TurnedAxis::TurnedByNinety(GoldenCases::ExchangeFile(c).value_or(""))});
    EXPECT_EQ(vertical.exitCode, turned.exitCode);
    EXPECT_EQ(vertical.commandFile, turned.commandFile);
    EXPECT_EQ(vertical.settingsFile, turned.settingsFile);
    EXPECT_EQ(vertical.err, turned.err);
}

INSTANTIATE_TEST_SUITE_P(, VerticalRun, testing::ValuesIn(GoldenCases::All()),
                         GoldenCases::TestName);

// Every arrangement but the chain over the bundled examples, each run reviewed by hand: the
// examples' own expectations are the chain's. The item is set before the example's arguments;
// the settings saved hold it on line 28. And both directions from one selection ("HV") in every
// arrangement on the rotated axis's indicated points (the example floor-plan-corner asks for
// both itself, so the example runs cover it), each reviewed as a picture.
struct ArrangedExample {
    GoldenCases::Case run;
    std::string item;
    std::vector<std::string> extraArgs;  // after the example's own
};

void PrintTo(const ArrangedExample& a, std::ostream* os)
{
    *os << a.run.name;
}

// The examples (all, or the one named) in the arrangements from `firstItem` on, their
// expectations under `folder`/<arrangement>/<example>.
std::vector<ArrangedExample> ExamplesArranged(const std::string& folder, int firstItem,
                                              std::string_view onlyExample,
                                              const std::vector<std::string>& extraArgs)
{
    const char* const names[] = {"chain", "chain-and-overall", "parallel", "cumulative"};
    std::vector<ArrangedExample> cases;
    for (int item = firstItem; item < 4; ++item) {
        for (const GoldenCases::Case& example : GoldenCases::Examples()) {
            const std::string name = example.name.substr(example.name.find('/') + 1);
            if (!onlyExample.empty() && name != onlyExample) continue;
            GoldenCases::Case c = example;
            c.name = folder + "/" + names[item] + "/" + name;
            c.expected = TestFiles::SourcePath("tests/golden/expected") / c.name;
            cases.push_back({c, std::to_string(item), extraArgs});
        }
    }
    return cases;
}

class ArrangedRun : public testing::TestWithParam<ArrangedExample> {};

TEST_P(ArrangedRun, GivesTheReviewedFilesAndExitCode)
{
    const ArrangedExample& a = GetParam();
    std::vector<std::string> args = GoldenCases::Args(a.run);
    args.insert(args.end(), a.extraArgs.begin(), a.extraArgs.end());
    const GoldenCases::RunOutput run =
        GoldenCases::Run(a.run, {.before = {"--set", "ComboBox6=" + a.item}, .args = args});
    if (GoldenFiles::UpdateRequested()) {
        WriteExpectation(a.run, run);
        return;
    }
    GoldenCases::ExpectReviewedOutput(a.run, run);
}

std::string ArrangedName(const testing::TestParamInfo<ArrangedExample>& info)
{
    return GoldenCases::TestName(testing::TestParamInfo<GoldenCases::Case>(info.param.run,
                                                                           info.index));
}

INSTANTIATE_TEST_SUITE_P(, ArrangedRun,
                         testing::ValuesIn(ExamplesArranged("arrangements", 1, "", {})),
                         ArrangedName);
INSTANTIATE_TEST_SUITE_P(BothDirections, ArrangedRun,
                         testing::ValuesIn(ExamplesArranged("both-directions", 0, "rotated-axis",
                                                            {"HV"})),
                         ArrangedName);
