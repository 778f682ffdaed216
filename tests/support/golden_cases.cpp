#include "support/golden_cases.hpp"

#include <sstream>

#include "cli/cli.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace GoldenCases {
namespace {

std::vector<std::string> ReadArgs(const fs::path& file)
{
    std::vector<std::string> args;
    std::istringstream lines(TestFiles::ReadBytes(file));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) args.push_back(line);
    }
    return args;
}

}  // namespace

std::vector<Case> All()
{
    std::vector<Case> cases;
    const std::pair<const char*, const char*> roots[] = {
        {"examples", "examples/"}, {"tests/golden/cases", "cases/"}};
    for (const auto& [inputs, tag] : roots) {
        const fs::path in = TestFiles::SourcePath(inputs);
        if (!fs::is_directory(in)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(in)) {
            if (!entry.is_directory()) continue;
            const std::string name = tag + entry.path().filename().string();
            cases.push_back({name, entry.path(),
                             TestFiles::SourcePath("tests/golden/expected") / name});
        }
    }
    return cases;
}

RunOutput Run(const Case& c, const std::vector<std::string>& extraArgs)
{
    TestFiles::TempFolder folder;
    const fs::path exchange = folder / "JWC_TEMP.TXT";
    const fs::path settings = folder / "Korvane.dat";
    if (fs::exists(c.input / "JWC_TEMP.TXT")) fs::copy_file(c.input / "JWC_TEMP.TXT", exchange);
    if (fs::exists(c.input / "Korvane.dat")) fs::copy_file(c.input / "Korvane.dat", settings);

    std::vector<std::string> args = {"--folder", folder.path().string(), "--settings",
                                     settings.string()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    for (const std::string& a : ReadArgs(c.input / "args")) args.push_back(a);

    std::ostringstream out;
    std::ostringstream err;
    RunOutput result;
    result.exitCode = Cli::RunCli(args, folder / "korvane-cli", out, err);
    result.commandFile = TestFiles::ReadBytes(exchange);
    result.settingsExist = fs::exists(settings);
    if (result.settingsExist) result.settingsFile = TestFiles::ReadBytes(settings);
    result.out = out.str();
    result.err = err.str();
    return result;
}

}  // namespace GoldenCases
