#include "dialog/dialog_state.hpp"

#include <array>
#include <charconv>
#include <optional>
#include <system_error>

#include "common/number_text.hpp"
#include "common/text.hpp"
#include "dialog/controls.hpp"

namespace Unit1 {
namespace {

struct NamedField {
    std::string_view name;
    StateField field;
};

using S = DialogState;

constexpr std::array<NamedField, 25> kFields = {{
    {"ComboBox1", {.index = &S::ComboBox1}},
    {"ComboBox2", {.index = &S::ComboBox2}},
    {"ComboBox3", {.index = &S::ComboBox3}},
    {"ComboBox4", {.index = &S::ComboBox4}},
    {"ComboBox5", {.index = &S::ComboBox5}},
    {"Edit1", {.text = &S::Edit1}},
    {"Edit2", {.text = &S::Edit2}},
    {"Edit3", {.text = &S::Edit3}},
    {"Edit4", {.text = &S::Edit4}},
    {"Edit5", {.text = &S::Edit5}},
    {"Edit6", {.text = &S::Edit6}},
    {"Edit7", {.text = &S::Edit7}},
    {"Edit8", {.text = &S::Edit8}},
    {"RadioGroup1", {.index = &S::RadioGroup1}},
    {"RadioGroup2", {.index = &S::RadioGroup2}},
    {"RadioGroup3", {.index = &S::RadioGroup3}},
    {"CheckBox1", {.checked = &S::CheckBox1}},
    {"CheckBox2", {.checked = &S::CheckBox2}},
    {"CheckBox3", {.checked = &S::CheckBox3}},
    {"CheckBox4", {.checked = &S::CheckBox4}},
    {"CheckBox5", {.checked = &S::CheckBox5}},
    {"CheckBox6", {.checked = &S::CheckBox6}},
    {"CheckBox7", {.checked = &S::CheckBox7}},
    {"CheckBox8", {.checked = &S::CheckBox8}},
    {"CheckBox9", {.checked = &S::CheckBox9}},
}};

// 現在の文字種(
constexpr std::string_view kCurrentTextKind = "\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(";

// A decimal integer with an optional sign and nothing else, within 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

bool IsPrintableAscii(std::string_view text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

// The text unless it holds nothing but blanks and control bytes.
std::string KeepUnlessBlank(const std::string& text)
{
    return MyFunc::RemoveBlanks(text).empty() ? std::string() : text;
}

}  // namespace

StateField FieldOf(std::string_view controlName)
{
    for (const NamedField& named : kFields) {
        if (named.name == controlName) return named.field;
    }
    return {};
}

DialogState DefaultDialogState()
{
    DialogState state;
    for (const ControlSpec& control : DialogControls()) {
        const StateField field = FieldOf(control.name);
        if (field.index) state.*field.index = control.defaultIndex;
        if (field.text) state.*field.text = std::string(control.defaultText);
        if (field.checked) state.*field.checked = control.defaultChecked;
    }
    return state;
}

std::vector<std::string> TextKindItems(const RidEdaza::DrawingState& state)
{
    std::vector<std::string> items;
    items.reserve(state.textKinds.size() + 1);

    std::string current(kCurrentTextKind);
    if (state.initialTextKind == 0) {
        current += "Free)";
    } else {
        current += "No" + std::to_string(state.initialTextKind) + ")";
    }
    items.push_back(std::move(current));

    for (std::size_t i = 0; i < state.textKinds.size(); ++i) {
        const RidEdaza::TextKind& kind = state.textKinds[i];
        items.push_back("No" + std::to_string(i + 1) + ": W" +
                        MyFunc::GeneralNumberText(kind.width) + " H" +
                        MyFunc::GeneralNumberText(kind.height) + " D" +
                        MyFunc::GeneralNumberText(kind.spacing));
    }
    return items;
}

std::int32_t ItemCount(const DialogState& state, const ControlSpec& control)
{
    // The text-kind list is the one list filled at run time, from the host's drawing.
    if (control.name == "ComboBox3") {
        return static_cast<std::int32_t>(state.ComboBox3Items.size());
    }
    return static_cast<std::int32_t>(control.items.size());
}

void ApplyItemIndex(DialogState& state, const ControlSpec& control, std::int32_t index)
{
    std::int32_t DialogState::*field = FieldOf(control.name).index;
    if (!field) return;
    const std::int32_t count = ItemCount(state, control);
    if (index < 0) index = 0;
    if (index >= count) {
        index = control.kind == ControlKind::RadioGroup ? count - 1 : -1;
    }
    state.*field = index;
}

Dimension::DimensionSettings ReadDimensionSettings(const DialogState& state)
{
    using MyFunc::TextToRealOrZero;
    Dimension::DimensionSettings settings;
    settings.StartMarker = state.ComboBox1;
    settings.EndMarker = state.ComboBox2;
    settings.EndMarkerScale = TextToRealOrZero(state.Edit1);
    settings.MarkerLength = TextToRealOrZero(state.Edit7);
    settings.MarkerAngle = TextToRealOrZero(state.Edit8);
    settings.ValueTextKind = state.ComboBox3;
    settings.Prefix = KeepUnlessBlank(state.Edit2);
    settings.Suffix = KeepUnlessBlank(state.Edit3);
    settings.Precision = state.ComboBox4;
    settings.Rounding = state.ComboBox5;
    settings.ShowTrailingZeros = state.RadioGroup1;
    settings.ValueUnit = state.RadioGroup2;
    settings.ThousandsCommas = state.CheckBox1;
    settings.AppendUnit = state.CheckBox2;
    settings.FullWidthValue = state.CheckBox3;
    settings.DimensionFigure = state.CheckBox4;
    settings.ValueGap = TextToRealOrZero(state.Edit4);
    settings.ExtensionGap = TextToRealOrZero(state.Edit5);
    settings.ExtensionOvershoot = TextToRealOrZero(state.Edit6);
    settings.NarrowMarker = state.RadioGroup3;
    settings.TakeNearLineEnds = state.CheckBox5;
    settings.TakeFarLineEnds = state.CheckBox6;
    settings.TakePoints = state.CheckBox7;
    settings.TakeArcCenters = state.CheckBox8;
    settings.TakeArcEnds = state.CheckBox9;
    settings.CurrentScale = 1.0;
    return settings;
}

bool SetControl(DialogState& state, std::string_view name, std::string_view value)
{
    if (!IsPrintableAscii(value)) return false;
    const ControlSpec* control = FindControl(name);
    if (!control) return false;
    const StateField field = FieldOf(name);

    if (field.text) {
        state.*field.text = std::string(value);
        return true;
    }
    if (!field.index && !field.checked) return false;

    const std::optional<std::int32_t> number = ParseInteger(value);
    if (!number) return false;
    if (field.checked) {
        state.*field.checked = *number != 0;
    } else if (*number == -1) {
        state.*field.index = -1;
    } else {
        ApplyItemIndex(state, *control, *number);
    }
    return true;
}

}  // namespace Unit1
