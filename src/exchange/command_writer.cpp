#include "exchange/command_writer.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <system_error>

#include "common/geometry.hpp"
#include "common/number_text.hpp"
#include "common/text.hpp"

namespace RidEdaza {
namespace {

// Lengths and direction components at or below this are degenerate for the host.
constexpr long double kDegenerate = 1e-8L;

std::string IntText(std::int32_t n)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

// Upper-case hex of the 32-bit pattern, no leading zeros ("A" for 10, "0" for 0).
std::string HexText(std::int32_t n)
{
    char buffer[16];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(n), 16);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string RealText(double value) { return MyFunc::GeneralNumberText(value); }

// A broken number must never reach the host: the call appends nothing and the writer remembers
// it, so that the dimensioning command can throw the whole run away.
bool AllFinite(CommandWriter& writer, std::initializer_list<double> values)
{
    for (double v : values) {
        if (!std::isfinite(v)) {
            writer.nonFiniteSeen = true;
            return false;
        }
    }
    return true;
}

// n + offset, held at the int32 limit instead of overflowing (only a damaged settings file can
// bring such an index).
std::int32_t AddSaturated(std::int32_t n, std::int32_t offset)
{
    const std::int64_t sum = static_cast<std::int64_t>(n) + offset;
    if (sum > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(sum);
}

// Appends the line when the force flag is set or the value changed, and caches the value.
template <typename T>
bool WriteIfChanged(CommandWriter& writer, CachedValue<T>& cached, const T& value,
                    std::string_view key, const std::string& valueText)
{
    if (!cached.force && cached.value == value) return false;
    std::string line(key);
    line += valueText;
    AppendCommand(writer.buffer, line);
    cached.value = value;
    cached.force = false;
    return true;
}

bool HasNothingVisible(std::string_view text) { return MyFunc::RemoveBlanks(text).empty(); }

std::string_view TextKeyWord(std::int32_t key)
{
    switch (key) {
    case 1: return "cv";
    case 2: return "cs";
    case 3: return "cr";
    case 4: return "co";
    case 5: return "cp";
    case 6: return "ct";
    case 7: return "ck";
    case 8: return "cz";
    case 9: return "c2";
    default: return "ch";
    }
}

// An entity's command line, built on the stack: a run writes millions of them. The longest is a
// key word, a few integers and four numbers with their blanks, well within the room.
struct NumbersLine {
    char bytes[160];
    std::size_t size = 0;
};

void Append(NumbersLine& line, std::string_view text)
{
    const std::size_t room = sizeof line.bytes - line.size;
    const std::size_t count = std::min(room, text.size());
    std::copy_n(text.data(), count, line.bytes + line.size);
    line.size += count;
}

// The numbers in the host's form, one blank between each two.
void AppendReals(NumbersLine& line, std::initializer_list<double> values)
{
    bool first = true;
    for (const double value : values) {
        if (!first) Append(line, " ");
        char text[MyFunc::kGeneralNumberMaxChars];
        Append(line, std::string_view(text, MyFunc::WriteGeneralNumber(text, value)));
        first = false;
    }
}

std::string_view TextOf(const NumbersLine& line) { return std::string_view(line.bytes, line.size); }

// The text line of a text or a dimension figure: it ends in a double quote, so the file writer
// puts the text itself (the next buffer line) behind it on the same file line.
NumbersLine TextPlacementLine(std::string_view keyWord, double x, double y, double dx, double dy)
{
    NumbersLine line;
    Append(line, keyWord);
    Append(line, " ");
    AppendReals(line, {x, y, dx, dy});
    Append(line, " \"");
    return line;
}

bool DirectionIsDegenerate(double dx, double dy)
{
    return std::fabs(static_cast<long double>(dx)) <= kDegenerate &&
           std::fabs(static_cast<long double>(dy)) <= kDegenerate;
}

bool SegmentIsDegenerate(double x1, double y1, double x2, double y2)
{
    const long double dx = static_cast<long double>(x2) - static_cast<long double>(x1);
    const long double dy = static_cast<long double>(y2) - static_cast<long double>(y1);
    return std::fabs(dx) < kDegenerate && std::fabs(dy) < kDegenerate;
}

// The file is written in pieces of about this size: few large writes, and no second copy of a
// large run in memory.
constexpr std::size_t kWritePiece = std::size_t{1} << 20;

// What the host finds when nothing was drawn.
constexpr std::string_view kNothingDrawn = "hq\r\n";

// Appends the file line that starts at buffer line i, as the host reads it (a line ending in '"'
// joined with the next; CR LF after each, but a last joined line ends the file as it is) and
// moves i past it.
void AppendFileLine(const CommandBuffer& buffer, std::size_t& i, std::string& bytes)
{
    const std::string_view line = LineAt(buffer, i);
    bytes += line;
    if (!line.empty() && line.back() == '"') {
        if (i + 1 == LineCount(buffer)) {
            i += 1;
            return;
        }
        bytes += LineAt(buffer, i + 1);
        i += 1;
    }
    bytes += "\r\n";
    i += 1;
}

// The blocks of the buffer grow from this size to the largest, doubling.
constexpr std::size_t kFirstBlock = std::size_t{1} << 12;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

// Writes the buffer as the host reads it: CR LF line ends, a line ending in '"' joined with the
// next. `piece` has room for a piece and a joined pair of command lines after it, so that
// nothing needs to be allocated once the file is open. False when a write fails.
bool WriteCommandBytes(const CommandBuffer& buffer, std::string& piece, std::ofstream& out)
{
    if (LineCount(buffer) == 0) {
        return static_cast<bool>(out.write(kNothingDrawn.data(), kNothingDrawn.size()));
    }
    std::size_t i = 0;
    while (i < LineCount(buffer)) {
        AppendFileLine(buffer, i, piece);
        if (piece.size() >= kWritePiece) {
            if (!out.write(piece.data(), static_cast<std::streamsize>(piece.size()))) return false;
            piece.clear();
        }
    }
    return static_cast<bool>(out.write(piece.data(), static_cast<std::streamsize>(piece.size())));
}

}  // namespace

std::string CommandFileBytes(const CommandBuffer& buffer)
{
    if (LineCount(buffer) == 0) return std::string(kNothingDrawn);
    std::string bytes;
    for (std::size_t i = 0; i < LineCount(buffer);) AppendFileLine(buffer, i, bytes);
    return bytes;
}

void AppendCommand(CommandBuffer& buffer, std::string_view line)
{
    const std::string_view cut = MyFunc::CutToWholeChars(line, MyFunc::kMaxLineBytes);
    // A line never crosses a block: a new one starts where the last one has no room for it.
    const bool full = buffer.blocks.empty() ||
                      buffer.blocks.back().size() + cut.size() > buffer.blocks.back().capacity();
    if (full) {
        const std::size_t last = buffer.blocks.empty() ? 0 : buffer.blocks.back().capacity();
        buffer.blocks.emplace_back();
        buffer.blocks.back().reserve(std::min(kLargestBlock, std::max(kFirstBlock, 2 * last)));
    }
    std::string& block = buffer.blocks.back();
    const std::size_t start = block.size();
    block += cut;
    // A line end inside a line would hand the rest of it to the host as a command line of its
    // own (a CR can come in through a value-text prefix); it becomes a blank instead.
    for (std::size_t i = start; i < block.size(); ++i) {
        if (block[i] == '\r' || block[i] == '\n') block[i] = ' ';
    }
    buffer.spans.push_back(static_cast<std::uint64_t>(buffer.blocks.size() - 1) << 32 |
                           static_cast<std::uint64_t>(start) << 8 | cut.size());
}

std::string_view LineAt(const CommandBuffer& buffer, std::size_t i)
{
    const std::uint64_t span = buffer.spans[i];
    const std::string& block = buffer.blocks[static_cast<std::size_t>(span >> 32)];
    return std::string_view(block).substr(static_cast<std::size_t>((span >> 8) & 0xFFFFFF),
                                          static_cast<std::size_t>(span & 0xFF));
}

std::vector<std::string> LinesOf(const CommandBuffer& buffer)
{
    std::vector<std::string> lines;
    lines.reserve(LineCount(buffer));
    for (std::size_t i = 0; i < LineCount(buffer); ++i) lines.emplace_back(LineAt(buffer, i));
    return lines;
}

CommandBuffer BufferOf(const std::vector<std::string>& lines)
{
    CommandBuffer buffer;
    for (const std::string& line : lines) AppendCommand(buffer, line);
    return buffer;
}

void ResetOutputState(CommandWriter& writer, const DrawingState& state)
{
    writer.cache = OutputAttributeState{};
    writer.host.colour = state.initialColour;
    writer.host.lineType = state.initialLineType;
    writer.host.lineWidth = state.initialLineWidth;
    writer.host.textKind = state.initialTextKind;
    writer.host.freeText = state.initialFreeText;
    writer.host.fontName = state.initialFontName;
    writer.nonFiniteSeen = false;
}

std::int32_t MapColorNumber(const CommandWriter& writer, std::int32_t n)
{
    if (n <= 0) return writer.host.colour;
    if (n <= 9) return n;
    return AddSaturated(n, 91);
}

std::int32_t MapLineTypeNumber(const CommandWriter& writer, std::int32_t n)
{
    if (n <= 0) return writer.host.lineType;
    if (n <= 9) return n;
    if (n <= 18) return n + 1;
    return AddSaturated(n, 12);
}

void OutLayerGroup(CommandWriter& writer, std::int32_t n)
{
    // The host's layer numbers are per group: after a group change the layer must be stated
    // again even when its number stays the same.
    if (WriteIfChanged(writer, writer.cache.layerGroup, n, "lg", HexText(n))) {
        writer.cache.layer.force = true;
    }
}

void OutLayer(CommandWriter& writer, std::int32_t n)
{
    WriteIfChanged(writer, writer.cache.layer, n, "ly", HexText(n));
}

void OutLineColor(CommandWriter& writer, std::int32_t n, NumberMapping mapping)
{
    if (mapping == NumberMapping::Mapped) n = MapColorNumber(writer, n);
    WriteIfChanged(writer, writer.cache.lineColour, n, "lc", IntText(n));
}

void OutLineType(CommandWriter& writer, std::int32_t n, NumberMapping mapping)
{
    if (mapping == NumberMapping::Mapped) n = MapLineTypeNumber(writer, n);
    WriteIfChanged(writer, writer.cache.lineType, n, "lt", IntText(n));
}

void OutLineWidth(CommandWriter& writer, std::int32_t n)
{
    if (n == -1) n = writer.host.lineWidth;
    if (n < 0 || n > 30000) n = 0;
    WriteIfChanged(writer, writer.cache.lineWidth, n, "lw", IntText(n));
}

void OutTextKind(CommandWriter& writer, std::int32_t kind, std::int32_t colour,
                 NumberMapping mapping, double width, double height, double spacing)
{
    if (mapping == NumberMapping::Mapped) colour = MapColorNumber(writer, colour);
    if (kind < 0 || kind > 10) {
        kind = writer.host.textKind;
        if (kind == 0) {
            width = writer.host.freeText.width;
            height = writer.host.freeText.height;
            spacing = writer.host.freeText.spacing;
            colour = writer.host.freeText.colour;
        }
    }
    // The free size is written only for kind 0; for the other kinds it is not used at all.
    if (kind == 0 && !AllFinite(writer, {width, height, spacing})) return;

    OutputAttributeState& cache = writer.cache;
    const TextKind& cached = cache.freeText;
    const bool differs =
        kind != cache.textKind.value ||
        (kind == 0 && (width != cached.width || height != cached.height ||
                       spacing != cached.spacing || colour != cached.colour));
    if (!cache.textKind.force && !differs) return;

    NumbersLine line;
    Append(line, "cn");
    Append(line, IntText(kind));
    if (kind == 0) {
        Append(line, " ");
        AppendReals(line, {width, height, spacing});
        Append(line, " ");
        Append(line, IntText(colour));
        cache.freeText = TextKind{width, height, spacing, colour};
    }
    AppendCommand(writer.buffer, TextOf(line));
    cache.textKind.value = kind;
    cache.textKind.force = false;
}

void OutCcValue(CommandWriter& writer, std::int32_t n)
{
    if (n < 0 || n > 8) n = 0;
    WriteIfChanged(writer, writer.cache.ccValue, n, "cc", IntText(n));
}

void OutFontName(CommandWriter& writer, std::string_view name)
{
    const std::string value(name.empty() || name == "<>" ? std::string_view(writer.host.fontName)
                                                          : name);
    WriteIfChanged(writer, writer.cache.fontName, value, "cn\"$", value);
}

void OutPnValue(CommandWriter& writer, std::int32_t n, NumberMapping mapping)
{
    if (mapping == NumberMapping::Mapped) n = MapColorNumber(writer, n);
    WriteIfChanged(writer, writer.cache.pointPen, n, "pn", IntText(n));
}

void OutZFlags(CommandWriter& writer, std::int32_t bits)
{
    if (bits & 1) AppendCommand(writer.buffer, "z1");
    if (bits & 2) AppendCommand(writer.buffer, "z2");
    if (bits & 4) AppendCommand(writer.buffer, "z3");
    // z5 supersedes z4 for the host: never state both.
    if ((bits & 8) && !(bits & 16)) AppendCommand(writer.buffer, "z4");
    if (bits & 16) AppendCommand(writer.buffer, "z5");
}

void OutLine(CommandWriter& writer, double x1, double y1, double x2, double y2)
{
    if (!AllFinite(writer, {x1, y1, x2, y2})) return;
    if (SegmentIsDegenerate(x1, y1, x2, y2)) return;
    NumbersLine line;
    AppendReals(line, {x1, y1, x2, y2});
    AppendCommand(writer.buffer, TextOf(line));
}

void OutPoint(CommandWriter& writer, double x, double y)
{
    if (!AllFinite(writer, {x, y})) return;
    NumbersLine line;
    Append(line, "pt ");
    AppendReals(line, {x, y});
    AppendCommand(writer.buffer, TextOf(line));
}

void OutMarkerPoint(CommandWriter& writer, std::int32_t code, double x, double y, double scale,
                    double angle)
{
    if (!AllFinite(writer, {x, y, scale, angle})) return;
    if (code < -7 || code > 11) code = -3;
    if (std::fabs(static_cast<long double>(scale)) <= kDegenerate) scale = 1.0;
    NumbersLine line;
    Append(line, "pt ");
    AppendReals(line, {x, y, scale, angle});
    Append(line, " ");
    Append(line, IntText(code));
    AppendCommand(writer.buffer, TextOf(line));
}

void OutText(CommandWriter& writer, std::int32_t key, std::string_view text, double x, double y,
             double dx, double dy)
{
    if (!AllFinite(writer, {x, y, dx, dy})) return;
    if (DirectionIsDegenerate(dx, dy)) return;
    if (HasNothingVisible(text)) return;
    AppendCommand(writer.buffer, TextOf(TextPlacementLine(TextKeyWord(key), x, y, dx, dy)));
    AppendCommand(writer.buffer, text);
}

void OutDimensionFigure(CommandWriter& writer, std::string_view text, double x1, double y1,
                        double x2, double y2, double tx, double ty, double dx, double dy)
{
    if (!AllFinite(writer, {x1, y1, x2, y2, tx, ty, dx, dy})) return;
    if (SegmentIsDegenerate(x1, y1, x2, y2)) return;
    if (DirectionIsDegenerate(dx, dy)) return;

    std::string measured;
    if (HasNothingVisible(text)) {
        // The measured length, rounded half up to a multiple of 1e-8.
        const long double length = MyFunc::PointDistance(x1, y1, x2, y2);
        const long double steps = std::floor(length / kDegenerate + 0.5L);
        const double rounded = static_cast<double>(steps * kDegenerate);
        // Far apart finite points can still be too far apart for a double length.
        if (!AllFinite(writer, {rounded})) return;
        measured = RealText(rounded);
        text = measured;
    }
    AppendCommand(writer.buffer, "msg");
    NumbersLine line;
    AppendReals(line, {x1, y1, x2, y2});
    AppendCommand(writer.buffer, TextOf(line));
    AppendCommand(writer.buffer, TextOf(TextPlacementLine("cs", tx, ty, dx, dy)));
    AppendCommand(writer.buffer, text);
}

bool WriteCommandFile(const CommandBuffer& buffer, const std::filesystem::path& path)
{
    std::string piece;
    piece.reserve(kWritePiece + 2 * (MyFunc::kMaxLineBytes + 2));
    bool written = false;
    {
        // In place: a temporary file and a rename could fail half-way and leave the host's own
        // input behind, which the host would then execute as commands.
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out.is_open()) {
            written = WriteCommandBytes(buffer, piece, out);
            out.close();  // flushes; a failed flush or close sets failbit
            written = written && !out.fail();
        }
    }
    if (!written) {
        // No partly written (or stale) command file may be left for the host. A folder of that
        // name is not ours to remove.
        std::error_code ignored;
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored))) {
            std::filesystem::remove(path, ignored);
        }
    }
    return written;
}

}  // namespace RidEdaza
