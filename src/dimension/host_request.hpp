// What the host asks of a run, read once from the launcher's arguments ("1", "2", "1 V", "2 V",
// "2 HV") into a typed request: where the measuring points come from and which way the run
// measures. Acquisition, the dialog and its picture read the request, never the argument texts.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Dimension {

// Where the measuring points come from.
enum class PointSource {
    IndicatedPoints,  // the points the user indicated one by one: the argument "1"
    RangeSelection,   // the entities of a range selection: any other first argument, or none
};

// The way one run measures: a horizontal run along the host's axis, a vertical one across it.
enum class RunDirection { Horizontal, Vertical };

// The runs the host asks for: one direction, or both from the same selection in one OK (the
// horizontal run first, then the vertical one).
enum class RequestedRuns { Horizontal, Vertical, Both };

struct HostRequest {
    PointSource source = PointSource::RangeSelection;
    RequestedRuns runs = RequestedRuns::Horizontal;
};

// The directions drawn for a request, in the order they are drawn.
std::span<const RunDirection> DirectionsOf(RequestedRuns runs);

// "V" or "v": the host's argument that asks for a vertical run.
bool IsVerticalArgument(std::string_view argument);

// "HV" or "hv": the host's argument that asks for both runs.
bool IsBothDirectionsArgument(std::string_view argument);

// The first argument alone decides the source (only exactly "1" selects the indicated points);
// a "V" or "v" as the first or the second argument asks for a vertical run, an "HV" or "hv"
// there for both runs. Further arguments mean nothing.
HostRequest ReadHostArguments(const std::vector<std::string>& arguments);

}  // namespace Dimension
