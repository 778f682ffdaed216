#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "dimension/settings.hpp"

using Dimension::CurrentScale;
using Dimension::DimensionSettings;
using Dimension::FirstInvalidSetting;
using Dimension::ScaleDimensionSettings;
using Dimension::SettingControl;
using Dimension::SettingControlName;

namespace {

// Every value valid: the default record with a text kind chosen.
DimensionSettings ValidSettings()
{
    DimensionSettings settings;
    settings.ValueTextKind = 0;
    return settings;
}

}  // namespace

TEST(FirstInvalidSetting, NamesTheFirstControlWhoseValueFails)
{
    struct Case {
        const char* what;
        std::function<void(DimensionSettings&)> change;
        SettingControl expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"all valid", [](DimensionSettings&) {}, SettingControl::None},
        {"no start marker", [](DimensionSettings& s) { s.StartMarker = -1; },
         SettingControl::ComboBox1},
        {"no end marker", [](DimensionSettings& s) { s.EndMarker = -1; },
         SettingControl::ComboBox2},
        {"end-point scale 0", [](DimensionSettings& s) { s.EndMarkerScale = 0; },
         SettingControl::Edit1},
        {"end-point scale -1", [](DimensionSettings& s) { s.EndMarkerScale = -1; },
         SettingControl::Edit1},
        {"end-point scale tiny", [](DimensionSettings& s) { s.EndMarkerScale = 1e-300; },
         SettingControl::None},
        {"length 1000", [](DimensionSettings& s) { s.MarkerLength = 1000; },
         SettingControl::None},
        {"length 1000.0001", [](DimensionSettings& s) { s.MarkerLength = 1000.0001; },
         SettingControl::Edit7},
        {"length 0", [](DimensionSettings& s) { s.MarkerLength = 0; }, SettingControl::Edit7},
        {"length -3", [](DimensionSettings& s) { s.MarkerLength = -3; },
         SettingControl::Edit7},
        {"angle 179.9", [](DimensionSettings& s) { s.MarkerAngle = 179.9; },
         SettingControl::None},
        {"angle 180", [](DimensionSettings& s) { s.MarkerAngle = 180; }, SettingControl::Edit8},
        {"angle 0", [](DimensionSettings& s) { s.MarkerAngle = 0; }, SettingControl::Edit8},
        {"angle -15", [](DimensionSettings& s) { s.MarkerAngle = -15; },
         SettingControl::Edit8},
        {"no text kind", [](DimensionSettings& s) { s.ValueTextKind = -1; },
         SettingControl::ComboBox3},
        {"no precision", [](DimensionSettings& s) { s.Precision = -1; },
         SettingControl::ComboBox4},
        {"no rounding", [](DimensionSettings& s) { s.Rounding = -1; },
         SettingControl::ComboBox5},
        {"no zero display", [](DimensionSettings& s) { s.ShowTrailingZeros = -1; },
         SettingControl::RadioGroup1},
        {"no unit", [](DimensionSettings& s) { s.ValueUnit = -1; },
         SettingControl::RadioGroup2},
        {"extension gap -0.1", [](DimensionSettings& s) { s.ExtensionGap = -0.1; },
         SettingControl::Edit5},
        {"extension gap 0", [](DimensionSettings& s) { s.ExtensionGap = 0; },
         SettingControl::None},
        {"overshoot -0.1", [](DimensionSettings& s) { s.ExtensionOvershoot = -0.1; },
         SettingControl::Edit6},
        {"overshoot 0", [](DimensionSettings& s) { s.ExtensionOvershoot = 0; },
         SettingControl::None},
        {"value gap -3 is not checked", [](DimensionSettings& s) { s.ValueGap = -3; },
         SettingControl::None},
        {"narrow marker is not checked", [](DimensionSettings& s) { s.NarrowMarker = -1; },
         SettingControl::None},
        // The first failing check wins.
        {"end-point scale and length",
         [](DimensionSettings& s) { s.EndMarkerScale = 0; s.MarkerLength = 0; },
         SettingControl::Edit1},
        {"both markers",
         [](DimensionSettings& s) { s.StartMarker = -1; s.EndMarker = -1; },
         SettingControl::ComboBox1},
        {"text kind and angle",
         [](DimensionSettings& s) { s.ValueTextKind = -1; s.MarkerAngle = 180; },
         SettingControl::Edit8},
        {"unit and extension gap",
         [](DimensionSettings& s) { s.ValueUnit = -1; s.ExtensionGap = -1; },
         SettingControl::RadioGroup2},
        {"gap and overshoot",
         [](DimensionSettings& s) { s.ExtensionGap = -1; s.ExtensionOvershoot = -1; },
         SettingControl::Edit5},
        {"everything bad",
         [](DimensionSettings& s) {
             s.StartMarker = s.EndMarker = s.ValueTextKind = s.Precision = s.Rounding = -1;
             s.ShowTrailingZeros = s.ValueUnit = -1;
             s.EndMarkerScale = s.MarkerLength = s.MarkerAngle = 0;
             s.ExtensionGap = s.ExtensionOvershoot = -1;
         },
         SettingControl::ComboBox1},
        // A NaN handed over by some other front end must not pass for a valid value.
        {"NaN scale", [&](DimensionSettings& s) { s.EndMarkerScale = nan; },
         SettingControl::Edit1},
        {"NaN length", [&](DimensionSettings& s) { s.MarkerLength = nan; },
         SettingControl::Edit7},
        {"NaN angle", [&](DimensionSettings& s) { s.MarkerAngle = nan; },
         SettingControl::Edit8},
        {"NaN gap", [&](DimensionSettings& s) { s.ExtensionGap = nan; },
         SettingControl::Edit5},
        {"NaN overshoot", [&](DimensionSettings& s) { s.ExtensionOvershoot = nan; },
         SettingControl::Edit6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DimensionSettings settings = ValidSettings();
        c.change(settings);
        const SettingControl found = FirstInvalidSetting(settings);
        EXPECT_EQ(SettingControlName(found), SettingControlName(c.expected));
    }
}

TEST(CurrentScale, IsTheScaleOfTheHostsCurrentLayerGroup)
{
    struct Case {
        std::int32_t group;
        double expected;
    };
    // Group g has scale 10 * (g + 1).
    const Case cases[] = {
        {0, 10}, {3, 40}, {15, 160},
        // Outside the table: the model's default current group (0), never a read past the end.
        {-1, 10}, {16, 10}, {INT32_MIN, 10}, {INT32_MAX, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("group " + std::to_string(c.group));
        RidEdaza::DrawingState state;
        for (std::size_t g = 0; g < state.layerGroupScale.size(); ++g) {
            state.layerGroupScale[g] = 10.0 * static_cast<double>(g + 1);
        }
        state.initialLayerGroup = c.group;
        EXPECT_EQ(CurrentScale(state), c.expected);
    }
}

TEST(ScaleDimensionSettings, TurnsTheThreeDistancesIntoDrawingUnits)
{
    struct Case {
        double scale;
        double valueGap, extensionGap, overshoot;
        double expectedValueGap, expectedExtensionGap, expectedOvershoot;
    };
    const Case cases[] = {
        {50, 0.5, 2, 2, 25, 100, 100},
        {50, -3, 0, 0.25, -150, 0, 12.5},
        {1, 0.5, 2, 2, 0.5, 2, 2},
        {0, 0.5, 2, 2, 0, 0, 0},
        {0.1, 3, 3, 3, 0.30000000000000004, 0.30000000000000004, 0.30000000000000004},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale));
        DimensionSettings settings = ValidSettings();
        settings.ValueGap = c.valueGap;
        settings.ExtensionGap = c.extensionGap;
        settings.ExtensionOvershoot = c.overshoot;
        ScaleDimensionSettings(settings, c.scale);
        EXPECT_EQ(settings.ValueGap, c.expectedValueGap);
        EXPECT_EQ(settings.ExtensionGap, c.expectedExtensionGap);
        EXPECT_EQ(settings.ExtensionOvershoot, c.expectedOvershoot);
        EXPECT_EQ(settings.CurrentScale, c.scale);
        // Paper millimetres and everything else stay as read.
        EXPECT_EQ(settings.MarkerLength, 3.0);
        EXPECT_EQ(settings.EndMarkerScale, 1.0);
        EXPECT_EQ(settings.MarkerAngle, 15.0);
    }
}

TEST(ScaleDimensionSettings, RoundsTheExtendedProductOnce)
{
    // The exact product 1 + 2^-23 + 2^-30 + 2^-50 + 2^-53 + 2^-80 lies just above a halfway
    // point between two doubles. Multiplied in double it rounds up; formed in extended
    // precision the 2^-80 is lost first and the tie then goes to the even neighbour (down).
    // Which one comes out decides the last bit of every distance the run draws.
    const double gap = 1.0 + std::ldexp(1.0, -23) + std::ldexp(1.0, -50);
    const double scale = 1.0 + std::ldexp(1.0, -30);
    const double extended = 1.0 + std::ldexp(1.0, -23) + std::ldexp(1.0, -30) +
                            std::ldexp(1.0, -50);
    DimensionSettings settings = ValidSettings();
    settings.ValueGap = gap;
    settings.ExtensionGap = gap;
    settings.ExtensionOvershoot = gap;
    ScaleDimensionSettings(settings, scale);
    EXPECT_EQ(settings.ValueGap, extended);
    EXPECT_EQ(settings.ExtensionGap, extended);
    EXPECT_EQ(settings.ExtensionOvershoot, extended);
}
