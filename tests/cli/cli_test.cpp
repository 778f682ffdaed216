// korvane-cli's contract: exit codes, what is written in each case, and the argument rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.hpp"
#include "dialog/controls.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace {

// Two indicated points 10 apart below the height point: drawable with the defaults.
const char* const kTwoPoints = "hp1 0 100\r\nhp2 0 0\r\nhp3 10 0\r\n";
const char* const kOnePoint = "hp1 0 100\r\nhp2 0 0\r\n";
const char* const kThreePoints = "hp1 0 100\r\nhp2 0 0\r\nhp3 10 0\r\nhp4 30 0\r\n";
// Two points one above the other: a run only when it measures vertically.
const char* const kTwoPointsAbove = "hp1 100 0\r\nhp2 0 0\r\nhp3 0 10\r\n";
const char* const kZeroScale =
    "hs 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\nhp1 0 100\r\nhp2 0 0\r\nhp3 10 0\r\n";

// The settings of a dialog left at its defaults with the host's text kind chosen.
std::string DefaultSettings(const std::string& left = "100", const std::string& top = "100")
{
    const char* const rest[] = {"0", "0", "0", "3", "2", "1", "", "", "0.5", "2", "2", "3", "15",
                                "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
    std::string text = left + "\r\n" + top + "\r\n";
    for (const char* line : rest) text += std::string(line) + "\r\n";
    return text;
}

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::string commandFile;
    bool commandFileExists = false;
    std::string settings;
    bool settingsExist = false;
};

CliRun RunIn(const TestFiles::TempFolder& folder, std::vector<std::string> extra)
{
    std::vector<std::string> args = {"--folder", folder.path().string(), "--settings",
                                     (folder / "Korvane.dat").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::ostringstream out, err;
    CliRun run;
    run.exitCode = Cli::RunCli(args, folder / "korvane-cli", out, err);
    run.out = out.str();
    run.err = err.str();
    run.commandFileExists = fs::exists(folder / "JWC_TEMP.TXT");
    run.commandFile = TestFiles::ReadBytes(folder / "JWC_TEMP.TXT");
    run.settingsExist = fs::exists(folder / "Korvane.dat");
    run.settings = TestFiles::ReadBytes(folder / "Korvane.dat");
    return run;
}

}  // namespace

TEST(KorvaneCli, ExitCodesAndWhatTheHostFinds)
{
    struct Case {
        const char* name;
        const char* exchange;
        std::vector<std::string> args;
        int exitCode;
        bool drawn;  // false: the host finds exactly "hq"
        const char* stderrHas;
    };
    const Case cases[] = {
        {"drawn", kTwoPoints, {"1"}, 0, true, ""},
        {"cancelled", kTwoPoints, {"--cancel", "1"}, 0, false, ""},
        {"refused Edit7", kTwoPoints, {"--set", "Edit7=0", "1"}, 2, false, "Edit7"},
        {"first check wins", kTwoPoints, {"--set", "Edit7=0", "--set", "Edit1=-1", "1"}, 2, false,
         "Edit1"},
        {"no text kind", kTwoPoints, {"--set", "ComboBox3=-1", "1"}, 2, false, "ComboBox3"},
        {"too few points", kOnePoint, {"1"}, 3, false,
         "\xe8\xa8\x88\xe6\xb8\xac\xe7\x82\xb9"},  // 計測点
        {"range mode finds nothing", kTwoPoints, {"2"}, 3, false, ""},
        {"only \"1\" is indicated-points mode", kTwoPoints, {"01"}, 3, false, ""},
        {"vertical, indicated points", kTwoPointsAbove, {"1", "v"}, 0, true, ""},
        {"horizontal across points above each other", kTwoPointsAbove, {"1"}, 3, false, ""},
        {"V alone is a vertical range run", kTwoPoints, {"V"}, 3, false, ""},
        {"zero scale", kZeroScale, {"1"}, 4, false, "cannot dimension"},
        {"after -- a dash is the host's mode", kTwoPoints, {"--", "-h"}, 3, false, ""},
        {"the mode after --", kTwoPoints, {"--", "1"}, 0, true, ""},
        {"V after --", kTwoPointsAbove, {"1", "--", "V"}, 0, true, ""},
        {"both: the vertical run has too few points", kTwoPoints, {"1", "HV"}, 0, true, ""},
        {"both: the horizontal run has too few points", kTwoPointsAbove, {"1", "hv"}, 0, true,
         ""},
        {"both: neither has two points", kOnePoint, {"1", "HV"}, 3, false,
         "\xe8\xa8\x88\xe6\xb8\xac\xe7\x82\xb9"},  // 計測点
        {"both: zero scale stops the whole command", kZeroScale, {"1", "HV"}, 4, false,
         "cannot dimension"},
        {"HV alone is a range run in both directions", kTwoPoints, {"HV"}, 3, false, ""},
        {"arrangement past the list", kTwoPoints, {"--set", "ComboBox6=4", "1"}, 2, false,
         "ComboBox6"},
        {"no arrangement", kTwoPoints, {"--set", "ComboBox6=-1", "1"}, 2, false, "ComboBox6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", c.exchange);
        TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings("250", "80"));
        const CliRun run = RunIn(folder, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.drawn) {
            EXPECT_NE(run.commandFile, "hq\r\n");
            EXPECT_NE(run.commandFile.find("\r\nz3\r\n"), std::string::npos);
        } else {
            EXPECT_EQ(run.commandFile, "hq\r\n");
        }
        EXPECT_NE(run.err.find(c.stderrHas), std::string::npos) << run.err;
        // The window position lines keep what was loaded; OK rewrites the rest unchanged here.
        EXPECT_EQ(run.settings, DefaultSettings("250", "80"));
    }
}

TEST(KorvaneCli, RefusedOkLeavesTheSettingsFileUntouchedAndOkSavesIt)
{
    // A file with a short, unusual form shows whether it was rewritten.
    const std::string shortFile = "7\n8\n0\n0\n0\n3\n2\n1\n";
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "refused" : "accepted");
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kOnePoint);
        TestFiles::WriteBytes(folder / "Korvane.dat", shortFile);
        // The short file leaves Edit7 and Edit8 empty; fill them unless the run is to be refused.
        std::vector<std::string> args = {"--set", "Edit8=15", "1"};
        if (!refused) args.insert(args.begin(), {"--set", "Edit7=3"});
        const CliRun run = RunIn(folder, args);
        EXPECT_EQ(run.exitCode, refused ? 2 : 3);
        if (refused) {
            EXPECT_EQ(run.settings, shortFile);
        } else {
            // Too few points still saves: OK saved before it looked for points.
            EXPECT_EQ(run.settings.substr(0, 6), "7\r\n8\r\n");
            EXPECT_EQ(std::count(run.settings.begin(), run.settings.end(), '\n'), 27);
        }
    }
}

// Every arrangement from the same three points: what --summary reports, and the settings file,
// which keeps a chain's 27 lines and gains line 28 for any other arrangement.
TEST(KorvaneCli, EachArrangementFromTheSameSelection)
{
    struct Case {
        std::vector<std::string> sets;
        int exitCode;
        const char* summary;
        std::string settings;
    };
    const std::string chain = DefaultSettings("250", "80");
    // Line 22, RadioGroup3: the narrow marker, which a cumulative run draws none of.
    std::string dots = chain;
    std::size_t line22 = 0;
    for (int line = 1; line < 22; ++line) {
        line22 = dots.find("\r\n", line22);
        ASSERT_NE(line22, std::string::npos);
        line22 += 2;
    }
    ASSERT_LT(line22, dots.size());
    dots[line22] = '1';
    const Case cases[] = {
        {{"ComboBox6=0"}, 0, "arrangement: chain, dimension lines: 2, value texts: 2\n", chain},
        {{"ComboBox6=1"}, 0,
         "arrangement: chain with overall, dimension lines: 3, value texts: 3\n",
         chain + "1\r\n"},
        {{"ComboBox6=2"}, 0, "arrangement: parallel, dimension lines: 2, value texts: 2\n",
         chain + "2\r\n"},
        {{"ComboBox6=3"}, 0, "arrangement: cumulative, dimension lines: 1, value texts: 3\n",
         chain + "3\r\n"},
        // The start marker's list is not used by a cumulative run: OK accepts it without a
        // selection and saves its first item, which the next run reads as it was saved.
        {{"ComboBox6=3", "ComboBox1=-1"}, 0,
         "arrangement: cumulative, dimension lines: 1, value texts: 3\n", chain + "3\r\n"},
        {{"ComboBox6=2", "ComboBox1=-1"}, 2, "", chain},
        // Greyed out under 累進, RadioGroup3 is still taken by --set and saved.
        {{"ComboBox6=3", "RadioGroup3=1"}, 0,
         "arrangement: cumulative, dimension lines: 1, value texts: 3\n", dots + "3\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sets.front() + (c.sets.size() > 1 ? " " + c.sets.back() : ""));
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kThreePoints);
        TestFiles::WriteBytes(folder / "Korvane.dat", chain);
        std::vector<std::string> args = {"--summary"};
        for (const std::string& set : c.sets) args.insert(args.end(), {"--set", set});
        args.push_back("1");
        const CliRun run = RunIn(folder, args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        const std::size_t at = run.out.find("arrangement: ");
        EXPECT_EQ(at == std::string::npos ? "" : run.out.substr(at), c.summary);
        EXPECT_EQ(run.settings, c.settings);
    }
}

// A cumulative run draws no start marker, so OK accepts ComboBox1 without a selection (here an
// index past the list in the file). What OK saves must load as what it saved: the list is saved
// as its first item, and the next run with that file saves the same bytes and draws the same
// run. (A saved "-1" was read back as item 0 and saved as "0" by the second run.)
TEST(KorvaneCli, WhatOkSavesLoadsAsItWasSavedUnderCumulativeToo)
{
    std::string pastTheList = DefaultSettings();
    pastTheList.replace(pastTheList.find("\r\n0\r\n") + 2, 1, "12");  // line 3
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kThreePoints);
    TestFiles::WriteBytes(folder / "Korvane.dat", pastTheList + "3\r\n");  // line 28: 累進
    const CliRun first = RunIn(folder, {"1"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.settings, DefaultSettings() + "3\r\n");  // line 3: item 0
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kThreePoints);
    const CliRun second = RunIn(folder, {"1"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.settings, first.settings);
    EXPECT_EQ(second.commandFile, first.commandFile);
}

TEST(KorvaneCli, WithoutSettingsFileTheFirstOkStopsOnTheTextKind)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    const CliRun run = RunIn(folder, {"1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("ComboBox3"), std::string::npos);
    EXPECT_FALSE(run.settingsExist);
    EXPECT_EQ(run.commandFile, "hq\r\n");
}

TEST(KorvaneCli, HelpVersionAndUsageErrorsWriteNothing)
{
    struct Case {
        std::vector<std::string> args;
        int exitCode;  // 0: the answer on stdout and nothing on stderr; 64: only a message
        std::vector<std::string> outHas;
    };
    // The help's entries of a list, an edit field and a radio group, from the controls table.
    const std::vector<std::string> help = {
        "usage: korvane-cli",
        "\n  ComboBox1  ",
        ", 1 \xE2\x96\xB3, 2 \xE2\x96\xA1,",  // 1 △, 2 □
        "; -1 no selection\n      checked: a start-point marker must be selected\n"
        // 3 累進
        "      unused:  when ComboBox6 is 3 \xE7\xB4\xAF\xE9\x80\xB2 (cumulative): greyed out and "
        "not checked, still saved\n",
        "1 \xE7\x9B\xB4\xE5\x88\x97\xEF\xBC\x8B\xE5\x85\xA8\xE4\xBD\x93 (chain with overall), ",  // 直列＋全体
        "\n  Edit7  ",
        "      values:  a number\n      checked: the line-arrow length must be greater than 0 "
        "and at most 1000\n      default: 3\n",
        "\n  RadioGroup2  ",
        "0 mm, 1 \xEF\xBD\x8D; -1 no selection\n",  // ｍ
        "      default: 0 (mm)\n",
        "\n  Edit4  ",
        "      values:  a number\n      default: 0.5\n",  // no check
        "[MODE [V | HV]]",
        "\n  HV                (or hv, where V may stand) both runs",
    };
    const std::string version = std::string("korvane-cli ") + KORVANE_PROJECT_VERSION + "\n";
    const Case cases[] = {
        {{"--help"}, 0, help},
        {{"-h"}, 0, help},
        {{"1", "V", "--help"}, 0, help},
        {{"--set", "Edit7=0", "-h", "1"}, 0, help},  // answered before anything is set
        {{"--version"}, 0, {version}},
        {{"--set", "NoSuchControl=1"}, 64, {}},
        {{"--set", "Edit7"}, 64, {}},
        {{"--set", "ComboBox1=x"}, 64, {}},
        {{"--set", "CheckBox5=1.5"}, 64, {}},
        {{"--set", "Edit2=\xe7\xb4\x84"}, 64, {}},  // not printable ASCII
        {{"--set", "Edit2=a\tb"}, 64, {}},
        {{"--bogus"}, 64, {}},
        {{"-x", "1"}, 64, {}},
        {{"-1"}, 64, {}},  // a dash before "--" is never the mode
        {{"-v"}, 64, {}},
        {{"1", "-"}, 64, {}},
        {{"--version", "extra"}, 0, {version}},
        {{"1", "2"}, 64, {}},
        {{"V", "1"}, 64, {}},  // after the mode only V
        {{"1", "V", "V"}, 64, {}},
        {{"1", "Vertical"}, 64, {}},
        {{"1", "HV", "V"}, 64, {}},
        {{"1", "VH"}, 64, {}},
        {{"1", "Hv"}, 64, {}},
        {{"1", "H"}, 64, {}},
        {{"--", "1", "--cancel"}, 64, {}},  // after "--" an option is the host's argument
        {{"--folder"}, 64, {}},
    };
    for (const Case& c : cases) {
        std::string trace;
        for (const std::string& arg : c.args) trace += arg + ' ';
        SCOPED_TRACE(trace);
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
        TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings());
        const CliRun run = RunIn(folder, c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.commandFile, kTwoPoints);  // the host's input is still there
        EXPECT_EQ(run.settings, DefaultSettings());
        EXPECT_EQ(run.err.empty(), c.exitCode == 0) << run.err;
        if (c.exitCode != 0) {
            EXPECT_TRUE(run.out.empty()) << run.out;
        }
        for (const std::string& part : c.outHas) {
            EXPECT_NE(run.out.find(part), std::string::npos) << part << "\nin:\n" << run.out;
        }
        // The help lists every control that holds a value, as the table has it.
        if (c.outHas == help) {
            for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
                const Unit1::StateField& field = control.value.state;
                const bool settable = field.index || field.text || field.checked;
                const std::string entry = "\n  " + std::string(control.name) + "  ";
                EXPECT_EQ(run.out.find(entry) != std::string::npos, settable) << control.name;
            }
        }
    }
}

TEST(KorvaneCli, UnwritableCommandFileIsExitFiveWhateverElseHappened)
{
    const std::vector<std::vector<std::string>> cases = {
        {"1"}, {"--cancel"}, {"--set", "Edit7=0", "1"}, {"2"}};
    for (const auto& extra : cases) {
        SCOPED_TRACE(extra.back());
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings());
        std::vector<std::string> args = {"--folder", (folder / "missing").string(), "--settings",
                                         (folder / "Korvane.dat").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ostringstream out, err;
        EXPECT_EQ(Cli::RunCli(args, folder / "korvane-cli", out, err), 5);
        EXPECT_FALSE(fs::exists(folder / "missing" / "JWC_TEMP.TXT"));
        EXPECT_NE(err.str().find("could not be written"), std::string::npos);
    }
}

TEST(KorvaneCli, FailedSettingsSaveDoesNotChangeTheOutcome)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    // The settings path is a folder: loading finds nothing usable, saving fails.
    fs::create_directories(folder / "Korvane.dat");
    const CliRun run = RunIn(folder, {"--set", "ComboBox3=0", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.commandFile, "hq\r\n");
    EXPECT_TRUE(fs::is_directory(folder / "Korvane.dat"));
}

TEST(KorvaneCli, DefaultFilesLieBesideTheExecutable)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    TestFiles::WriteBytes(folder / "korvane-cli.dat", DefaultSettings("11", "22"));
    std::ostringstream out, err;
    EXPECT_EQ(Cli::RunCli({"1"}, folder / "korvane-cli.exe", out, err), 0) << err.str();
    EXPECT_NE(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_EQ(TestFiles::ReadBytes(folder / "korvane-cli.dat"), DefaultSettings("11", "22"));

    // Without an extension the settings file name is extended by ".dat".
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    EXPECT_EQ(Cli::RunCli({"1"}, folder / "korvane-cli", out, err), 0) << err.str();
}

TEST(KorvaneCli, SetAppliesIndexesAsTheSettingsFileDoes)
{
    struct Case {
        const char* assignment;
        int exitCode;
    };
    // ComboBox1 past its end: no selection, refused there; a radio group past its end takes its
    // last item; a negative index other than -1 selects the first item.
    const Case cases[] = {
        {"ComboBox1=12", 2}, {"ComboBox1=11", 0}, {"ComboBox1=-5", 0},
        {"RadioGroup1=9", 0}, {"ComboBox4=-1", 2}, {"CheckBox4=-3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.assignment);
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
        TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings());
        const CliRun run = RunIn(folder, {"--set", c.assignment, "1"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    }
}

TEST(KorvaneCli, SummaryGoesToStandardOutput)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings());
    const CliRun run = RunIn(folder, {"--summary", "1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("indicated points: 1:(0, 100) 2:(0, 0) 3:(10, 0)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("intervals: 1, texts staggered: 0"), std::string::npos) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

// Both directions: each one's counts under its name, and the one skipped for too few points
// says so.
TEST(KorvaneCli, SummaryOfBothDirectionsReportsEach)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kTwoPoints);
    TestFiles::WriteBytes(folder / "Korvane.dat", DefaultSettings());
    const CliRun run = RunIn(folder, {"--summary", "1", "HV"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::size_t at = run.out.find("horizontal:\n");
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(at),
              "horizontal:\npoints acquired: 2, kept: 2\nintervals: 1, texts staggered: 0\n"
              "arrangement: chain, dimension lines: 1, value texts: 1\n"
              "vertical:\npoints acquired: 2, kept: 1\nintervals: 0, texts staggered: 0\n"
              "skipped: fewer than two measuring points in this direction\n");
}
