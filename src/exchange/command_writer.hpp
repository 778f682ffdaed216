// The command writer: lines of the host's command language, collected in the CommandBuffer and
// written back to JWC_TEMP.TXT when the tool closes.
//
// Attribute commands go through a cache (OutputAttributeState): a line is appended only when the
// value differs from the last one written or the attribute's force flag is set. Entity commands
// are appended every time unless their geometry is degenerate. Reals are written with
// GeneralNumberText, integers in decimal, layer group and layer in upper-case hex.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/drawing_model.hpp"

namespace RidEdaza {

// The ordered output lines, at most 255 bytes each, without line ends. A line whose last byte is
// a double quote is joined with the next line in the file.
//
// A large run appends millions of short lines: they lie one after another in blocks (from 4 KiB,
// doubling up to 1 MiB; a line never crosses a block), so that the buffer costs its bytes and
// eight more a line, and nothing already stored is copied as it grows.
struct CommandBuffer {
    std::vector<std::string> blocks;
    std::vector<std::uint64_t> spans;  // per line: block << 32 | start << 8 | length
};

// Appends the line, cut to 255 bytes on a character boundary. A CR or LF byte inside it becomes
// a blank: the host would take what follows it for a command line of its own.
void AppendCommand(CommandBuffer& buffer, std::string_view line);

inline std::size_t LineCount(const CommandBuffer& buffer) { return buffer.spans.size(); }

// Line i (0-based, below LineCount).
std::string_view LineAt(const CommandBuffer& buffer, std::size_t i);

// Every line, as strings: for checks that compare buffers. Building a buffer from lines goes
// through AppendCommand.
std::vector<std::string> LinesOf(const CommandBuffer& buffer);
CommandBuffer BufferOf(const std::vector<std::string>& lines);

// The host's current settings the writers fall back to (taken from the DrawingState at reset).
struct HostDefaults {
    std::int32_t colour = 1;
    std::int32_t lineType = 1;
    std::int32_t lineWidth = 0;
    std::int32_t textKind = 1;
    TextKind freeText = kDefaultFreeText;
    std::string fontName;
};

template <typename T>
struct CachedValue {
    T value{};
    bool force = true;
};

// The writer's cache of the last written attributes, each with a force flag.
struct OutputAttributeState {
    CachedValue<std::int32_t> layerGroup{0, true};
    CachedValue<std::int32_t> layer{0, true};
    CachedValue<std::int32_t> lineColour{1, true};
    CachedValue<std::int32_t> lineType{1, true};
    CachedValue<std::int32_t> lineWidth{0, true};
    CachedValue<std::int32_t> textKind{1, true};
    TextKind freeText = kDefaultFreeText;  // cached free size, meaningful for text kind 0
    CachedValue<std::int32_t> ccValue{0, true};
    CachedValue<std::string> fontName{std::string(kDefaultFontName), true};
    CachedValue<std::int32_t> pointPen{1, true};
};

// Everything the writers touch: the buffer, the cache and the host's defaults. A plain value:
// copying it is a snapshot that can be restored.
struct CommandWriter {
    CommandBuffer buffer;
    OutputAttributeState cache;
    HostDefaults host;
    // Set when a writer was handed a real that is not finite and would have written it (every
    // coordinate, a marker's scale and angle, the free size of text kind 0, a dimension figure's
    // measured length); that call appends nothing. The dimensioning command checks it and throws
    // the whole run away: the host must never get a command line with a broken number.
    // ResetOutputState clears it.
    bool nonFiniteSeen = false;
};

// Resets the cache (every force flag set) and takes the host's defaults from the state.
void ResetOutputState(CommandWriter& writer, const DrawingState& state);

std::int32_t MapColorNumber(const CommandWriter& writer, std::int32_t n);
std::int32_t MapLineTypeNumber(const CommandWriter& writer, std::int32_t n);

// How a colour, line type or point pen number handed to a writer is written: AsGiven, already
// in the host's numbering; or Mapped through MapColorNumber / MapLineTypeNumber first.
enum class NumberMapping { AsGiven, Mapped };

void OutLayerGroup(CommandWriter& writer, std::int32_t n);
void OutLayer(CommandWriter& writer, std::int32_t n);
void OutLineColor(CommandWriter& writer, std::int32_t n, NumberMapping mapping);
void OutLineType(CommandWriter& writer, std::int32_t n, NumberMapping mapping);
void OutLineWidth(CommandWriter& writer, std::int32_t n);
void OutTextKind(CommandWriter& writer, std::int32_t kind, std::int32_t colour,
                 NumberMapping mapping, double width, double height, double spacing);
void OutCcValue(CommandWriter& writer, std::int32_t n);
void OutFontName(CommandWriter& writer, std::string_view name);
void OutPnValue(CommandWriter& writer, std::int32_t n, NumberMapping mapping);

void OutZFlags(CommandWriter& writer, std::int32_t bits);
void OutLine(CommandWriter& writer, double x1, double y1, double x2, double y2);
void OutPoint(CommandWriter& writer, double x, double y);
void OutMarkerPoint(CommandWriter& writer, std::int32_t code, double x, double y, double scale,
                    double angle);
void OutText(CommandWriter& writer, std::int32_t key, std::string_view text, double x, double y,
             double dx, double dy);
void OutDimensionFigure(CommandWriter& writer, std::string_view text, double x1, double y1,
                        double x2, double y2, double tx, double ty, double dx, double dy);

// The bytes WriteCommandFile writes for the buffer, held in memory: what the host would read.
std::string CommandFileBytes(const CommandBuffer& buffer);

// Writes the buffer to path (CR LF; joined lines; "hq" alone when the buffer is empty). On any
// failure the file is closed and deleted and the result is false: the host must never find a
// partly written command file.
bool WriteCommandFile(const CommandBuffer& buffer, const std::filesystem::path& path);

}  // namespace RidEdaza
