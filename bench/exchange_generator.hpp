// Large synthetic exchange files (JWC_TEMP.TXT as the host writes it) for the benchmarks.
//
// A plan is a building floor: walls on a grid of a few hundred columns, so that many segments
// share their end points and whole columns of points share one X; door swings (arcs), column
// circles and points at the wall middles come with it. Optionally the plan is drawn turned by an
// axis angle (the host's "hk" turns it back, which leaves near-equal X along every column) and
// spread over layer groups of different scales whose coordinates are written so that they land
// on the same positions. A scatter is a cloud of points with all X distinct: one dimension per
// point, a large command file, many narrow intervals with staggered value texts.
//
// Numbers are written as the host writes them (15 significant digits), unless round
// coordinates are asked for. Lines end in CR LF. The same options and seed give the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace Bench {

struct PlanOptions {
    std::int64_t segments = 10000;
    double axisAngle = 0.0;      // degrees: the plan is drawn turned by it, "hk" says so
    bool layerGroups = false;    // spread over groups with scales 1:100, 1:50, 1:200
    bool roundCoordinates = false;  // whole millimetres from the origin, no 15-digit numbers
    std::uint64_t seed = 1;
};

struct ScatterOptions {
    std::int64_t points = 10000;
    bool roundCoordinates = false;
    std::uint64_t seed = 1;
};

// The exchange file's bytes.
std::string GeneratePlan(const PlanOptions& options);
std::string GenerateScatter(const ScatterOptions& options);

// korvane-cli's --set arguments that make a run take every kind of point and the host's text
// kind, from the dialog's defaults (each entry is one NAME=VALUE).
inline constexpr const char* kRunSettings[] = {
    "ComboBox3=0", "CheckBox5=1", "CheckBox6=1", "CheckBox7=1", "CheckBox8=1", "CheckBox9=1",
};

}  // namespace Bench
