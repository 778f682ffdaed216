#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/text.hpp"
#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/command.hpp"
#include "dimension/settings.hpp"

using Unit1::ControlKind;
using Unit1::ControlSpec;
using Unit1::DialogControls;
using Unit1::FindControl;

namespace {

// Whole Shift-JIS characters and no control bytes: a dropped or extra byte in a "\x.." escape
// leaves a lone lead byte or shifts a pair off its boundary.
bool IsWholeShiftJisText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 || b == 0x7F) return false;
        if (!MyFunc::IsLeadByte(b)) continue;
        if (++i >= text.size()) return false;
        const auto trail = static_cast<unsigned char>(text[i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    }
    return true;
}

}  // namespace

TEST(DialogControls, EveryValueControlIsBackedByTheDialogState)
{
    std::set<std::string_view> names;
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        EXPECT_TRUE(names.insert(control.name).second) << "name used twice or empty";
        EXPECT_EQ(FindControl(control.name), &control);
        const Unit1::StateField field = Unit1::FieldOf(control.name);
        EXPECT_EQ(field.index != nullptr, control.kind == ControlKind::DropDownList ||
                                              control.kind == ControlKind::RadioGroup);
        EXPECT_EQ(field.text != nullptr, control.kind == ControlKind::Edit);
        EXPECT_EQ(field.checked != nullptr, control.kind == ControlKind::CheckBox);
    }
    EXPECT_EQ(names.size(), 31u);
    EXPECT_FALSE(names.contains(""));
    EXPECT_EQ(FindControl("edit1"), nullptr);

    // Every control a failed check focuses can take the focus, and can be named and explained.
    using Dimension::SettingControl;
    for (int i = static_cast<int>(SettingControl::ComboBox1);
         i <= static_cast<int>(SettingControl::ComboBox6); ++i) {
        const auto check = static_cast<SettingControl>(i);
        const std::string_view name = Unit1::SettingControlName(check);
        SCOPED_TRACE(std::string(name));
        ASSERT_NE(FindControl(name), nullptr);
        EXPECT_TRUE(FindControl(name)->tabStop);
        EXPECT_EQ(FindControl(name)->value.check, check);
        EXPECT_FALSE(Unit1::SettingCaption(check).empty());
        EXPECT_FALSE(Unit1::SettingExplanation(check).empty());
    }
    EXPECT_EQ(Unit1::SettingControlName(SettingControl::None), "");
}

TEST(DialogControls, NamesEachCheckedControlAsTheUserSeesIt)
{
    using C = Dimension::SettingControl;
    struct Case {
        C check;
        std::string_view caption;
    };
    // A list or field by the label beside it, a radio group by its own caption.
    const Case cases[] = {
        {C::Edit7, "\x92\xB7\x82\xB3"},                                      // 長さ
        {C::ComboBox1, "\x8E\x6E\x93\x5F"},                                  // 始点
        {C::Edit1, "\x92\x5B\x93\x5F\x94\x7B\x97\xA6"},                      // 端点倍率
        // 寸法値の文字種
        {C::ComboBox3, "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x95\xB6\x8E\x9A\x8E\xED"},
        // 計測点と寸法補助線の距離
        {C::Edit5, "\x8C\x76\x91\xAA\x93\x5F\x82\xC6\x90\xA1\x96\x40\x95\xE2\x8F\x95\x90\xFC"
                   "\x82\xCC\x8B\x97\x97\xA3"},
        {C::RadioGroup2, "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x92\x50\x88\xCA"},  // 寸法値の単位
        {C::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Unit1::SettingControlName(c.check)));
        EXPECT_EQ(Unit1::SettingCaption(c.check), c.caption);
    }
}

// korvane-cli's reason for each failed check: a number's allowed
// range comes from the check's own record, the same record the check and the dialog use.
TEST(DialogControls, ExplainsEachFailedCheckForKorvaneCli)
{
    using C = Dimension::SettingControl;
    const std::pair<C, std::string_view> cases[] = {
        {C::ComboBox1, "a start-point marker must be selected"},
        {C::ComboBox2, "an end-point marker must be selected"},
        {C::Edit1, "the end-point scale must be greater than 0"},
        {C::Edit7, "the line-arrow length must be greater than 0 and at most 1000"},
        {C::Edit8, "the line-arrow angle must be greater than 0 and less than 180"},
        {C::ComboBox3, "a text kind must be selected for the value"},
        {C::ComboBox4, "a precision must be selected"},
        {C::ComboBox5, "a rounding must be selected"},
        {C::RadioGroup1, "the zeros after the decimal point must be chosen"},
        {C::RadioGroup2, "a unit must be selected"},
        {C::Edit5, "the distance to the extension line must not be negative"},
        {C::Edit6, "the extension-line overshoot must not be negative"},
        {C::ComboBox6, "an arrangement must be selected"},
        {C::None, ""},
    };
    for (const auto& [check, explanation] : cases) {
        SCOPED_TRACE(std::string(Unit1::SettingControlName(check)));
        EXPECT_EQ(Unit1::SettingExplanation(check), explanation);
    }
}

TEST(DialogControls, TabOrderRunsWithoutGapsAndEveryControlFitsItsParent)
{
    std::map<std::string_view, std::int32_t> nextTab;
    for (const ControlSpec& control : DialogControls()) {
        SCOPED_TRACE(std::string(control.name));
        EXPECT_EQ(control.tabOrder, nextTab[control.parent]++);
        std::int32_t width = Unit1::kClientWidth;
        std::int32_t height = Unit1::kClientHeight;
        if (!control.parent.empty()) {
            const ControlSpec* parent = FindControl(control.parent);
            ASSERT_NE(parent, nullptr);
            EXPECT_EQ(parent->kind, ControlKind::GroupBox);
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
    EXPECT_EQ(nextTab[""], 26);
    EXPECT_EQ(nextTab["GroupBox1"], 5);
}

// A cumulative run draws no start marker, no narrow marker and no dimension figure: those three
// controls are greyed out then, every other control stays in use whatever the arrangement.
TEST(DialogControls, TheCumulativeArrangementLeavesThreeControlsUnused)
{
    for (const std::int32_t arrangement : {-1, 0, 1, 2, 3}) {
        SCOPED_TRACE(arrangement);
        Unit1::DialogState state = Unit1::DefaultDialogState();
        state.ComboBox6 = arrangement;
        std::vector<std::string_view> unused;
        for (const ControlSpec& control : DialogControls()) {
            if (!Unit1::ControlInUse(state, control)) unused.push_back(control.name);
        }
        const std::vector<std::string_view> expected =
            arrangement == 3
                ? std::vector<std::string_view>{"ComboBox1", "CheckBox4", "RadioGroup3"}
                : std::vector<std::string_view>{};
        EXPECT_EQ(unused, expected);
    }
}

TEST(DialogControls, EveryTextIsWholeShiftJis)
{
    std::vector<std::string_view> texts = {
        Unit1::kWindowCaption,  Unit1::kApplicationTitle,    Unit1::kFontName,
        Unit1::kStatusIdle,     Dimension::kStatusAcquiring, Dimension::kStatusSorting,
        Dimension::kStatusCounting, Dimension::kStatusDrawing, Dimension::kStatusWritingFile,
        Unit1::kMessageTitle,   Unit1::kTooFewPointsMessage, Unit1::kCannotDimensionMessage,
    };
    for (const ControlSpec& control : DialogControls()) {
        texts.push_back(control.caption);
        texts.push_back(control.value.labelCaption);
        texts.push_back(control.defaultText);
        texts.insert(texts.end(), control.items.begin(), control.items.end());
    }
    for (const Unit1::LabelSpec& label : Unit1::DialogLabels()) texts.push_back(label.caption);
    const auto notice = Unit1::NoticeLines();
    texts.insert(texts.end(), notice.begin(), notice.end());

    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE("text " + std::to_string(i));
        EXPECT_TRUE(IsWholeShiftJisText(texts[i]));
    }
    EXPECT_EQ(notice.size(), 22u);
    EXPECT_EQ(Unit1::DialogLabels().size(), 21u);
}
