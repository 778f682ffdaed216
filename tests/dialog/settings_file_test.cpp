#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog/dialog_state.hpp"
#include "dialog/settings_file.hpp"
#include "support/test_files.hpp"

using TestFiles::ReadBytes;
using TestFiles::TempFolder;
using TestFiles::WriteBytes;
using Unit1::DialogState;
using Unit1::LoadSettings;
using Unit1::SaveSettings;

namespace {

// The controls of the 27 lines, in file order.
const std::vector<std::string_view> kLineControls = {
    "SavedLeft", "SavedTop", "ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5",
    "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "RadioGroup1",
    "RadioGroup2", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "RadioGroup3",
    "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9",
};

// The file the default dialog saves once text kind 0 is chosen.
const std::vector<std::string> kDefaultLines = {
    "100", "100", "0", "0", "0", "3", "2", "1", "", "", "0.5", "2", "2", "3",
    "15",  "0",   "0", "0", "0", "0", "0", "0", "0", "0", "0",  "0", "0"};

// The state's values in file order, as the file writes them.
std::vector<std::string> Lines(const DialogState& state)
{
    std::vector<std::string> lines = {std::to_string(state.SavedLeft),
                                      std::to_string(state.SavedTop)};
    for (std::size_t i = 2; i < kLineControls.size(); ++i) {
        const Unit1::StateField field = Unit1::FieldOf(kLineControls[i]);
        if (field.index) lines.push_back(std::to_string(state.*field.index));
        if (field.text) lines.push_back(state.*field.text);
        if (field.checked) lines.push_back(state.*field.checked ? "1" : "0");
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines, std::string_view end = "\r\n")
{
    std::string out;
    for (const std::string& line : lines) out += line + std::string(end);
    return out;
}

// What FormShow has before the file is read: defaults and the eleven text kinds.
DialogState ShownState()
{
    DialogState state = Unit1::DefaultDialogState();
    state.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    return state;
}

DialogState LoadBytes(std::string_view bytes)
{
    TempFolder folder;
    WriteBytes(folder / "Korvane.dat", bytes);
    DialogState state = ShownState();
    LoadSettings(state, folder / "Korvane.dat");
    return state;
}

}  // namespace

TEST(LoadSettings, WithoutAReadableFileKeepsTheDefaultsAndResetsThePosition)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "folder.dat");
    for (const char* name : {"missing.dat", "folder.dat"}) {
        SCOPED_TRACE(name);
        DialogState state = ShownState();
        state.SavedLeft = 7;
        state.SavedTop = -20;
        LoadSettings(state, folder / name);
        EXPECT_EQ(Lines(state), Lines(ShownState()));
        EXPECT_EQ(state.ComboBox3, -1);
    }
}

TEST(LoadSettings, ReadsLinesUpToLineFeedsAndMissingLinesAsEmpty)
{
    std::vector<std::string> onlyPosition(27, "0");
    onlyPosition[0] = "250";
    onlyPosition[1] = "80";
    for (std::size_t i = 7; i < 15; ++i) onlyPosition[i] = "";
    std::vector<std::string> crInText = kDefaultLines;
    crInText[7] = "a\r";
    crInText[8] = "b\rc";
    // A CR at the very end has no LF after it and stays in the text.
    std::vector<std::string> crAtEnd = onlyPosition;
    std::copy(kDefaultLines.begin(), kDefaultLines.begin() + 7, crAtEnd.begin());
    crAtEnd[7] = "ab\r";

    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"two lines, CR LF", "250\r\n80\r\n", onlyPosition},
        {"two lines, LF", "250\n80\n", onlyPosition},
        {"last line without LF", "250\r\n80", onlyPosition},
        {"LF only", Join(kDefaultLines, "\n"), kDefaultLines},
        {"one CR removed, a lone CR kept",
         Join({kDefaultLines.begin(), kDefaultLines.begin() + 7}) + "a\r\r\nb\rc\n" +
             Join({kDefaultLines.begin() + 9, kDefaultLines.end()}),
         crInText},
        {"CR at the end of the file",
         Join({kDefaultLines.begin(), kDefaultLines.begin() + 7}) + "ab\r", crAtEnd},
        // Line 28 is the arrangement's; from line 29 on nothing is read.
        {"lines past the 28th ignored", Join(kDefaultLines) + "0\r\n1\r\nx\r\n", kDefaultLines},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Lines(LoadBytes(c.bytes)), c.expected);
    }
}

TEST(LoadSettings, AppliesEachLineToItsControl)
{
    struct Case {
        std::size_t line;  // 1-based
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {1, "-30", "-30"},  {2, "x", "0"},     {2, "$10", "16"},
        {3, "11", "11"},    {3, "12", "-1"},   {4, "-4", "0"},
        {5, "15", "-1"},    {5, "10", "10"},   {6, "9", "-1"},    {7, "1.0", "0"},
        {16, "7", "1"},     {16, "-1", "0"},   {17, "1", "1"},    {22, "5", "1"},
        {18, "2", "1"},     {18, "x", "0"},    {18, "-1", "1"},   {27, " 1", "1"},
        {9, "\x8C\x9A\x81\x40\x82\x60 ", "\x8C\x9A\x81\x40\x82\x60 "},  // 建　Ａ
        {10, "\x82\xD3\x81\x5C", "\x82\xD3\x81\x5C"},  // ふ―: a trail byte 0x5C
        {11, "  -3  ", "  -3  "},
        {14, "12345678901234567890", "12345678901234567890"},  // past the typing limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line " + std::to_string(c.line) + " [" + c.text + "]");
        std::vector<std::string> lines = kDefaultLines;
        lines[c.line - 1] = c.text;
        std::vector<std::string> expected = kDefaultLines;
        expected[c.line - 1] = c.expected;
        EXPECT_EQ(Lines(LoadBytes(Join(lines))), expected);
    }
}

// The arrangement sits on a line of its own after the 27, written only when it is not the chain:
// a chain's file is what versions before the arrangements wrote and read.
TEST(SettingsFile, LineTwentyEightHoldsAnArrangementOtherThanTheChain)
{
    struct Case {
        const char* what;
        std::string after27;  // the bytes after the 27 default lines
        std::int32_t loaded;
        std::string saved;    // what saving the loaded state writes after the 27 lines
    };
    const Case cases[] = {
        {"27 lines: the chain", "", 0, ""},
        {"line 28 empty", "\r\n", 0, ""},
        {"line 28 zero", "0\r\n", 0, ""},
        {"chain with overall", "1\r\n", 1, "1\r\n"},
        {"parallel, no line end", "2", 2, "2\r\n"},
        {"cumulative, line 29 ignored", "3\r\n2\r\n", 3, "3\r\n"},
        {"negative: item 0", "-2\r\n", 0, ""},
        {"not a number: item 0", "x\r\n", 0, ""},
        // Past the list: no selection, which OK refuses, so no such file is ever saved by OK.
        {"past the list", "4\r\n", -1, "-1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DialogState state = LoadBytes(Join(kDefaultLines) + c.after27);
        EXPECT_EQ(state.ComboBox6, c.loaded);
        EXPECT_EQ(Lines(state), kDefaultLines);
        TempFolder folder;
        ASSERT_TRUE(SaveSettings(state, folder / "Korvane.dat"));
        EXPECT_EQ(ReadBytes(folder / "Korvane.dat"), Join(kDefaultLines) + c.saved);
    }
}

TEST(SaveSettings, WritesTheTwentySevenLinesInOrderAndReadsThemBack)
{
    // A distinct value in every control, so that two swapped lines show up.
    DialogState state = ShownState();
    const std::vector<std::string> expected = {
        "-1200", "2400", "11", "10", "9", "8", "-1", "e1", "\x90\xA1\x96\x40", "\x81\x40",
        "e4", "e5", "e6", "e7", "e8", "1", "-1", "1", "0", "0", "1", "0", "0", "1", "0", "0",
        "1"};
    state.SavedLeft = -1200;
    state.SavedTop = 2400;
    state.ComboBox1 = 11; state.ComboBox2 = 10; state.ComboBox3 = 9; state.ComboBox4 = 8;
    state.ComboBox5 = -1;
    state.Edit1 = "e1"; state.Edit2 = "\x90\xA1\x96\x40"; state.Edit3 = "\x81\x40";  // 寸法 　
    state.Edit4 = "e4"; state.Edit5 = "e5"; state.Edit6 = "e6"; state.Edit7 = "e7";
    state.Edit8 = "e8";
    state.RadioGroup1 = 1; state.RadioGroup2 = -1; state.RadioGroup3 = 0;
    state.CheckBox1 = state.CheckBox4 = state.CheckBox6 = state.CheckBox9 = true;

    TempFolder folder;
    const std::filesystem::path path = folder / "Korvane.dat";
    WriteBytes(path, std::string(4000, 'x'));  // a longer file is replaced completely
    const std::filesystem::path stale = folder / "Korvane.dat.tmp";
    WriteBytes(stale, std::string(5000, 'y'));  // left by a save the disk cut short
    ASSERT_TRUE(SaveSettings(state, path));
    EXPECT_EQ(ReadBytes(path), Join(expected));
    EXPECT_FALSE(std::filesystem::exists(stale));

    // Read back and saved again, the file stays byte for byte (-1 reads back as item 0).
    DialogState reloaded = ShownState();
    LoadSettings(reloaded, path);
    std::vector<std::string> reread = expected;
    reread[6] = reread[16] = "0";
    EXPECT_EQ(Lines(reloaded), reread);
    ASSERT_TRUE(SaveSettings(reloaded, folder / "again.dat"));
    EXPECT_EQ(ReadBytes(folder / "again.dat"), Join(reread));
}

TEST(SaveSettings, KeepsWhatWasThereWhenSavingFails)
{
    enum class There { Nothing, OldFile, Folder, FullDevice };
    struct Case {
        const char* what;
        std::string settings;  // below the test's folder
        There atSettings;      // at the settings file's name before the save
        There atTemporary;     // at its name + ".tmp"
    };
    const Case cases[] = {
        {"settings in a missing folder", "missing/Korvane.dat", There::Nothing, There::Nothing},
        // The temporary file is written, but cannot replace a folder; the folder is not ours.
        {"a folder in the settings file's place", "Korvane.dat", There::Folder, There::Nothing},
        {"a folder in the temporary file's place", "Korvane.dat", There::OldFile, There::Folder},
#ifndef _WIN32
        // Opened, but every write fails as on a full disk: the temporary name (a link) goes.
        {"the temporary file on a full disk", "Korvane.dat", There::OldFile, There::FullDevice},
#endif
    };
    const std::string oldFile = Join(kDefaultLines);
    const auto make = [&](const std::filesystem::path& path, There there) {
        if (there == There::OldFile) WriteBytes(path, oldFile);
        if (there == There::Folder) std::filesystem::create_directory(path);
        if (there == There::FullDevice) std::filesystem::create_symlink("/dev/full", path);
    };
    const auto look = [](const std::filesystem::path& path) -> std::string {
        const std::filesystem::file_status status = std::filesystem::symlink_status(path);
        if (std::filesystem::is_directory(status)) return "a folder";
        if (!std::filesystem::exists(status)) return "nothing";
        return std::filesystem::is_symlink(status) ? "a link" : "a file of " + ReadBytes(path);
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::filesystem::path path = folder / c.settings;
        const std::filesystem::path temporary = folder / (c.settings + ".tmp");
        make(path, c.atSettings);
        make(temporary, c.atTemporary);
        const std::string before = look(path);

        EXPECT_FALSE(SaveSettings(ShownState(), path));
        EXPECT_EQ(look(path), before);
        EXPECT_EQ(look(temporary), c.atTemporary == There::Folder ? "a folder" : "nothing");
    }
}
