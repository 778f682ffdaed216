// The arrangements of a run's dimensions, one row each: the item the dialog's list 寸法の配置
// (ComboBox6) shows, the word korvane-cli uses for it, and the settings its run reads.
//
// A row's index is the list's item index, the value of the settings file's line 28 and the index
// of the arrangement's alternative in the layout record (layout.hpp, ArrangementLayout), which its
// own file in this folder lays out and draws (arrangement_*.cpp). The dialog's items, the count
// its check allows, korvane-cli's help and summary and the greying of the controls an arrangement
// does not read all come from this table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "dimension/settings.hpp"

namespace Dimension {

// Names for the rows, for the code and tests that mean one arrangement in particular.
enum class DimensionArrangement : std::int32_t {
    Chain = 0,            // 直列: one dimension per interval, in a row
    ChainAndOverall = 1,  // 直列＋全体: the chain, and the overall dimension one pitch further out
    Parallel = 2,         // 並列: every dimension from the first point, each on its own line
    Cumulative = 3,       // 累進: the distances from the first point, on one line
};

// The settings that not every arrangement reads. Every other setting every arrangement reads. A
// setting a run does not read is greyed out in the dialog, its check does not refuse OK, and its
// value is still saved and still accepted by --set.
struct SettingsRead {
    bool startMarker = true;      // StartMarker (ComboBox1)
    bool dimensionFigure = true;  // DimensionFigure (CheckBox4)
    bool narrowMarker = true;     // NarrowMarker (RadioGroup3)
};

struct ArrangementRow {
    std::string_view caption;  // the list's item, Shift-JIS
    std::string_view name;     // korvane-cli's help and summary
    SettingsRead reads;
};

inline constexpr std::array<ArrangementRow, 4> kArrangements = {{
    {"\x92\xBC\x97\xF1", "chain", {}},                                      // 直列
    {"\x92\xBC\x97\xF1\x81\x7B\x91\x53\x91\xCC", "chain with overall", {}},  // 直列＋全体
    {"\x95\xC0\x97\xF1", "parallel", {}},                                   // 並列
    // One line with one arrow at each further point: no start marker, no narrow markers, and
    // plain texts (a value along an extension line is no dimension figure of the host).
    {"\x97\xDD\x90\x69", "cumulative",  // 累進
     {.startMarker = false, .dimensionFigure = false, .narrowMarker = false}},
}};

inline constexpr std::int32_t kArrangementCount = static_cast<std::int32_t>(kArrangements.size());

// The row of a ComboBox6 index; nullptr for no selection (-1) or an index past the list.
constexpr const ArrangementRow* ArrangementRowOf(std::int32_t index)
{
    if (index < 0 || index >= kArrangementCount) return nullptr;
    return &kArrangements[static_cast<std::size_t>(index)];
}

// Whether a run of the row reads the setting, named by its DimensionSettings member.
bool Reads(const ArrangementRow& row, std::int32_t DimensionSettings::*setting);
bool Reads(const ArrangementRow& row, bool DimensionSettings::*setting);

// The arrangement of valid settings (a checked Arrangement index); the chain for any other.
DimensionArrangement ArrangementOf(const DimensionSettings& settings);

}  // namespace Dimension
