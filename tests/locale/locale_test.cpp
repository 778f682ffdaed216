// Whole runs under a locale whose decimal separator is a comma: the command file, the settings
// file and the exit code must be the reviewed expectations byte for byte, as in the "C" locale.
//
// The locale comes from the environment (CTest sets LC_ALL=de_DE.UTF-8) and is made the C and
// the C++ global locale, as a front end that honoured the user's settings would do. Without it
// installed the test is skipped, unless KORVANE_REQUIRE_LOCALE=1 (scripts/test generates it).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

struct Case {
    std::string name;
    fs::path input;
    fs::path expected;
};

std::vector<Case> GoldenCases()
{
    std::vector<Case> cases;
    const std::pair<const char*, const char*> roots[] = {
        {"examples", "tests/golden/expected/examples"},
        {"tests/golden/cases", "tests/golden/expected/cases"}};
    for (const auto& [inputs, expectations] : roots) {
        const fs::path in = TestFiles::SourcePath(inputs);
        if (!fs::is_directory(in)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(in)) {
            if (!fs::exists(entry.path() / "JWC_TEMP.TXT")) continue;
            const std::string name = entry.path().filename().string();
            cases.push_back({name, entry.path(), TestFiles::SourcePath(expectations) / name});
        }
    }
    return cases;
}

std::vector<std::string> Args(const fs::path& file)
{
    std::vector<std::string> args;
    std::istringstream lines(TestFiles::ReadBytes(file));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) args.push_back(line);
    }
    return args;
}

// A comma between two digits.
bool HasDecimalComma(const std::string& text)
{
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == ',' && digit(text[i - 1]) && digit(text[i + 1])) return true;
    }
    return false;
}

bool RequireLocale()
{
    const char* flag = std::getenv("KORVANE_REQUIRE_LOCALE");
    return flag != nullptr && std::string(flag) == "1";
}

// Switches the C and C++ locales to the environment's; restores "C" afterwards.
class EnvironmentLocale {
public:
    EnvironmentLocale()
    {
        active_ = std::setlocale(LC_ALL, "") != nullptr;
        try {
            std::locale::global(std::locale(""));
        } catch (const std::runtime_error&) {
            active_ = false;
        }
    }
    ~EnvironmentLocale()
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
    EnvironmentLocale(const EnvironmentLocale&) = delete;
    EnvironmentLocale& operator=(const EnvironmentLocale&) = delete;

    // True when both the C library and new C++ streams write a decimal comma.
    bool WritesDecimalComma() const
    {
        if (!active_) return false;
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        std::ostringstream stream;
        stream << 1.5;
        return std::string(text) == "1,5" && stream.str() == "1,5";
    }

private:
    bool active_ = false;
};

}  // namespace

TEST(LocaleIndependence, GoldenRunsGiveTheSameBytesUnderADecimalCommaLocale)
{
    EnvironmentLocale locale;
    if (!locale.WritesDecimalComma()) {
        const char* all = std::getenv("LC_ALL");
        const std::string message = std::string("no decimal-comma locale in LC_ALL (") +
                                    (all ? all : "unset") + ")";
        if (RequireLocale()) FAIL() << message;
        GTEST_SKIP() << message;
    }

    const std::vector<Case> cases = GoldenCases();
    ASSERT_GT(cases.size(), 10u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles::TempFolder folder;
        fs::copy_file(c.input / "JWC_TEMP.TXT", folder / "JWC_TEMP.TXT");
        if (fs::exists(c.input / "Korvane.dat")) {
            fs::copy_file(c.input / "Korvane.dat", folder / "Korvane.dat");
        }
        std::vector<std::string> args = {"--folder", folder.path().string(), "--settings",
                                         (folder / "Korvane.dat").string(), "--summary"};
        for (const std::string& a : Args(c.input / "args")) args.push_back(a);
        std::ostringstream out;
        std::ostringstream err;
        const int code = Cli::RunCli(args, folder / "korvane-cli", out, err);

        EXPECT_EQ(std::to_string(code) + "\n", TestFiles::ReadBytes(c.expected / "exit"));
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"),
                  TestFiles::ReadBytes(c.expected / "JWC_TEMP.TXT"));
        if (fs::exists(c.expected / "Korvane.dat")) {
            EXPECT_EQ(TestFiles::ReadBytes(folder / "Korvane.dat"),
                      TestFiles::ReadBytes(c.expected / "Korvane.dat"));
        }
        // The summary's reals are the command file's number texts: "1.5", never "1,5".
        EXPECT_FALSE(HasDecimalComma(out.str())) << out.str();
    }
}
