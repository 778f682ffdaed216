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
    using S = DimensionSettings;
    using C = SettingControl;
    struct Case {
        const char* what;
        std::function<void(S&)> change;
        SettingControl expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"all valid", [](S&) {}, C::None},
        {"start marker", [](S& s) { s.StartMarker = -1; }, C::ComboBox1},
        {"end marker", [](S& s) { s.EndMarker = -1; }, C::ComboBox2},
        {"end-point scale 0", [](S& s) { s.EndMarkerScale = 0; }, C::Edit1},
        {"length 1000", [](S& s) { s.MarkerLength = 1000; }, C::None},
        {"length 1000.0001", [](S& s) { s.MarkerLength = 1000.0001; }, C::Edit7},
        {"length 0", [](S& s) { s.MarkerLength = 0; }, C::Edit7},
        {"angle 179.9", [](S& s) { s.MarkerAngle = 179.9; }, C::None},
        {"angle 180", [](S& s) { s.MarkerAngle = 180; }, C::Edit8},
        {"angle 0", [](S& s) { s.MarkerAngle = 0; }, C::Edit8},
        {"text kind", [](S& s) { s.ValueTextKind = -1; }, C::ComboBox3},
        {"precision", [](S& s) { s.Precision = -1; }, C::ComboBox4},
        {"rounding", [](S& s) { s.Rounding = -1; }, C::ComboBox5},
        {"zero display", [](S& s) { s.ShowTrailingZeros = -1; }, C::RadioGroup1},
        {"unit", [](S& s) { s.ValueUnit = -1; }, C::RadioGroup2},
        {"extension gap -0.1", [](S& s) { s.ExtensionGap = -0.1; }, C::Edit5},
        {"extension gap 0", [](S& s) { s.ExtensionGap = 0; }, C::None},
        {"overshoot -0.1", [](S& s) { s.ExtensionOvershoot = -0.1; }, C::Edit6},
        {"value gap -3 unchecked", [](S& s) { s.ValueGap = -3; }, C::None},
        {"narrow marker unchecked", [](S& s) { s.NarrowMarker = -1; }, C::None},
        {"no arrangement", [](S& s) { s.Arrangement = -1; }, C::ComboBox6},
        {"arrangement past the list", [](S& s) { s.Arrangement = 4; }, C::ComboBox6},
        // A cumulative run draws no start marker, so the list's value cannot refuse it.
        {"start marker unused when cumulative",
         [](S& s) { s.StartMarker = -1; s.Arrangement = 3; }, C::None},
        {"start marker used by the parallel lines",
         [](S& s) { s.StartMarker = -1; s.Arrangement = 2; }, C::ComboBox1},
        {"a bad arrangement is checked last",
         [](S& s) { s.Arrangement = -1; s.ExtensionOvershoot = -1; }, C::Edit6},
        // The first failing check wins.
        {"scale and length", [](S& s) { s.EndMarkerScale = 0; s.MarkerLength = 0; }, C::Edit1},
        {"kind and angle", [](S& s) { s.ValueTextKind = -1; s.MarkerAngle = 180; }, C::Edit8},
        {"unit and gap", [](S& s) { s.ValueUnit = -1; s.ExtensionGap = -1; }, C::RadioGroup2},
        {"gap and overshoot", [](S& s) { s.ExtensionGap = s.ExtensionOvershoot = -1; },
         C::Edit5},
        {"start marker and the rest",
         [](S& s) {
             s = S{};
             s.StartMarker = s.EndMarker = s.ValueTextKind = -1;
             s.EndMarkerScale = s.MarkerLength = s.MarkerAngle = s.ExtensionGap = -1;
         },
         C::ComboBox1},
        // A NaN handed over by some other front end must not pass for a valid value.
        {"NaN scale", [&](S& s) { s.EndMarkerScale = nan; }, C::Edit1},
        {"NaN length", [&](S& s) { s.MarkerLength = nan; }, C::Edit7},
        {"NaN overshoot", [&](S& s) { s.ExtensionOvershoot = nan; }, C::Edit6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DimensionSettings settings = ValidSettings();
        c.change(settings);
        EXPECT_EQ(FirstInvalidSetting(settings), c.expected);
    }
}

TEST(CurrentScale, IsTheScaleOfTheHostsCurrentLayerGroup)
{
    struct Case {
        std::int32_t group;
        double expected;
    };
    // Group g has scale 10 * (g + 1).
    // Outside the table: the model's default current group (0), never a read past the end.
    const Case cases[] = {{0, 10}, {3, 40}, {15, 160}, {-1, 10}, {16, 10}, {INT32_MIN, 10}};
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
    // 1 + 2^-23 + 2^-50 times 1 + 2^-30 is exactly 1 + 2^-23 + 2^-30 + 2^-50 + 2^-53 + 2^-80,
    // just above a halfway point between two doubles. A double multiplication rounds it up;
    // formed in extended precision the 2^-80 is lost first and the tie goes to the even
    // neighbour, down. Which one comes out decides the last bit of every distance drawn.
    const double g = 1.0 + std::ldexp(1.0, -23) + std::ldexp(1.0, -50);
    const double e = g + std::ldexp(1.0, -30);
    struct Case {
        double scale;
        double gaps[3];  // ValueGap, ExtensionGap, ExtensionOvershoot
        double expected[3];
    };
    const Case cases[] = {
        {50, {0.5, 2, -3}, {25, 100, -150}},
        {0, {0.5, 2, 2}, {0, 0, 0}},
        {1.0 + std::ldexp(1.0, -30), {g, g, g}, {e, e, e}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale));
        DimensionSettings settings = ValidSettings();
        settings.ValueGap = c.gaps[0];
        settings.ExtensionGap = c.gaps[1];
        settings.ExtensionOvershoot = c.gaps[2];
        ScaleDimensionSettings(settings, c.scale);
        EXPECT_EQ(settings.ValueGap, c.expected[0]);
        EXPECT_EQ(settings.ExtensionGap, c.expected[1]);
        EXPECT_EQ(settings.ExtensionOvershoot, c.expected[2]);
        EXPECT_EQ(settings.CurrentScale, c.scale);
        EXPECT_EQ(settings.MarkerLength, 3.0);  // paper millimetres stay as read
    }
}
