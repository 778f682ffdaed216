#include "dimension/arrangements.hpp"

namespace Dimension {

bool Reads(const ArrangementRow& row, std::int32_t DimensionSettings::*setting)
{
    if (setting == &DimensionSettings::StartMarker) return row.reads.startMarker;
    if (setting == &DimensionSettings::NarrowMarker) return row.reads.narrowMarker;
    return true;
}

bool Reads(const ArrangementRow& row, bool DimensionSettings::*setting)
{
    if (setting == &DimensionSettings::DimensionFigure) return row.reads.dimensionFigure;
    return true;
}

DimensionArrangement ArrangementOf(const DimensionSettings& settings)
{
    return ArrangementRowOf(settings.Arrangement)
               ? static_cast<DimensionArrangement>(settings.Arrangement)
               : DimensionArrangement::Chain;
}

}  // namespace Dimension
