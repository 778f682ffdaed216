// What the host asks of a run, read once from the launcher's arguments ("1", "2", "1 V", "2 V")
// into a typed request: where the measuring points come from and which way the run measures.
// Acquisition, the dialog and its picture read the request, never the argument texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Dimension {

// Where the measuring points come from.
enum class PointSource {
    IndicatedPoints,  // the points the user indicated one by one: the argument "1"
    RangeSelection,   // the entities of a range selection: any other first argument, or none
};

// A horizontal run measures along the host's axis; a vertical one across it.
enum class RunDirection { Horizontal, Vertical };

struct HostRequest {
    PointSource source = PointSource::RangeSelection;
    RunDirection direction = RunDirection::Horizontal;
};

// "V" or "v": the host's argument that asks for a vertical run.
bool IsVerticalArgument(std::string_view argument);

// The first argument alone decides the source (only exactly "1" selects the indicated points);
// a "V" or "v" as the first or the second argument asks for a vertical run. Further arguments
// mean nothing.
HostRequest ReadHostArguments(const std::vector<std::string>& arguments);

}  // namespace Dimension
