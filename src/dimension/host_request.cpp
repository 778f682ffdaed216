#include "dimension/host_request.hpp"

namespace Dimension {

bool IsVerticalArgument(std::string_view argument) { return argument == "V" || argument == "v"; }

HostRequest ReadHostArguments(const std::vector<std::string>& arguments)
{
    HostRequest request;
    if (!arguments.empty() && arguments[0] == "1") request.source = PointSource::IndicatedPoints;
    for (std::size_t i = 0; i < arguments.size() && i < 2; ++i) {
        if (IsVerticalArgument(arguments[i])) request.direction = RunDirection::Vertical;
    }
    return request;
}

}  // namespace Dimension
