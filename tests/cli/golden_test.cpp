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

#include <charconv>
#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange/exchange_reader_internal.hpp"

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

namespace {

// The case's exchange file with its axis angle turned by 90: every "hk" line that sets the angle
// holds the sum (formed in double, written in the shortest form that reads back the same
// double), or such a line comes first when there is none.
std::string TurnedByNinety(const std::string& exchange)
{
    RidEdaza::DrawingModel model;
    RidEdaza::ReadExchangeText(model, exchange);
    const double sum = model.state.axisAngle + 90.0;
    char digits[64];
    const auto written = std::to_chars(digits, digits + sizeof digits, sum);
    const std::string hk = "hk " + std::string(digits, written.ptr);

    std::string turned;
    bool replaced = false;
    std::size_t start = 0;
    while (start < exchange.size()) {
        std::size_t end = exchange.find('\n', start);
        end = end == std::string::npos ? exchange.size() : end + 1;
        std::string line = exchange.substr(start, end - start);
        start = end;
        RidEdaza::LineFields fields;
        std::string_view bare = line;
        while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
        RidEdaza::SplitExchangeLine(bare, fields);
        if (fields[0] == "hk" && fields.count >= 2) {
            line = hk + line.substr(bare.size());
            replaced = true;
        }
        turned += line;
    }
    return replaced ? turned : hk + "\r\n" + turned;
}

}  // namespace

// A vertical run is the horizontal run of the same drawing with its axis turned by 90 degrees,
// byte for byte: so every case of an axis angle is a case of a vertical run too.
class VerticalRun : public testing::TestWithParam<GoldenCases::Case> {};

TEST_P(VerticalRun, IsTheHorizontalRunOfTheAxisTurnedByNinety)
{
    const GoldenCases::Case& c = GetParam();
    std::vector<std::string> horizontalArgs;
    for (const std::string& a : GoldenCases::Args(c)) {
        if (a != "V" && a != "v") horizontalArgs.push_back(a);
    }
    std::vector<std::string> verticalArgs = horizontalArgs;
    verticalArgs.push_back("V");
    const GoldenCases::RunOutput vertical = GoldenCases::Run(c, {.args = verticalArgs});
    const GoldenCases::RunOutput turned = GoldenCases::Run(
        c, {.args = horizontalArgs,
            .exchangeFile = TurnedByNinety(GoldenCases::ExchangeFile(c).value_or(""))});
    EXPECT_EQ(vertical.exitCode, turned.exitCode);
    EXPECT_EQ(vertical.commandFile, turned.commandFile);
    EXPECT_EQ(vertical.settingsFile, turned.settingsFile);
    EXPECT_EQ(vertical.err, turned.err);
}

INSTANTIATE_TEST_SUITE_P(, VerticalRun, testing::ValuesIn(GoldenCases::All()),
                         GoldenCases::TestName);
