#include "dimension/host_request.hpp"

#include <array>

namespace Dimension {

std::span<const RunDirection> DirectionsOf(RequestedRuns runs)
{
    static constexpr std::array<RunDirection, 2> kBoth = {RunDirection::Horizontal,
                                                          RunDirection::Vertical};
    switch (runs) {
    case RequestedRuns::Horizontal:
        return std::span(kBoth).first(1);
    case RequestedRuns::Vertical:
        return std::span(kBoth).last(1);
    case RequestedRuns::Both:
        return kBoth;
    }
    return std::span(kBoth).first(1);
}

bool IsVerticalArgument(std::string_view argument) { return argument == "V" || argument == "v"; }

bool IsBothDirectionsArgument(std::string_view argument)
{
    return argument == "HV" || argument == "hv";
}

HostRequest ReadHostArguments(const std::vector<std::string>& arguments)
{
    HostRequest request;
    if (!arguments.empty() && arguments[0] == "1") request.source = PointSource::IndicatedPoints;
    for (std::size_t i = 0; i < arguments.size() && i < 2; ++i) {
        if (IsVerticalArgument(arguments[i])) request.runs = RequestedRuns::Vertical;
        if (IsBothDirectionsArgument(arguments[i])) request.runs = RequestedRuns::Both;
    }
    return request;
}

}  // namespace Dimension
