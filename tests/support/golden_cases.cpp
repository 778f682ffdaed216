#include "support/golden_cases.hpp"

#include <algorithm>
#include <sstream>

#include "cli/cli.hpp"
#include "support/golden_files.hpp"
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

// The case folders below `inputs` (relative to the source tree), named `tag` + folder name.
void AddCases(const char* inputs, const std::string& tag, std::vector<Case>& cases)
{
    const fs::path in = TestFiles::SourcePath(inputs);
    if (!fs::is_directory(in)) return;
    std::vector<Case> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(in)) {
        if (!entry.is_directory()) continue;
        const std::string name = tag + entry.path().filename().string();
        found.push_back(
            {name, entry.path(), TestFiles::SourcePath("tests/golden/expected") / name});
    }
    // The folder's order is the file system's; the test listing reads better sorted.
    std::sort(found.begin(), found.end(),
              [](const Case& a, const Case& b) { return a.name < b.name; });
    cases.insert(cases.end(), found.begin(), found.end());
}

}  // namespace

std::vector<Case> All()
{
    std::vector<Case> cases = Examples();
    AddCases("tests/golden/cases", "cases/", cases);
    return cases;
}

std::vector<Case> Examples()
{
    std::vector<Case> cases;
    AddCases("examples", "examples/", cases);
    return cases;
}

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

std::string TestName(const testing::TestParamInfo<Case>& info)
{
    std::string name = info.param.name;
    for (char& c : name) {
        // A test name takes ASCII letters and digits; std::isalnum would follow the locale.
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) c = '_';
    }
    return name;
}

std::vector<std::string> Args(const Case& c)
{
    return ReadArgs(c.input / "args");
}

std::optional<std::string> ExchangeFile(const Case& c)
{
    if (!fs::exists(c.input / "JWC_TEMP.TXT")) return std::nullopt;
    return TestFiles::ReadBytes(c.input / "JWC_TEMP.TXT");
}

RunOutput Run(const Case& c, const Variant& variant)
{
    TestFiles::TempFolder folder;
    const fs::path exchange = folder / "JWC_TEMP.TXT";
    const fs::path settings = folder / "Korvane.dat";
    const std::optional<std::string> input = variant.exchangeFile ? variant.exchangeFile : ExchangeFile(c);
    if (input) TestFiles::WriteBytes(exchange, *input);
    if (fs::exists(c.input / "Korvane.dat")) fs::copy_file(c.input / "Korvane.dat", settings);

    std::vector<std::string> args = {"--folder", folder.path().string(), "--settings",
                                     settings.string()};
    args.insert(args.end(), variant.before.begin(), variant.before.end());
    for (const std::string& a : variant.args ? *variant.args : Args(c)) args.push_back(a);

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

void ExpectReviewedOutput(const Case& c, const RunOutput& run, std::string_view keepUnder)
{
    const fs::path kept = fs::path(keepUnder) / c.name;
    GoldenFiles::ExpectSameBytes(std::to_string(run.exitCode) + "\n", c.expected / "exit",
                                 kept / "exit");
    GoldenFiles::ExpectSameBytes(run.commandFile, c.expected / "JWC_TEMP.TXT",
                                 kept / "JWC_TEMP.TXT");
    if (fs::exists(c.expected / "Korvane.dat")) {
        GoldenFiles::ExpectSameBytes(run.settingsFile, c.expected / "Korvane.dat",
                                     kept / "Korvane.dat");
    }
}

}  // namespace GoldenCases
