#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/number_text.hpp"

using MyFunc::GeneralNumberText;

namespace {

struct Case {
    double value;
    const char* expected;
    const char* note;
};

// Every value the table below expects, in one place, so the locale test can run them again.
const Case kCases[] = {
    {0.0, "0", "zero"},
    {-0.0, "0", "negative zero has no sign"},
    {0.5, "0.5", ""},
    {100.0, "100", "no decimal point for a whole number"},
    {-2.25, "-2.25", ""},
    {1.10, "1.1", "trailing zeros dropped"},
    {12345.678, "12345.678", ""},
    {0.1 + 0.2, "0.3", "binary noise beyond 15 digits disappears"},
    {1.0 / 3.0, "0.333333333333333", "fifteen threes"},
    {12345678901234.25, "12345678901234.2", "a tie below 10^14 rounds to the even digit (down)"},
    {12345678901234.75, "12345678901234.8", "a tie below 10^14 rounds to the even digit (up)"},
    {-0.0000000000001, "-1E-13", ""},
    {0.00000000000015, "1.5E-13", ""},
    {-2.0 / 3.0, "-0.666666666666667", ""},
    {123456789012345.0, "123456789012345", "fifteen digits stay fixed"},
    {123456789012345.6, "123456789012346", "the sixteenth digit rounds"},
    {100000000000000.5, "100000000000000", "a tie rounds to the even digit (down)"},
    {100000000000001.5, "100000000000002", "a tie rounds to the even digit (up)"},
    {100000000000002.5, "100000000000002", "a tie rounds to the even digit (down again)"},
    {99999999999999.99, "100000000000000", "rounding carries into a new digit"},
    {999999999999999.9, "1E15", "notation follows the rounded value"},
    {1e15, "1E15", ""},
    {-1e15, "-1E15", ""},
    {9007199254740992.0, "9.00719925474099E15", ""},
    {1e100, "1E100", "no plus sign, no leading zeros"},
    {0.0001, "0.0001", "smallest fixed value"},
    {-0.0001, "-0.0001", ""},
    {0.00009999999999999999, "0.0001", "rounds up into fixed notation"},
    {0.000099999, "9.9999E-5", ""},
    {0.00001, "1E-5", ""},
    {0.000015, "1.5E-5", ""},
    {-0.000015, "-1.5E-5", ""},
    {0.001234, "0.001234", ""},
    {1.5e-300, "1.5E-300", ""},
    {5e-324, "4.94065645841247E-324", "smallest subnormal"},
    {-5e-324, "-4.94065645841247E-324", "a longest text (kGeneralNumberMaxChars bytes)"},
    {-0.000123456789012345, "-0.000123456789012345", "the longest fixed text"},
    {1.7976931348623157e308, "1.79769313486232E308", "largest double"},
    {-1.7976931348623157e308, "-1.79769313486232E308", ""},
};

void ExpectAllCases()
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string("expected ") + c.expected + " " + c.note);
        EXPECT_EQ(GeneralNumberText(c.value), c.expected);
    }
}

// A C++ locale whose numbers look like "1.234,5": a formatter that consulted the locale would
// write a comma.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Restores the C and C++ global locales when the test ends, pass or fail.
class LocaleGuard {
public:
    LocaleGuard() : cpp_(std::locale()), c_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard()
    {
        std::locale::global(cpp_);
        std::setlocale(LC_ALL, c_.c_str());
    }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    std::locale cpp_;
    std::string c_;
};

// Sets the first C locale of the list that exists and writes a comma as decimal point.
bool SetCommaCLocale()
{
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "de-DE",
                           "fr_FR.UTF-8", "French_France.1252"};
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(GeneralNumberText, RoundsToFifteenDigitsAndChoosesTheNotation)
{
    ExpectAllCases();
}

// The digits of a drawing's magnitudes are found in integer arithmetic, the rest by to_chars:
// both ways must give the same text, also at the edges of the short way's range, at the powers
// of ten where the exponent changes, and at ties.
TEST(GeneralNumberText, TheShortWayWritesWhatToCharsWrites)
{
    std::vector<double> values;
    for (int n = -20; n <= 22; ++n) {
        const double power = std::pow(10.0, n);
        double below = power;
        double above = power;
        for (int step = 0; step < 3; ++step) {
            values.push_back(below);
            values.push_back(-above);
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 1e300);
        }
        values.push_back(power * 0.99999999999999995);
        values.push_back(power * 9.999999999999995);
    }
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 200000; ++i) {
        // Random bits with a binary exponent from 2^-60 to 2^60.
        const std::uint64_t mantissa = random() & ((std::uint64_t{1} << 52) - 1);
        const std::uint64_t exponent = 1023 - 60 + random() % 121;
        values.push_back(std::bit_cast<double>(exponent << 52 | mantissa));
        // Ties and near-ties: a 16- or 17-digit integer scaled by a power of two.
        const auto whole = static_cast<double>(random() % 90'000'000'000'000'000 +
                                               1'000'000'000'000'000);
        values.push_back(std::ldexp(whole, -static_cast<int>(random() % 100)));
    }
    int differences = 0;
    for (const double v : values) {
        char text[MyFunc::kGeneralNumberMaxChars];
        const std::string written(text, MyFunc::WriteGeneralNumber(text, v));
        if (written != MyFunc::GeneralNumberTextByToChars(v) && ++differences <= 10) {
            ADD_FAILURE() << std::hexfloat << v << ": " << written << " against "
                          << MyFunc::GeneralNumberTextByToChars(v);
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(GeneralNumberText, GivesNoTextForNonFiniteValues)
{
    const double values[] = {std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(GeneralNumberText(v), "");
    }
}

TEST(GeneralNumberText, IgnoresTheMachineLocale)
{
    LocaleGuard guard;

    // A C++ global locale with a comma: always possible with a facet of our own.
    std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    {
        SCOPED_TRACE("C++ global locale with a decimal comma");
        ExpectAllCases();
    }

    // A named locale as the machine would have it, where one is installed.
    bool named = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
        try {
            std::locale::global(std::locale(name));
            named = true;
            SCOPED_TRACE(std::string("C++ global locale ") + name);
            ExpectAllCases();
            break;
        } catch (const std::runtime_error&) {
            // not installed here
        }
    }

    const bool cLocale = SetCommaCLocale();
    if (cLocale) {
        SCOPED_TRACE("C locale with a decimal comma");
        ExpectAllCases();
    }
    if (!named || !cLocale) {
        std::printf("note: installed locales with a decimal comma: C++ %s, C %s\n",
                    named ? "tried" : "none", cLocale ? "tried" : "none");
    }
}
