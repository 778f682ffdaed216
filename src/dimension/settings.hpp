// The dialog's values for one press of OK, their checks and their scaling into drawing units.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dimension/host_request.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

// The controls that a failed check puts the keyboard focus on, in check order. Each front end
// maps them to its own controls (the dialog: one row of its controls table each).
enum class SettingControl {
    None, ComboBox1, ComboBox2, Edit1, Edit7, Edit8, ComboBox3, ComboBox4, ComboBox5,
    RadioGroup1, RadioGroup2, Edit5, Edit6, ComboBox6
};

// The five kinds of point a range selection gives measuring points from (GroupBox1's check
// boxes, CheckBox5 to CheckBox9), in the order acquisition visits them.
enum class PointKind : std::uint8_t {
    NearLineEnds,  // the end of each segment on the height point's side
    FarLineEnds,   // the other end
    Points,        // points and point markers
    ArcCentres,    // the centres of circles and arcs
    ArcEnds,       // the two ends of each arc
};
inline constexpr std::size_t kPointKindCount = 5;

// Which kinds of point are taken, by PointKind.
using PointKinds = std::array<bool, kPointKindCount>;

struct DimensionSettings {
    std::int32_t StartMarker = 0;       // ComboBox1 index, -1 none
    std::int32_t EndMarker = 0;         // ComboBox2
    double EndMarkerScale = 1.0;        // Edit1
    double MarkerLength = 3.0;          // Edit7, paper mm
    double MarkerAngle = 15.0;          // Edit8, degrees
    std::int32_t ValueTextKind = -1;    // ComboBox3 index (0 = the host's current text kind)
    std::string Prefix;                 // Edit2, empty when blank
    std::string Suffix;                 // Edit3, empty when blank
    std::int32_t Precision = 3;         // ComboBox4: number of decimals
    std::int32_t Rounding = 2;          // ComboBox5: 0 truncate, 1 round up, 2 half up
    std::int32_t ShowTrailingZeros = 0; // RadioGroup1
    std::int32_t ValueUnit = 0;         // RadioGroup2: 0 mm, 1 m
    bool ThousandsCommas = false;       // CheckBox1
    bool AppendUnit = false;            // CheckBox2
    bool FullWidthValue = false;        // CheckBox3
    bool DimensionFigure = false;       // CheckBox4
    double ValueGap = 0.5;              // Edit4 (drawing units after scaling)
    double ExtensionGap = 2.0;          // Edit5 (drawing units after scaling)
    double ExtensionOvershoot = 2.0;    // Edit6 (drawing units after scaling)
    std::int32_t NarrowMarker = 0;      // RadioGroup3: 0 slash, 1 dot
    PointKinds TakenPoints{};           // CheckBox5 to CheckBox9
    std::int32_t Arrangement = 0;       // ComboBox6 index: a row of kArrangements, -1 none
    double CurrentScale = 1.0;          // set by ScaleDimensionSettings
    // The dimension direction in degrees, set by the command: the host's axis angle, turned by 90
    // for a vertical run (DimensionAngle). Measuring points are taken along it and the run is
    // laid out along it.
    double DimensionAngle = 0.0;
};

// The direction a run measures along: the axis angle, plus 90 (the sum in double) for a
// vertical run, so that a vertical run is exactly the horizontal run of a drawing whose axis
// angle is that sum.
double DimensionAngle(const RidEdaza::DrawingState& state, RunDirection direction);

// Whether a range selection takes points of this kind; whether it takes any at all.
bool Takes(const DimensionSettings& settings, PointKind kind);
bool TakesAnyPoint(const DimensionSettings& settings);

// The values a checked number may take: one record per check, from which the check itself,
// korvane-cli's explanation and the dialog's message are all made. `low` always bounds the
// range; `high` only where `bounded`.
struct NumberRange {
    SettingControl control = SettingControl::None;
    double low = 0.0;
    bool lowIncluded = false;
    bool bounded = false;
    double high = 0.0;
    bool highIncluded = false;
};

// The ranges of Edit1, Edit7, Edit8, Edit5 and Edit6, in check order.
std::span<const NumberRange> CheckedRanges();

// The range a control's check is, or nullptr (a list's check is only that an item is chosen).
const NumberRange* RangeOf(SettingControl control);

// True when the value lies in the range; a NaN never does.
bool InRange(const NumberRange& range, double value);

// The first control whose value fails its check, in the fixed check order; None when all pass.
// A setting the chosen arrangement does not read is not checked (arrangements.hpp).
SettingControl FirstInvalidSetting(const DimensionSettings& settings);

// layerGroupScale[initialLayerGroup] of the drawing: the scale of the host's current layer group.
double CurrentScale(const RidEdaza::DrawingState& state);

// Multiplies ValueGap, ExtensionGap and ExtensionOvershoot by the scale and stores the scale.
void ScaleDimensionSettings(DimensionSettings& settings, double currentScale);

}  // namespace Dimension
