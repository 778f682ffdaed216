// The whole-run cases: the bundled examples and tests/golden/cases, each a folder holding
// JWC_TEMP.TXT (the host's file), optionally Korvane.dat (the settings before the run) and args
// (one korvane-cli argument per line), with its reviewed expectation under
// tests/golden/expected/: JWC_TEMP.TXT (the command file), exit, and Korvane.dat when the run
// saves the settings.
//
// The tests run one GoogleTest test per case (TEST_P over All() or Examples(), named by
// TestName), all in one program: a failure names its case, and under wine a process costs more
// than a run.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace GoldenCases {

struct Case {
    std::string name;                  // "examples/floor-plan", "cases/axis-090"
    std::filesystem::path input;
    std::filesystem::path expected;
};

// Every case, ordered by name; Examples() only the bundled examples.
std::vector<Case> All();
std::vector<Case> Examples();

// GoogleTest shows a case by its name (the listing, failures).
void PrintTo(const Case& c, std::ostream* os);

// The case's name as a test name: "examples/floor-plan" -> "examples_floor_plan".
std::string TestName(const testing::TestParamInfo<Case>& info);

struct RunOutput {
    int exitCode = -1;
    std::string commandFile;
    std::string settingsFile;
    bool settingsExist = false;
    std::string out;
    std::string err;
};

// How a case may be run otherwise: arguments before the case's own, other arguments in place of
// the case's, and another exchange file in place of the case's.
struct Variant {
    std::vector<std::string> before{};
    std::optional<std::vector<std::string>> args{};
    std::optional<std::string> exchangeFile{};
};

// The case's own arguments (its args file), in order.
std::vector<std::string> Args(const Case& c);

// Runs the case through korvane-cli's logic in a fresh temporary tool folder.
RunOutput Run(const Case& c, const Variant& variant = {});

// The case's exchange file, or none.
std::optional<std::string> ExchangeFile(const Case& c);

// The run's exit code, command file and (where the expectation has one) settings file against
// the reviewed ones; a differing file is kept below golden-actual/<keepUnder>/<case>/.
void ExpectReviewedOutput(const Case& c, const RunOutput& run, std::string_view keepUnder = {});

}  // namespace GoldenCases
