#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/settings.hpp"

using Dimension::DimensionSettings;
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

std::string Snapshot(const DialogState& state)
{
    // Appended piece by piece: g++ 12 at -O2 warns falsely on chains of string additions.
    std::string out = std::to_string(state.SavedLeft);
    out += ',';
    out += std::to_string(state.SavedTop);
    for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
        out += '|';
        out += ValueOf(state, control.name);
    }
    return out;
}

// The dialog as a user meets it: defaults, text kinds listed, the current kind chosen.
DialogState ReadyState()
{
    DialogState state = Unit1::DefaultDialogState();
    state.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    state.ComboBox3 = 0;
    return state;
}

}  // namespace

TEST(TextKindItems, ListsTheCurrentKindAndTheTenHostKinds)
{
    struct Case {
        std::int32_t initialTextKind;
        std::size_t item;
        const char* expected;
    };
    const std::string current = "\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(";  // 現在の文字種(
    const Case cases[] = {
        {0, 0, "Free)"}, {5, 0, "No5)"}, {10, 0, "No10)"}, {-2, 0, "No-2)"},
        {1, 1, "No1: W3 H3 D0"}, {1, 3, "No3: W2.5 H2.5 D0"},
        {1, 9, "No9: W1E-5 H1234.5 D-0.25"}, {1, 10, "No10: W10 H0.3 D1E15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.initialTextKind) + " item " +
                     std::to_string(c.item));
        RidEdaza::DrawingState state;
        state.initialTextKind = c.initialTextKind;
        state.textKinds[2] = {2.5, 2.5, 0.0, 1};
        state.textKinds[8] = {0.00001, 1234.5, -0.25, 1};
        state.textKinds[9] = {10, 0.1 + 0.2, 1e15, 1};
        const std::vector<std::string> items = Unit1::TextKindItems(state);
        ASSERT_EQ(items.size(), 11u);
        EXPECT_EQ(items[c.item], (c.item == 0 ? current : "") + c.expected);
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
        {"Edit1", "", "Edit1"},       {"Edit1", "abc", "Edit1"},   {"Edit1", "0", "Edit1"},
        {"Edit1", "-1", "Edit1"},     {"Edit1", "1 ", "Edit1"},    {"Edit1", "0.01", ""},
        {"Edit7", "1000", ""},        {"Edit7", "1000.0001", "Edit7"},
        {"Edit8", "179.9", ""},       {"Edit8", "180", "Edit8"},   {"Edit8", "", "Edit8"},
        {"Edit5", "-0.1", "Edit5"},   {"Edit6", "-0.1", "Edit6"},  {"Edit4", "-3", ""},
        {"Edit4", "", ""},            {"Edit5", "", ""},           {"Edit6", "x", ""},
        {"ComboBox3", "-1", "ComboBox3"},                          {"RadioGroup3", "-1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " = [" + c.value + "]");
        DialogState state = ReadyState();
        ASSERT_TRUE(SetControl(state, c.control, c.value));
        const DimensionSettings settings = Unit1::ReadDimensionSettings(state);
        EXPECT_EQ(Unit1::SettingControlName(Dimension::FirstInvalidSetting(settings)),
                  c.expectedFocus);
    }
}

TEST(ReadDimensionSettings, ClearsOnlyBlankPrefixesAndSuffixes)
{
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\x81\x40\x81\x40\x81\x40", ""},  // three full-width blanks
        {" a ", " a "},                    // blanks around a letter stay
        {"\t\r ", ""},                     // control bytes count as blank
        {"\x81\x40\x82\x60\x81\x40", "\x81\x40\x82\x60\x81\x40"},  // 　Ａ　
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
    state.ComboBox1 = 1; state.ComboBox2 = 2; state.ComboBox3 = 3; state.ComboBox4 = 4;
    state.ComboBox5 = 5; state.RadioGroup1 = 6; state.RadioGroup2 = 7; state.RadioGroup3 = 8;
    state.Edit1 = "1.5"; state.Edit2 = "P"; state.Edit3 = "S"; state.Edit4 = "-3";
    state.Edit5 = "2.25"; state.Edit6 = "7"; state.Edit7 = "1000"; state.Edit8 = "179.9";
    const DimensionSettings s = Unit1::ReadDimensionSettings(state);
    EXPECT_EQ(std::vector<std::int32_t>({s.StartMarker, s.EndMarker, s.ValueTextKind,
                                         s.Precision, s.Rounding, s.ShowTrailingZeros,
                                         s.ValueUnit, s.NarrowMarker}),
              std::vector<std::int32_t>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(std::vector<double>({s.EndMarkerScale, s.ValueGap, s.ExtensionGap,
                                   s.ExtensionOvershoot, s.MarkerLength, s.MarkerAngle}),
              std::vector<double>({1.5, -3, 2.25, 7, 1000, 179.9}));
    EXPECT_EQ(s.Prefix + s.Suffix, "PS");

    // CheckBox1 to CheckBox9: four flags, then the five point kinds in their order.
    const auto ticks = [](const DimensionSettings& read) {
        std::vector<bool> all = {read.ThousandsCommas, read.AppendUnit, read.FullWidthValue,
                                 read.DimensionFigure};
        for (const bool taken : read.TakenPoints) all.push_back(taken);
        return all;
    };
    using Dimension::PointKind;
    const PointKind kinds[] = {PointKind::NearLineEnds, PointKind::FarLineEnds,
                               PointKind::Points, PointKind::ArcCentres, PointKind::ArcEnds};
    for (std::size_t ticked = 0; ticked < 9; ++ticked) {
        const std::string box = "CheckBox" + std::to_string(ticked + 1);
        SCOPED_TRACE(box);
        DialogState one = ReadyState();
        ASSERT_TRUE(SetControl(one, box, "1"));
        const DimensionSettings read = Unit1::ReadDimensionSettings(one);
        const std::vector<bool> all = ticks(read);
        for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i], i == ticked) << "tick " << i;
        if (ticked >= 4) {
            EXPECT_TRUE(Dimension::Takes(read, kinds[ticked - 4]));
        }
        EXPECT_EQ(Dimension::TakesAnyPoint(read), ticked >= 4);
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
        {"ComboBox1", "11", true, "11"},     {"ComboBox1", "12", true, "-1"},
        {"ComboBox1", "-1", true, "-1"},     {"ComboBox1", "-5", true, "0"},
        {"ComboBox1", "+3", true, "3"},      {"ComboBox3", "10", true, "10"},
        {"ComboBox3", "11", true, "-1"},     {"ComboBox5", "3", true, "-1"},
        {"ComboBox1", "", false, "0"},       {"ComboBox1", "1.5", false, "0"},
        {"ComboBox1", " 1", false, "0"},     {"ComboBox1", "+-1", false, "0"},
        {"ComboBox1", "$1", false, "0"},     {"ComboBox1", "2147483648", false, "0"},
        // Radio groups: past the end selects the last item.
        {"RadioGroup1", "7", true, "1"},     {"RadioGroup1", "-1", true, "-1"},
        {"RadioGroup1", "-2", true, "0"},    {"RadioGroup2", "2147483647", true, "1"},
        // Check boxes: any integer, non-zero ticks.
        {"CheckBox1", "2", true, "1"},       {"CheckBox9", "-7", true, "1"},
        {"CheckBox5", "0", true, "0"},       {"CheckBox1", "x", false, "0"},
        // Edit fields: any printable text, also past the typing limit; nothing else.
        {"Edit7", "123456789012", true, "123456789012"},
        {"Edit2", "", true, ""},
        {"Edit3", " ~!\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}", true,
         " ~!\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}"},
        {"Edit4", "a\tb", false, "0.5"},     {"Edit2", "\x82\x60", false, ""},
        {"Edit1", "\x7F", false, "1"},       {"Edit1", std::string("a\0b", 3), false, "1"},
        // Names without a value.
        {"Edit9", "1", false, "(no value)"}, {"edit1", "1", false, "(no value)"},
        {"Button1", "1", false, "(no value)"}, {"GroupBox1", "1", false, "(no value)"},
        {"Label6", "1", false, "(no value)"}, {"SavedLeft", "1", false, "(no value)"},
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

// OK under an arrangement that leaves a list unused saves it with an item, never without one:
// a saved "-1" would be read back as item 0.
TEST(SelectFirstItemOfUnusedEmptyLists, GivesOnlyAnUnusedListWithoutSelectionItsFirstItem)
{
    struct Case {
        const char* what;
        std::int32_t arrangement;
        std::int32_t startMarker;
        std::int32_t endMarker;
        std::int32_t expectedStart;
        std::int32_t expectedEnd;
    };
    const Case cases[] = {
        {"cumulative, no start marker", 3, -1, 0, 0, 0},
        {"cumulative, a start marker kept", 3, 5, 0, 5, 0},
        {"cumulative, the end marker is in use", 3, 0, -1, 0, -1},
        {"chain: the start marker is in use", 0, -1, 0, -1, 0},
        {"no arrangement chosen", -1, -1, 0, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DialogState state = ReadyState();
        state.ComboBox6 = c.arrangement;
        state.ComboBox1 = c.startMarker;
        state.ComboBox2 = c.endMarker;
        Unit1::SelectFirstItemOfUnusedEmptyLists(state);
        EXPECT_EQ(state.ComboBox1, c.expectedStart);
        EXPECT_EQ(state.ComboBox2, c.expectedEnd);
        EXPECT_EQ(state.ComboBox6, c.arrangement);
    }
}
