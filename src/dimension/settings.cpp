#include "dimension/settings.hpp"

#include "dimension/arrangements.hpp"

#include <array>
#include <utility>

namespace Dimension {

namespace {

constexpr std::array<NumberRange, 5> kRanges = {{
    {.control = SettingControl::Edit1, .low = 0.0},
    {.control = SettingControl::Edit7, .low = 0.0, .bounded = true, .high = 1000.0,
     .highIncluded = true},
    {.control = SettingControl::Edit8, .low = 0.0, .bounded = true, .high = 180.0},
    {.control = SettingControl::Edit5, .low = 0.0, .lowIncluded = true},
    {.control = SettingControl::Edit6, .low = 0.0, .lowIncluded = true},
}};

bool Valid(SettingControl control, double value)
{
    const NumberRange* range = RangeOf(control);
    return range && InRange(*range, value);
}

}  // namespace

std::span<const NumberRange> CheckedRanges() { return kRanges; }

const NumberRange* RangeOf(SettingControl control)
{
    for (const NumberRange& range : kRanges) {
        if (range.control == control) return &range;
    }
    return nullptr;
}

bool InRange(const NumberRange& r, double value)
{
    // Each comparison states when the value is valid, so a NaN (which the dialog never produces,
    // but another front end might) fails rather than slipping through.
    const bool aboveLow = r.lowIncluded ? value >= r.low : value > r.low;
    const bool belowHigh = !r.bounded || (r.highIncluded ? value <= r.high : value < r.high);
    return aboveLow && belowHigh;
}

SettingControl FirstInvalidSetting(const DimensionSettings& s)
{
    // The order decides which control gets the focus when several values are bad. Each entry
    // states when the value is valid, so a NaN (which the dialog never produces, but another
    // front end might) fails its check rather than slipping through.
    // An arrangement past the list reads every setting: its own check refuses it last.
    const ArrangementRow* arrangement = ArrangementRowOf(s.Arrangement);
    const bool startMarkerRead =
        !arrangement || Reads(*arrangement, &DimensionSettings::StartMarker);
    const std::array<std::pair<bool, SettingControl>, 13> checks = {{
        {s.StartMarker >= 0 || !startMarkerRead, SettingControl::ComboBox1},
        {s.EndMarker >= 0, SettingControl::ComboBox2},
        {Valid(SettingControl::Edit1, s.EndMarkerScale), SettingControl::Edit1},
        {Valid(SettingControl::Edit7, s.MarkerLength), SettingControl::Edit7},
        {Valid(SettingControl::Edit8, s.MarkerAngle), SettingControl::Edit8},
        {s.ValueTextKind >= 0, SettingControl::ComboBox3},
        {s.Precision >= 0, SettingControl::ComboBox4},
        {s.Rounding >= 0, SettingControl::ComboBox5},
        {s.ShowTrailingZeros >= 0, SettingControl::RadioGroup1},
        {s.ValueUnit >= 0, SettingControl::RadioGroup2},
        {Valid(SettingControl::Edit5, s.ExtensionGap), SettingControl::Edit5},
        {Valid(SettingControl::Edit6, s.ExtensionOvershoot), SettingControl::Edit6},
        // Last, so that a file from before the arrangements refuses where it always did.
        {arrangement != nullptr, SettingControl::ComboBox6},
    }};
    for (const auto& [valid, control] : checks) {
        if (!valid) return control;
    }
    return SettingControl::None;
}

double CurrentScale(const RidEdaza::DrawingState& state)
{
    // The reader keeps the group in 0..15; should another front end not, the model's default
    // current group (0) stands in rather than reading past the table.
    const std::int32_t group = state.initialLayerGroup;
    if (group < 0 || group >= static_cast<std::int32_t>(state.layerGroupScale.size())) {
        return state.layerGroupScale[0];
    }
    return state.layerGroupScale[static_cast<std::size_t>(group)];
}

double DimensionAngle(const RidEdaza::DrawingState& state, RunDirection direction)
{
    switch (direction) {
    case RunDirection::Horizontal:
        return state.axisAngle;
    case RunDirection::Vertical:
        return state.axisAngle + 90.0;
    }
    return state.axisAngle;
}

bool Takes(const DimensionSettings& settings, PointKind kind)
{
    return settings.TakenPoints[static_cast<std::size_t>(kind)];
}

bool TakesAnyPoint(const DimensionSettings& settings)
{
    for (const bool taken : settings.TakenPoints) {
        if (taken) return true;
    }
    return false;
}

void ScaleDimensionSettings(DimensionSettings& settings, double currentScale)
{
    const long double scale = currentScale;
    settings.ValueGap = static_cast<double>(settings.ValueGap * scale);
    settings.ExtensionGap = static_cast<double>(settings.ExtensionGap * scale);
    settings.ExtensionOvershoot = static_cast<double>(settings.ExtensionOvershoot * scale);
    settings.CurrentScale = currentScale;
}

}  // namespace Dimension
