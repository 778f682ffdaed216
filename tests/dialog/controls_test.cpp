#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/settings.hpp"

using Unit1::ControlKind;
using Unit1::ControlSpec;
using Unit1::DialogControls;
using Unit1::DialogLabels;
using Unit1::FindControl;

namespace {

// True when the bytes are whole Shift-JIS characters with no control bytes: a dropped or extra
// byte in a "\x.." escape leaves a lone lead byte or shifts a pair onto the wrong boundary.
bool IsWholeShiftJisText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 || b == 0x7F) return false;
        if (MyFunc::IsLeadByte(b)) {
            if (i + 1 >= text.size()) return false;
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
            ++i;
        }
    }
    return true;
}

std::string Printable(std::string_view text)
{
    std::string out;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
    }
    return out;
}

}  // namespace

TEST(DialogControls, EveryValueControlIsBackedByTheDialogState)
{
    std::set<std::string_view> names;
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        EXPECT_TRUE(names.insert(control.name).second) << "name used twice";
        EXPECT_EQ(FindControl(control.name), &control);

        const Unit1::StateField field = Unit1::FieldOf(control.name);
        const bool isList =
            control.kind == ControlKind::DropDownList || control.kind == ControlKind::RadioGroup;
        EXPECT_EQ(field.index != nullptr, isList);
        EXPECT_EQ(field.text != nullptr, control.kind == ControlKind::Edit);
        EXPECT_EQ(field.checked != nullptr, control.kind == ControlKind::CheckBox);
    }
    EXPECT_EQ(FindControl("Edit9"), nullptr);
    EXPECT_EQ(FindControl("edit1"), nullptr);
    EXPECT_EQ(FindControl(""), nullptr);
}

TEST(DialogControls, EveryCheckFocusesAControlOfTheTable)
{
    using Dimension::SettingControl;
    const SettingControl controls[] = {
        SettingControl::ComboBox1, SettingControl::ComboBox2,   SettingControl::Edit1,
        SettingControl::Edit7,     SettingControl::Edit8,       SettingControl::ComboBox3,
        SettingControl::ComboBox4, SettingControl::ComboBox5,   SettingControl::RadioGroup1,
        SettingControl::RadioGroup2, SettingControl::Edit5,     SettingControl::Edit6,
    };
    for (SettingControl control : controls) {
        const std::string_view name = Dimension::SettingControlName(control);
        SCOPED_TRACE(std::string(name));
        const ControlSpec* spec = FindControl(name);
        ASSERT_NE(spec, nullptr);
        EXPECT_TRUE(spec->tabStop);
    }
    EXPECT_EQ(Dimension::SettingControlName(SettingControl::None), "");
}

TEST(DialogControls, TabOrderRunsWithoutGapsInsideEachParent)
{
    std::map<std::string_view, std::int32_t> nextTab;
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        if (!control.parent.empty()) {
            const ControlSpec* parent = FindControl(control.parent);
            ASSERT_NE(parent, nullptr);
            EXPECT_EQ(parent->kind, ControlKind::GroupBox);
        }
        EXPECT_EQ(control.tabOrder, nextTab[control.parent]++);
    }
    EXPECT_EQ(nextTab[""], 25);
    EXPECT_EQ(nextTab["GroupBox1"], 5);
}

TEST(DialogControls, EveryControlLiesInsideItsParent)
{
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        std::int32_t width = Unit1::kClientWidth;
        std::int32_t height = Unit1::kClientHeight;
        if (!control.parent.empty()) {
            const ControlSpec* parent = FindControl(control.parent);
            ASSERT_NE(parent, nullptr);
            width = parent->width;
            height = parent->height;
        }
        EXPECT_GT(control.width, 0);
        EXPECT_GT(control.height, 0);
        EXPECT_GE(control.left, 0);
        EXPECT_GE(control.top, 0);
        EXPECT_LE(control.left + control.width, width);
        EXPECT_LE(control.top + control.height, height);
    }
    // The status strip sits directly on the notice panel at the bottom edge.
    const ControlSpec* panel = FindControl("ScrollBox1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(Unit1::kStatusTop + Unit1::kStatusHeight, panel->top);
    EXPECT_EQ(panel->top + panel->height, Unit1::kClientHeight);
}

TEST(DialogControls, ListsOfferTheirItemsAndDefaults)
{
    struct Case {
        const char* name;
        std::size_t items;
        std::int32_t defaultIndex;
        std::int32_t columns;
    };
    const Case cases[] = {
        {"ComboBox1", 12, 0, 0},   {"ComboBox2", 12, 0, 0},   {"ComboBox3", 0, -1, 0},
        {"ComboBox4", 9, 3, 0},    {"ComboBox5", 3, 2, 0},    {"RadioGroup1", 2, 0, 2},
        {"RadioGroup2", 2, 0, 2},  {"RadioGroup3", 2, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ControlSpec* control = FindControl(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->items.size(), c.items);
        EXPECT_EQ(control->defaultIndex, c.defaultIndex);
        EXPECT_EQ(control->columns, c.columns);
    }
    // Two marker kinds share the triangle's text and must stay two items.
    const auto markers = Unit1::MarkerItems();
    ASSERT_EQ(markers.size(), 12u);
    EXPECT_EQ(markers[1], markers[11]);
    EXPECT_EQ(FindControl("ComboBox4")->items[3], "0.001");
}

TEST(DialogControls, JapaneseInputOnlyInThePrefixAndSuffix)
{
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        if (control.kind == ControlKind::Edit || control.kind == ControlKind::DropDownList) {
            const bool japanese = control.name == "Edit2" || control.name == "Edit3";
            EXPECT_EQ(control.imeOff, !japanese);
        }
        if (control.kind == ControlKind::Edit) {
            EXPECT_GT(control.maxLength, 0);
            EXPECT_LE(static_cast<std::int32_t>(control.defaultText.size()), control.maxLength);
        }
    }
}

TEST(DialogControls, EveryTextIsWholeShiftJis)
{
    std::vector<std::string_view> texts = {
        Unit1::kWindowCaption,     Unit1::kApplicationTitle,      Unit1::kFontName,
        Unit1::kStatusIdle,        Unit1::kStatusCollecting,      Unit1::kStatusSorting,
        Unit1::kStatusCounting,    Unit1::kStatusProcessing,      Unit1::kStatusWriting,
        Unit1::kMessageTitle,      Unit1::kTooFewPointsMessage,   Unit1::kCannotDimensionMessage,
    };
    for (const ControlSpec& control : DialogControls()) {
        texts.push_back(control.caption);
        texts.push_back(control.defaultText);
        for (std::string_view item : control.items) texts.push_back(item);
    }
    for (const Unit1::LabelSpec& label : DialogLabels()) texts.push_back(label.caption);
    for (std::string_view line : Unit1::NoticeLines()) texts.push_back(line);

    for (std::string_view text : texts) {
        SCOPED_TRACE(Printable(text));
        EXPECT_TRUE(IsWholeShiftJisText(text));
    }
}

TEST(DialogControls, NoticeLinesContinueWithAFullWidthBlank)
{
    const auto lines = Unit1::NoticeLines();
    ASSERT_EQ(lines.size(), 22u);
    const std::string_view fullWidthBlank = "\x81\x40";  // 　
    const std::string_view openDiamond = "\x81\x9E";     // ◇
    const std::string_view blackDiamond = "\x81\x9F";    // ◆
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        const std::string_view line = lines[i];
        if (i == 6) {
            EXPECT_TRUE(line.empty());
        } else if (i == 0) {
            EXPECT_TRUE(line.starts_with(openDiamond));
        } else if (i == 7 || i == 15) {
            EXPECT_TRUE(line.starts_with(blackDiamond));
        } else {
            EXPECT_TRUE(line.starts_with(fullWidthBlank));
        }
    }
}

TEST(DialogLabels, OnlyTheLineArrowNoteUsesTheSmallFont)
{
    std::set<std::string_view> names;
    for (const Unit1::LabelSpec& label : DialogLabels()) {
        SCOPED_TRACE(std::string(label.name));
        EXPECT_TRUE(names.insert(label.name).second);
        EXPECT_EQ(FindControl(label.name), nullptr);
        EXPECT_EQ(label.fontHeight, label.name == "Label15" ? 11 : 13);
        EXPECT_FALSE(label.caption.empty());
        EXPECT_LT(label.left, Unit1::kClientWidth);
        EXPECT_LT(label.top, Unit1::kStatusTop);
    }
    EXPECT_EQ(names.size(), 20u);
}
