// Whole runs under a locale whose decimal separator is a comma: the command file, the settings
// file and the exit code must be the reviewed expectations byte for byte, as in the "C" locale.
//
// The locale comes from the environment (CTest sets LC_ALL=de_DE.UTF-8) and is made the C and
// the C++ global locale, as a front end that honoured the user's settings would do. Without it
// installed the tests are skipped, unless KORVANE_REQUIRE_LOCALE=1 (scripts/test generates it).
// The locale's data only has to make the separator a comma, which each test checks before it
// runs; every expectation is a golden file, so no update of the locale data can move one.
// A differing file is kept under <build>/golden-actual/locale/<case>/.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>

#include "support/golden_cases.hpp"

namespace {

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

// One test per whole-run case, each under the environment's locale (restored afterwards).
class LocaleIndependence : public testing::TestWithParam<GoldenCases::Case> {
protected:
    void SetUp() override
    {
        if (locale_.WritesDecimalComma()) return;
        const char* all = std::getenv("LC_ALL");
        const std::string message = std::string("no decimal-comma locale in LC_ALL (") +
                                    (all ? all : "unset") + ")";
        if (RequireLocale()) FAIL() << message;
        GTEST_SKIP() << message;
    }

private:
    EnvironmentLocale locale_;
};

}  // namespace

TEST_P(LocaleIndependence, GoldenRunGivesTheSameBytesUnderADecimalCommaLocale)
{
    const GoldenCases::Case& c = GetParam();
    const GoldenCases::RunOutput run = GoldenCases::Run(c, {.before = {"--summary"}});
    GoldenCases::ExpectReviewedOutput(c, run, "locale");
    // The summary's reals are the command file's number texts: "1.5", never "1,5".
    EXPECT_FALSE(HasDecimalComma(run.out)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(, LocaleIndependence, testing::ValuesIn(GoldenCases::All()),
                         GoldenCases::TestName);
