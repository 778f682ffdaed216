#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/settings.hpp"

using Dimension::DimensionSettings;
using Dimension::SettingControlName;
using Unit1::DialogState;
using Unit1::SetControl;

namespace {

// A control's value as text: index and check box as integers, edit texts as they are.
std::string ValueOf(const DialogState& state, std::string_view name)
{
    const Unit1::StateField field = Unit1::FieldOf(name);
    if (field.index) return std::to_string(state.*field.index);
    if (field.text) return state.*field.text;
    if (field.checked) return state.*field.checked ? "1" : "0";
    return "(no value)";
}

// Every value of the state, for comparing two states as a whole.
std::string Snapshot(const DialogState& state)
{
    // Appended piece by piece: g++ 12 at -O2 warns falsely on chains of string additions.
    std::string out = std::to_string(state.SavedLeft);
    out += ',';
    out += std::to_string(state.SavedTop);
    for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
        out += '|';
        out += control.name;
        out += '=';
        out += ValueOf(state, control.name);
    }
    return out;
}

// The dialog as a user would meet it: defaults, text kinds listed, the current kind chosen.
DialogState ReadyState()
{
    DialogState state = Unit1::DefaultDialogState();
    state.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    state.ComboBox3 = 0;
    return state;
}

}  // namespace

TEST(DefaultDialogState, HoldsTheDialogsDefaults)
{
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"ComboBox1", "0"},   {"ComboBox2", "0"},   {"ComboBox3", "-1"},  {"ComboBox4", "3"},
        {"ComboBox5", "2"},   {"Edit1", "1"},       {"Edit2", ""},        {"Edit3", ""},
        {"Edit4", "0.5"},     {"Edit5", "2"},       {"Edit6", "2"},       {"Edit7", "3"},
        {"Edit8", "15"},      {"RadioGroup1", "0"}, {"RadioGroup2", "0"}, {"RadioGroup3", "0"},
        {"CheckBox1", "0"},   {"CheckBox2", "0"},   {"CheckBox3", "0"},   {"CheckBox4", "0"},
        {"CheckBox5", "0"},   {"CheckBox6", "0"},   {"CheckBox7", "0"},   {"CheckBox8", "0"},
        {"CheckBox9", "0"},
    };
    const DialogState state = Unit1::DefaultDialogState();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ValueOf(state, c.name), c.expected);
    }
    EXPECT_EQ(state.SavedLeft, 100);
    EXPECT_EQ(state.SavedTop, 100);
    EXPECT_TRUE(state.ComboBox3Items.empty());
}

TEST(TextKindItems, ListsTheCurrentKindAndTheTenHostKinds)
{
    struct Case {
        std::int32_t initialTextKind;
        const char* expectedFirst;
    };
    // 現在の文字種(
    const std::string current = "\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(";
    const Case cases[] = {
        {0, "Free)"}, {1, "No1)"}, {5, "No5)"}, {7, "No7)"}, {10, "No10)"},
        // Whatever the host wrote is shown as it is.
        {11, "No11)"}, {-2, "No-2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.initialTextKind));
        RidEdaza::DrawingState state;
        state.initialTextKind = c.initialTextKind;
        const std::vector<std::string> items = Unit1::TextKindItems(state);
        ASSERT_EQ(items.size(), 11u);
        EXPECT_EQ(items[0], current + c.expectedFirst);
    }
}

TEST(TextKindItems, WritesSizesAsGeneralNumbers)
{
    RidEdaza::DrawingState state;
    state.textKinds[2] = {2.5, 2.5, 0.0, 1};
    state.textKinds[8] = {0.00001, 1234.5, -0.25, 1};
    state.textKinds[9] = {10, 0.1 + 0.2, 1e15, 1};
    const std::vector<std::string> items = Unit1::TextKindItems(state);
    ASSERT_EQ(items.size(), 11u);
    const char* expected[] = {
        nullptr,
        "No1: W3 H3 D0",
        "No2: W3 H3 D0",
        "No3: W2.5 H2.5 D0",
        "No4: W3 H3 D0",
        "No5: W3 H3 D0",
        "No6: W3 H3 D0",
        "No7: W3 H3 D0",
        "No8: W3 H3 D0",
        "No9: W1E-5 H1234.5 D-0.25",
        "No10: W10 H0.3 D1E15",
    };
    for (std::size_t i = 1; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(items[i], expected[i]);
    }
}

TEST(ReadDimensionSettings, FeedsTheChecksFromTheFieldTexts)
{
    struct Case {
        const char* control;
        const char* value;
        const char* expectedFocus;  // "" when every check passes
    };
    const Case cases[] = {
        {"Edit1", "", "Edit1"},        {"Edit1", "abc", "Edit1"},    {"Edit1", "0", "Edit1"},
        {"Edit1", "-1", "Edit1"},      {"Edit1", "1 ", "Edit1"},     {"Edit1", "0.01", ""},
        {"Edit7", "1000", ""},         {"Edit7", "1000.0001", "Edit7"},
        {"Edit7", "0", "Edit7"},       {"Edit7", "", "Edit7"},
        {"Edit8", "179.9", ""},        {"Edit8", "180", "Edit8"},    {"Edit8", "0", "Edit8"},
        {"Edit5", "-0.1", "Edit5"},    {"Edit6", "-0.1", "Edit6"},
        {"Edit4", "", ""},             {"Edit5", "", ""},            {"Edit6", "", ""},
        {"Edit4", "abc", ""},          {"Edit5", "x", ""},           {"Edit4", "-3", ""},
        {"ComboBox3", "-1", "ComboBox3"},                            {"RadioGroup2", "-1", "RadioGroup2"},
        {"ComboBox1", "-1", "ComboBox1"},                            {"RadioGroup3", "-1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " = [" + c.value + "]");
        DialogState state = ReadyState();
        ASSERT_TRUE(SetControl(state, c.control, c.value));
        const DimensionSettings settings = Unit1::ReadDimensionSettings(state);
        EXPECT_EQ(SettingControlName(Dimension::FirstInvalidSetting(settings)), c.expectedFocus);
    }
    // With Edit1 and Edit7 both bad only Edit1 is reported.
    DialogState state = ReadyState();
    state.Edit1 = "";
    state.Edit7 = "";
    EXPECT_EQ(SettingControlName(
                  Dimension::FirstInvalidSetting(Unit1::ReadDimensionSettings(state))),
              "Edit1");
}

TEST(ReadDimensionSettings, ClearsOnlyBlankPrefixesAndSuffixes)
{
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\x81\x40\x81\x40\x81\x40", ""},              // three full-width blanks
        {" a ", " a "},                                // blanks around a letter stay
        {"   ", ""},
        {"\t\r", ""},                                  // control bytes count as blank
        {"\x81\x40\x82\x60\x81\x40", "\x81\x40\x82\x60\x81\x40"},  // 　Ａ　 stays as it is
        {"\x82\x8D", "\x82\x8D"},                      // ｍ
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.text + "]");
        DialogState state = ReadyState();
        state.Edit2 = c.text;
        state.Edit3 = c.text;
        const DimensionSettings settings = Unit1::ReadDimensionSettings(state);
        EXPECT_EQ(settings.Prefix, c.expected);
        EXPECT_EQ(settings.Suffix, c.expected);
    }
}

TEST(ReadDimensionSettings, TakesEachFieldFromItsOwnControl)
{
    // Distinct values everywhere, so that two swapped controls show up.
    DialogState state = ReadyState();
    state.ComboBox1 = 1;
    state.ComboBox2 = 2;
    state.ComboBox3 = 3;
    state.ComboBox4 = 4;
    state.ComboBox5 = 5;
    state.Edit1 = "1.5";
    state.Edit2 = "P";
    state.Edit3 = "S";
    state.Edit4 = "-3";
    state.Edit5 = "2.25";
    state.Edit6 = "7";
    state.Edit7 = "1000";
    state.Edit8 = "179.9";
    state.RadioGroup1 = 6;
    state.RadioGroup2 = 7;
    state.RadioGroup3 = 8;
    const DimensionSettings s = Unit1::ReadDimensionSettings(state);
    EXPECT_EQ(s.StartMarker, 1);
    EXPECT_EQ(s.EndMarker, 2);
    EXPECT_EQ(s.ValueTextKind, 3);
    EXPECT_EQ(s.Precision, 4);
    EXPECT_EQ(s.Rounding, 5);
    EXPECT_EQ(s.EndMarkerScale, 1.5);
    EXPECT_EQ(s.Prefix, "P");
    EXPECT_EQ(s.Suffix, "S");
    EXPECT_EQ(s.ValueGap, -3.0);
    EXPECT_EQ(s.ExtensionGap, 2.25);
    EXPECT_EQ(s.ExtensionOvershoot, 7.0);
    EXPECT_EQ(s.MarkerLength, 1000.0);
    EXPECT_EQ(s.MarkerAngle, 179.9);
    EXPECT_EQ(s.ShowTrailingZeros, 6);
    EXPECT_EQ(s.ValueUnit, 7);
    EXPECT_EQ(s.NarrowMarker, 8);
    EXPECT_EQ(s.CurrentScale, 1.0);

    struct Flag {
        const char* control;
        bool DimensionSettings::*field;
    };
    const Flag flags[] = {
        {"CheckBox1", &DimensionSettings::ThousandsCommas},
        {"CheckBox2", &DimensionSettings::AppendUnit},
        {"CheckBox3", &DimensionSettings::FullWidthValue},
        {"CheckBox4", &DimensionSettings::DimensionFigure},
        {"CheckBox5", &DimensionSettings::TakeNearLineEnds},
        {"CheckBox6", &DimensionSettings::TakeFarLineEnds},
        {"CheckBox7", &DimensionSettings::TakePoints},
        {"CheckBox8", &DimensionSettings::TakeArcCenters},
        {"CheckBox9", &DimensionSettings::TakeArcEnds},
    };
    for (const Flag& ticked : flags) {
        SCOPED_TRACE(ticked.control);
        DialogState one = ReadyState();
        ASSERT_TRUE(SetControl(one, ticked.control, "1"));
        const DimensionSettings read = Unit1::ReadDimensionSettings(one);
        for (const Flag& flag : flags) {
            EXPECT_EQ(read.*flag.field, flag.field == ticked.field) << flag.control;
        }
    }
}

TEST(SetControl, AppliesValuesLikeTheSettingsFile)
{
    struct Case {
        const char* name;
        std::string value;
        bool accepted;
        const char* expected;  // the control's value afterwards
    };
    const Case cases[] = {
        // Drop-down lists: -1 clears, other negatives select item 0, past the end clears.
        {"ComboBox1", "5", true, "5"},        {"ComboBox1", "11", true, "11"},
        {"ComboBox1", "12", true, "-1"},      {"ComboBox1", "-1", true, "-1"},
        {"ComboBox1", "-5", true, "0"},       {"ComboBox1", "+3", true, "3"},
        {"ComboBox1", "007", true, "7"},      {"ComboBox3", "10", true, "10"},
        {"ComboBox3", "11", true, "-1"},      {"ComboBox5", "3", true, "-1"},
        {"ComboBox1", "", false, "0"},        {"ComboBox1", "x", false, "0"},
        {"ComboBox1", "1.5", false, "0"},     {"ComboBox1", " 1", false, "0"},
        {"ComboBox1", "1 ", false, "0"},      {"ComboBox1", "+-1", false, "0"},
        {"ComboBox1", "--1", false, "0"},     {"ComboBox1", "$1", false, "0"},
        {"ComboBox1", "2147483648", false, "0"},
        // Radio groups: past the end selects the last item.
        {"RadioGroup1", "7", true, "1"},      {"RadioGroup3", "1", true, "1"},
        {"RadioGroup1", "-1", true, "-1"},    {"RadioGroup1", "-2", true, "0"},
        {"RadioGroup2", "2147483647", true, "1"},
        // Check boxes: any integer, non-zero ticks.
        {"CheckBox1", "1", true, "1"},        {"CheckBox1", "2", true, "1"},
        {"CheckBox9", "-7", true, "1"},       {"CheckBox5", "0", true, "0"},
        {"CheckBox1", "x", false, "0"},       {"CheckBox1", "", false, "0"},
        // Edit fields: any printable text, also past the typing limit.
        {"Edit1", "abc def", true, "abc def"},
        {"Edit7", "123456789012", true, "123456789012"},
        {"Edit2", "", true, ""},
        {"Edit3", " ~!\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}", true,
         " ~!\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}"},
        {"Edit4", "a\tb", false, "0.5"},
        {"Edit2", "\x82\x60", false, ""},
        {"Edit1", "\x7F", false, "1"},
        {"Edit1", std::string("a\0b", 3), false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = [" + c.value + "]");
        DialogState state = ReadyState();
        const std::string before = Snapshot(state);
        EXPECT_EQ(SetControl(state, c.name, c.value), c.accepted);
        EXPECT_EQ(ValueOf(state, c.name), c.expected);
        if (!c.accepted) {
            EXPECT_EQ(Snapshot(state), before);
        }
    }
}

TEST(SetControl, RefusesNamesWithoutAValue)
{
    const char* names[] = {"Edit9", "edit1", "EDIT1", "", "Button1", "GroupBox1", "Memo1",
                           "ScrollBox1", "Label6", "LabelA1", "SavedLeft", "ComboBox1 "};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        DialogState state = ReadyState();
        const std::string before = Snapshot(state);
        EXPECT_FALSE(SetControl(state, name, "1"));
        EXPECT_EQ(Snapshot(state), before);
    }
}

TEST(SetControl, LeavesTheTextKindListUnselectedBeforeItIsFilled)
{
    DialogState state = Unit1::DefaultDialogState();
    EXPECT_TRUE(SetControl(state, "ComboBox3", "0"));
    EXPECT_EQ(state.ComboBox3, -1);
}
