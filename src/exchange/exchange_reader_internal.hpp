// The exchange reader's line level, shared by the reader's own sources (exchange_reader.cpp
// splits the lines and takes plain segment lines by a shortcut, exchange_line_forms.cpp applies
// every line form) and open to tests, fuzzers and benchmarks. Every other module reads whole
// files through exchange_reader.hpp, which does not include this header.
//
// A line is split into LineFields and applied against a ReaderState, the running state that
// ReadExchangeFile keeps from the first line of a file to its last. Applying lines one by one
// from a fresh ReaderState gives the same model as reading a file of those lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"

namespace RidEdaza {

inline constexpr std::int32_t kMaxLineFields = 32;

// The fields of one line. Reused from line to line so that reading allocates nothing per line.
struct LineFields {
    std::array<std::string, kMaxLineFields> text;
    std::int32_t count = 0;  // index of the last field in use + 1

    // Field i, or an empty text beyond the count.
    std::string_view operator[](std::int32_t i) const
    {
        return i >= 0 && i < count ? std::string_view(text[static_cast<std::size_t>(i)])
                                   : std::string_view();
    }
};

void SplitExchangeLine(std::string_view line, LineFields& fields);

// Which attribute kinds have had their first line: that line states the host's current setting.
struct FirstLinesSeen {
    bool layerGroup = false;
    bool layer = false;
    bool colour = false;
    bool lineType = false;
    bool lineWidth = false;
    bool textKind = false;
};

// The running state while one file is read; it dies with the read.
struct ReaderState {
    std::int32_t layerGroup = 0;  // 0..15
    std::int32_t layer = 0;       // 0..15
    std::int32_t colour = 1;
    std::int32_t lineType = 1;
    std::int32_t lineWidth = 0;
    std::int32_t textKind = 1;
    TextKind freeText = kDefaultFreeText;
    std::int32_t ccValue = 0;  // 0..8
    std::string fontName{kDefaultFontName};
    std::int32_t pointPen = 1;
    std::int32_t sColour = 0;
    std::int32_t hhpNumber = 0;
    std::int32_t zFlags = 0;  // pending for the next entity
    std::int32_t polylineCounter = 0;
    bool inPolyline = false;
    bool dimensionFigureMode = false;
    // The line of the next dimension figure: the latest four-number line read in that mode.
    TJwwEntLine pendingDimensionLine{{0, 0, 0, 1, 1, 0, 0}, 0, 0.0, 0.0, 1.0, 0.0};
    FirstLinesSeen seen;

    LineFields fields;  // scratch for the line being applied
};

// Splits one line (without its line end) and applies it to the model and the running state.
void ParseExchangeLine(DrawingModel& model, ReaderState& state, std::string_view line);

// The attributes a record takes from the running state.
inline EntityAttributes RunningAttributes(const ReaderState& s)
{
    return {s.hhpNumber, s.layerGroup, s.layer, s.colour, s.lineType, s.lineWidth, s.zFlags};
}

// Adds the order pair first, then the record with the running attributes, so that the pair
// names the record's position. Inline, so that a segment line's record is added in place.
template <typename Record>
inline Record& AppendEntity(DrawingModel& model, std::vector<Record>& table, EntityKind kind,
                            const ReaderState& s)
{
    model.order.push_back({kind, static_cast<std::int32_t>(table.size())});
    Record& record = table.emplace_back();
    record.attributes = RunningAttributes(s);
    return record;
}

// The line form of four numbers: a segment from (x1, y1) to (x2, y2), or in dimension-figure
// mode the line of the next dimension figure. A segment keeps a polyline going and does not end
// a dimension figure. Both ParseExchangeLine and ApplyPlainSegmentLine end here; inline, as
// most lines of a file are segments.
inline void ApplySegmentLine(DrawingModel& model, ReaderState& state, double x1, double y1,
                             double x2, double y2)
{
    TJwwEntLine line;
    line.attributes = RunningAttributes(state);
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    if (state.dimensionFigureMode) {
        line.polylineNumber = 0;
        state.pendingDimensionLine = line;
    } else {
        line.polylineNumber = state.inPolyline ? state.polylineCounter : 0;
        AppendEntity(model, model.lines, EntityKind::Line, state) = line;
    }
    state.zFlags = 0;
}

// The reader's shortcut for the lines most files are made of: a line of digits, signs, points,
// blanks and tabs that splits into exactly four fields is applied as ParseExchangeLine applies
// it, a segment, without splitting it into field texts. False, with nothing applied, for any
// other line (also one ending in a blank), which ParseExchangeLine then takes. At least
// MyFunc::kDecimalSlack bytes after the line must be readable: its numbers are read eight bytes
// at a time.
bool ApplyPlainSegmentLine(DrawingModel& model, ReaderState& state, std::string_view line);

}  // namespace RidEdaza
