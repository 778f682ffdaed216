#include "dialog/dialog_state.hpp"

#include <charconv>
#include <optional>
#include <system_error>

#include "common/number_text.hpp"
#include "common/text.hpp"
#include "dialog/controls.hpp"

namespace Unit1 {
namespace {

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

// The text unless it holds nothing but blanks and control bytes.
std::string KeepUnlessBlank(const std::string& text)
{
    return MyFunc::RemoveBlanks(text).empty() ? std::string() : text;
}

}  // namespace

StateField FieldOf(std::string_view controlName)
{
    const ControlSpec* control = FindControl(controlName);
    return control ? control->value.state : StateField{};
}

DialogState DefaultDialogState()
{
    DialogState state;
    for (const ControlSpec& control : DialogControls()) {
        const StateField& field = control.value.state;
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
    std::int32_t DialogState::*field = control.value.state.index;
    if (!field) return;
    const std::int32_t count = ItemCount(state, control);
    if (index < 0) index = 0;
    if (index >= count) {
        index = control.kind == ControlKind::RadioGroup ? count - 1 : -1;
    }
    state.*field = index;
}

void SelectFirstItemOfUnusedEmptyLists(DialogState& state)
{
    for (const ControlSpec& control : DialogControls()) {
        std::int32_t DialogState::*field = control.value.state.index;
        if (!field || control.kind != ControlKind::DropDownList) continue;
        if (state.*field >= 0 || ControlInUse(state, control)) continue;
        if (ItemCount(state, control) > 0) state.*field = 0;
    }
}

Dimension::DimensionSettings ReadDimensionSettings(const DialogState& state)
{
    Dimension::DimensionSettings settings;
    for (const ControlSpec& control : DialogControls()) {
        const StateField& from = control.value.state;
        const SettingsField& to = control.value.setting;
        if (to.index && from.index) settings.*to.index = state.*from.index;
        if (to.flag && from.checked) settings.*to.flag = state.*from.checked;
        if (to.pointKind && from.checked) {
            settings.TakenPoints[static_cast<std::size_t>(*to.pointKind)] = state.*from.checked;
        }
        if (to.number && from.text) {
            settings.*to.number = MyFunc::TextToRealOrZero(state.*from.text);
        }
        if (to.text && from.text) settings.*to.text = KeepUnlessBlank(state.*from.text);
    }
    settings.CurrentScale = 1.0;
    return settings;
}

bool SetControl(DialogState& state, std::string_view name, std::string_view value)
{
    if (!MyFunc::IsPrintableAscii(value)) return false;
    const ControlSpec* control = FindControl(name);
    if (!control) return false;
    const StateField& field = control->value.state;

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
