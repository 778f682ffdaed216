// The whole-run cases: the bundled examples and tests/golden/cases, each a folder holding
// JWC_TEMP.TXT (the host's file), optionally Korvane.dat (the settings before the run) and args
// (one korvane-cli argument per line), with its reviewed expectation under
// tests/golden/expected/: JWC_TEMP.TXT (the command file), exit, and Korvane.dat when the run
// saves the settings.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace GoldenCases {

struct Case {
    std::string name;                  // "examples/floor-plan", "cases/axis-090"
    std::filesystem::path input;
    std::filesystem::path expected;
};

std::vector<Case> All();

struct RunOutput {
    int exitCode = -1;
    std::string commandFile;
    std::string settingsFile;
    bool settingsExist = false;
    std::string out;
    std::string err;
};

// Runs the case through korvane-cli's logic in a fresh temporary tool folder, with the case's
// arguments after `extraArgs`.
RunOutput Run(const Case& c, const std::vector<std::string>& extraArgs = {});

}  // namespace GoldenCases
