#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialog/controls.hpp"
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

std::string ValueOf(const DialogState& state, std::string_view name)
{
    if (name == "SavedLeft") return std::to_string(state.SavedLeft);
    if (name == "SavedTop") return std::to_string(state.SavedTop);
    const Unit1::StateField field = Unit1::FieldOf(name);
    if (field.index) return std::to_string(state.*field.index);
    if (field.text) return state.*field.text;
    if (field.checked) return state.*field.checked ? "1" : "0";
    return "(no value)";
}

// The controls of the 27 lines, in file order.
const std::vector<std::string_view> kLineControls = {
    "SavedLeft",   "SavedTop",    "ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4",
    "ComboBox5",   "Edit1",       "Edit2",     "Edit3",     "Edit4",     "Edit5",
    "Edit6",       "Edit7",       "Edit8",     "RadioGroup1", "RadioGroup2", "CheckBox1",
    "CheckBox2",   "CheckBox3",   "CheckBox4", "RadioGroup3", "CheckBox5", "CheckBox6",
    "CheckBox7",   "CheckBox8",   "CheckBox9",
};

std::string Snapshot(const DialogState& state)
{
    std::string out;
    for (std::string_view name : kLineControls) {
        out += std::string(name) + "=" + ValueOf(state, name) + "|";
    }
    return out;
}

// What FormShow has before the file is read: defaults and the eleven text kinds.
DialogState ShownState()
{
    DialogState state = Unit1::DefaultDialogState();
    state.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    return state;
}

// The file the default dialog (text kind 0 chosen) saves, one entry per line.
std::vector<std::string> DefaultLines()
{
    return {"100", "100", "0", "0", "0", "3", "2", "1", "", "", "0.5", "2", "2", "3", "15",
            "0",   "0",   "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"};
}

std::string Join(const std::vector<std::string>& lines, std::string_view end)
{
    std::string out;
    for (const std::string& line : lines) out += line + std::string(end);
    return out;
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

TEST(LoadSettings, WithoutAFileKeepsTheDefaultsAndResetsThePosition)
{
    TempFolder folder;
    DialogState state = ShownState();
    state.SavedLeft = 7;
    state.SavedTop = -20;
    const DialogState expected = ShownState();
    LoadSettings(state, folder / "missing.dat");
    EXPECT_EQ(Snapshot(state), Snapshot(expected));
    EXPECT_EQ(state.SavedLeft, 100);
    EXPECT_EQ(state.SavedTop, 100);
    EXPECT_EQ(state.ComboBox3, -1);
}

TEST(LoadSettings, AnUnreadableFileKeepsTheDefaults)
{
    // A folder where the file should be: it cannot be read as a file on either system.
    TempFolder folder;
    std::filesystem::create_directory(folder / "Korvane.dat");
    DialogState state = ShownState();
    state.SavedLeft = 5;
    LoadSettings(state, folder / "Korvane.dat");
    EXPECT_EQ(Snapshot(state), Snapshot(ShownState()));
}

TEST(LoadSettings, MissingLinesReadAsEmpty)
{
    struct Case {
        const char* what;
        std::string bytes;
        const char* left;
        const char* top;
    };
    const Case cases[] = {
        {"two lines, CR LF", "250\r\n80\r\n", "250", "80"},
        {"two lines, LF", "250\n80\n", "250", "80"},
        {"last line without LF", "250\r\n80", "250", "80"},
        {"one line", "250", "250", "0"},
        {"empty file", "", "0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DialogState state = LoadBytes(c.bytes);
        EXPECT_EQ(ValueOf(state, "SavedLeft"), c.left);
        EXPECT_EQ(ValueOf(state, "SavedTop"), c.top);
        for (std::size_t line = 2; line < kLineControls.size(); ++line) {
            const std::string_view name = kLineControls[line];
            SCOPED_TRACE(std::string(name));
            // Lists and radio groups on their first item, fields empty, boxes clear.
            EXPECT_EQ(ValueOf(state, name), Unit1::FieldOf(name).text ? "" : "0");
        }
    }
}

TEST(LoadSettings, AppliesEachLineToItsControl)
{
    struct Case {
        std::size_t line;  // 1-based
        std::string text;
        const char* control;
        std::string expected;
    };
    const Case cases[] = {
        {1, "-30", "SavedLeft", "-30"},
        {2, "x", "SavedTop", "0"},
        {2, "$10", "SavedTop", "16"},
        {3, "11", "ComboBox1", "11"},
        {3, "12", "ComboBox1", "-1"},
        {4, "-4", "ComboBox2", "0"},
        {5, "15", "ComboBox3", "-1"},
        {5, "10", "ComboBox3", "10"},
        {6, "8", "ComboBox4", "8"},
        {6, "9", "ComboBox4", "-1"},
        {7, "1.0", "ComboBox5", "0"},
        {16, "7", "RadioGroup1", "1"},
        {16, "-1", "RadioGroup1", "0"},
        {17, "1", "RadioGroup2", "1"},
        {22, "5", "RadioGroup3", "1"},
        {18, "2", "CheckBox1", "1"},
        {18, "x", "CheckBox1", "0"},
        {18, "-1", "CheckBox1", "1"},
        {21, "1", "CheckBox4", "1"},
        {23, "1", "CheckBox5", "1"},
        {27, " 1", "CheckBox9", "1"},
        {8, "abc", "Edit1", "abc"},
        {9, "\x8C\x9A\x81\x40\x82\x60 ", "Edit2", "\x8C\x9A\x81\x40\x82\x60 "},  // 建　Ａ
        {10, "\x82\xD3\x81\x5C", "Edit3", "\x82\xD3\x81\x5C"},  // ふ―: a trail byte 0x5C
        {11, "  -3  ", "Edit4", "  -3  "},
        {14, "12345678901234567890", "Edit7", "12345678901234567890"},  // past the limit
        {15, "", "Edit8", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("line " + std::to_string(c.line) + " [" + c.text + "]");
        std::vector<std::string> lines = DefaultLines();
        lines[c.line - 1] = c.text;
        const DialogState state = LoadBytes(Join(lines, "\r\n"));
        EXPECT_EQ(ValueOf(state, c.control), c.expected);
        // Nothing else moved.
        for (std::size_t i = 0; i < kLineControls.size(); ++i) {
            if (kLineControls[i] == c.control) continue;
            EXPECT_EQ(ValueOf(state, kLineControls[i]), DefaultLines()[i]) << kLineControls[i];
        }
    }
}

TEST(LoadSettings, EndsLinesAtLineFeeds)
{
    struct Case {
        const char* what;
        std::string tail;  // lines 8 (Edit1) and 9 (Edit2) and what follows
        std::string edit1;
        std::string edit2;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", "a", "b"},
        {"LF", "a\nb\n", "a", "b"},
        {"one CR removed", "a\r\r\nb\r\n", "a\r", "b"},
        {"lone CR stays in the text", "a\rb\r\nc\r\n", "a\rb", "c"},
        {"CR at the end without LF stays", "a\r\nb\r", "a", "b\r"},
        {"last line without LF", "a\r\nb", "a", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = DefaultLines();
        lines.resize(7);
        const DialogState state = LoadBytes(Join(lines, "\r\n") + c.tail);
        EXPECT_EQ(state.Edit1, c.edit1);
        EXPECT_EQ(state.Edit2, c.edit2);
        EXPECT_EQ(state.ComboBox5, 2);
    }
}

TEST(LoadSettings, IgnoresLinesPastTheLast)
{
    std::vector<std::string> lines = DefaultLines();
    lines.back() = "1";
    lines.push_back("1");
    lines.push_back("garbage");
    const DialogState state = LoadBytes(Join(lines, "\r\n"));
    EXPECT_TRUE(state.CheckBox9);
    EXPECT_EQ(state.SavedLeft, 100);
}

TEST(SaveSettings, WritesTheTwentySevenLinesInOrder)
{
    // A distinct value in every control, so that two swapped lines show up.
    DialogState state = ShownState();
    state.SavedLeft = -1200;
    state.SavedTop = 2400;
    state.ComboBox1 = 11;
    state.ComboBox2 = 10;
    state.ComboBox3 = 9;
    state.ComboBox4 = 8;
    state.ComboBox5 = -1;
    state.Edit1 = "e1";
    state.Edit2 = "\x90\xA1\x96\x40";  // 寸法
    state.Edit3 = "\x81\x40";          // 　
    state.Edit4 = "e4";
    state.Edit5 = "e5";
    state.Edit6 = "e6";
    state.Edit7 = "e7";
    state.Edit8 = "e8";
    state.RadioGroup1 = 1;
    state.RadioGroup2 = -1;
    state.RadioGroup3 = 0;
    state.CheckBox1 = true;
    state.CheckBox4 = true;
    state.CheckBox6 = true;
    state.CheckBox9 = true;

    TempFolder folder;
    ASSERT_TRUE(SaveSettings(state, folder / "Korvane.dat"));
    const std::vector<std::string> expected = {
        "-1200", "2400", "11", "10", "9", "8", "-1", "e1", "\x90\xA1\x96\x40", "\x81\x40",
        "e4", "e5", "e6", "e7", "e8", "1", "-1", "1", "0", "0", "1", "0", "0", "1", "0", "0",
        "1"};
    EXPECT_EQ(ReadBytes(folder / "Korvane.dat"), Join(expected, "\r\n"));
}

TEST(SaveSettings, ReloadsToTheSameDialog)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<std::string> japanese = DefaultLines();
    japanese[0] = "250";
    japanese[1] = "-80";
    japanese[8] = "\x81\x9A\x8E\x9A \x81\x40";  // ★字 　
    japanese[9] = " ";
    japanese[10] = "1e3";
    japanese[17] = "1";
    japanese[21] = "1";
    const Case cases[] = {
        {"defaults", Join(DefaultLines(), "\r\n")},
        {"Japanese text and blanks", Join(japanese, "\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteBytes(folder / "Korvane.dat", c.bytes);
        DialogState state = ShownState();
        LoadSettings(state, folder / "Korvane.dat");
        ASSERT_TRUE(SaveSettings(state, folder / "again.dat"));
        EXPECT_EQ(ReadBytes(folder / "again.dat"), c.bytes);

        DialogState reloaded = ShownState();
        LoadSettings(reloaded, folder / "again.dat");
        EXPECT_EQ(Snapshot(reloaded), Snapshot(state));
    }
}

TEST(SaveSettings, ReplacesALongerFileCompletely)
{
    TempFolder folder;
    const std::filesystem::path path = folder / "Korvane.dat";
    WriteBytes(path, std::string(4000, 'x'));
    DialogState state = ShownState();
    state.ComboBox3 = 0;
    ASSERT_TRUE(SaveSettings(state, path));
    EXPECT_EQ(ReadBytes(path), Join(DefaultLines(), "\r\n"));
}

TEST(SaveSettings, LeavesNoFileBehindWhenWritingFails)
{
    TempFolder folder;
    DialogState state = ShownState();

    // A folder that does not exist: nothing can be created.
    const std::filesystem::path inMissingFolder = folder / "missing" / "Korvane.dat";
    EXPECT_FALSE(SaveSettings(state, inMissingFolder));
    EXPECT_FALSE(std::filesystem::exists(inMissingFolder));

    // A folder in the file's place is not something to delete.
    const std::filesystem::path folderInTheWay = folder / "Korvane.dat";
    std::filesystem::create_directory(folderInTheWay);
    EXPECT_FALSE(SaveSettings(state, folderInTheWay));
    EXPECT_TRUE(std::filesystem::is_directory(folderInTheWay));

#ifndef _WIN32
    // A device that takes the open but fails the write, as a full disk does: the half-written
    // file is removed (here the link that pointed at it).
    const std::filesystem::path full = folder / "full.dat";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_FALSE(SaveSettings(state, full));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(full)));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
#endif
}
