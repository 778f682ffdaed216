#include "exchange/exchange_reader.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/text.hpp"
#include "exchange/exchange_reader_internal.hpp"

namespace RidEdaza {
namespace {

using MyFunc::IsLeadByte;

// Bytes that go into the current field as they are, in runs: everything that is neither a lead
// byte, nor a control byte or 0xFE/0xFF, nor (while splitting) a separator, quote or equals sign.
bool IsPlainByte(unsigned char b, bool splitting)
{
    if (b < 0x20 || b > 0xFD || IsLeadByte(b)) return false;
    return !splitting || (b != ' ' && b != '"' && b != '=');
}

// The bytes of a plain segment line: separators, and the bytes of its numbers. Neither a key of
// the table of line forms (exchange_line_forms.cpp) nor the "file=" of a drawing's name can be
// made of number bytes alone, so such a line of four fields is a segment.
enum ByteClass : std::uint8_t { kOtherByte, kSeparator, kNumberByte };

constexpr std::array<ByteClass, 256> kByteClasses = [] {
    std::array<ByteClass, 256> classes{};
    classes[' '] = kSeparator;
    classes['\t'] = kSeparator;
    for (const char c : std::string_view("0123456789.+-")) {
        classes[static_cast<unsigned char>(c)] = kNumberByte;
    }
    return classes;
}();

ByteClass ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

// Applies one raw line of the file. False when it starts with Ctrl-Z, which ends the file.
// The bytes are ours, and so are MyFunc::kDecimalSlack more after them, which the numbers of a
// segment line may read: CR bytes are squeezed out in place. The CR of a CR LF line end goes
// first, so that a plain segment line takes the shortcut; any other CR keeps it off the shortcut.
bool ApplyRawLine(DrawingModel& model, ReaderState& state, char* data, std::size_t size)
{
    if (size > 0 && data[size - 1] == '\r') --size;
    if (ApplyPlainSegmentLine(model, state, std::string_view(data, size))) return true;
    char* end = data + size;
    if (size > 0 && std::memchr(data, '\r', size) != nullptr) end = std::remove(data, end, '\r');
    const std::string_view line(data, static_cast<std::size_t>(end - data));
    if (!line.empty() && line.front() == '\x1a') return false;
    ParseExchangeLine(model, state, line);
    return true;
}

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// A picture's read-back of a large command file can be given up within a few milliseconds.
constexpr std::size_t kLinesBetweenStops = 8192;
constexpr std::size_t kSlack = MyFunc::kDecimalSlack;

// Applies the line held by `line` followed by the room ApplyRawLine may read.
bool ApplyHeldLine(DrawingModel& model, ReaderState& state, std::string& line)
{
    const std::size_t size = line.size();
    line.append(kSlack, '\0');
    return ApplyRawLine(model, state, line.data(), size);
}

// Once the first block is read, the segment table and the file order are given room for as
// many more entries as the rest of the file would hold at the same density, and a sixteenth
// more: a large file then fills them without copying them over and over as they grow. Room that
// a file does not use is never touched; a file that needs more grows as before.
void ReserveForTheRest(DrawingModel& model, std::uintmax_t fileBytes)
{
    if (fileBytes <= kBlockBytes) return;
    const std::uintmax_t blocks = fileBytes / kBlockBytes + 1;
    const auto room = [blocks](std::size_t entries) {
        const std::uintmax_t wanted = entries * blocks + entries * blocks / 16;
        return static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, SIZE_MAX / 128));
    };
    model.lines.reserve(room(model.lines.size()));
    model.order.reserve(room(model.order.size()));
}

}  // namespace

bool ApplyPlainSegmentLine(DrawingModel& model, ReaderState& state, std::string_view line)
{
    // A line ending in a blank has an empty last field, which the full splitting gives it.
    if (line.empty() || ClassOf(line.back()) != kNumberByte) return false;
    double values[4];
    std::size_t count = 0;
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end) {
        const ByteClass first = ClassOf(*p);
        if (first == kSeparator) {
            ++p;
            continue;
        }
        if (first != kNumberByte || count == 4) return false;
        const char* const start = p;
        double value = 0.0;
        p += MyFunc::PaddedPlainDecimalLength(
            std::string_view(p, static_cast<std::size_t>(end - p)), value);
        if (p == start || (p != end && ClassOf(*p) == kNumberByte)) {
            // Not a plain decimal ("-", "1-2", "1.2.3", too many digits): read in full.
            while (p != end && ClassOf(*p) == kNumberByte) ++p;
            value = MyFunc::TextToRealOrZero(
                std::string_view(start, static_cast<std::size_t>(p - start)));
        }
        if (p != end && ClassOf(*p) != kSeparator) return false;
        values[count++] = value;
    }
    if (count != 4) return false;
    ApplySegmentLine(model, state, values[0], values[1], values[2], values[3]);
    return true;
}

void SplitExchangeLine(std::string_view line, LineFields& fields)
{
    for (std::int32_t i = 0; i < fields.count; ++i) {
        fields.text[static_cast<std::size_t>(i)].clear();
    }
    std::int32_t current = 0;
    bool splitting = true;
    const char* const p = line.data();
    const std::size_t size = line.size();
    std::size_t i = 0;
    while (i < size) {
        std::string& field = fields.text[static_cast<std::size_t>(current)];
        const auto b = static_cast<unsigned char>(p[i]);
        if (IsLeadByte(b)) {
            if (i + 1 == size) break;  // half a character at the end of the line
            field.append(p + i, 2);
            i += 2;
        } else if (splitting && b == '"') {
            splitting = false;
            ++i;
        } else if (splitting && b == '=') {
            field.push_back('=');
            splitting = false;
            ++i;
        } else if (splitting && (b == ' ' || b == '\t')) {
            if (!field.empty() && ++current == kMaxLineFields) break;  // further fields dropped
            ++i;
        } else if (IsPlainByte(b, splitting)) {
            std::size_t end = i + 1;
            while (end < size && IsPlainByte(static_cast<unsigned char>(p[end]), splitting)) ++end;
            field.append(p + i, end - i);
            i = end;
        } else {
            ++i;  // control bytes, 0xFE, 0xFF
        }
    }
    fields.count = std::min(current + 1, kMaxLineFields);
}

bool ReadExchangeFile(DrawingModel& model, const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return false;

    std::error_code sizeError;
    const std::uintmax_t fileBytes = std::filesystem::file_size(path, sizeError);
    bool reserved = sizeError.value() != 0;  // without a size, the tables grow as they must

    ReaderState state;
    // The room after the block's bytes: a line that ends at the block's end has it too.
    std::vector<char> block(kBlockBytes + kSlack);
    std::string carried;  // the start of a line that the block boundary cut
    for (;;) {
        file.read(block.data(), static_cast<std::streamsize>(kBlockBytes));
        const auto got = static_cast<std::size_t>(file.gcount());
        char* start = block.data();
        char* const blockEnd = block.data() + got;
        while (start < blockEnd) {
            char* const lf = static_cast<char*>(
                std::memchr(start, '\n', static_cast<std::size_t>(blockEnd - start)));
            if (lf == nullptr) break;
            bool more = true;
            if (carried.empty()) {
                more = ApplyRawLine(model, state, start, static_cast<std::size_t>(lf - start));
            } else {
                carried.append(start, lf);
                more = ApplyHeldLine(model, state, carried);
                carried.clear();
            }
            if (!more) return true;
            start = lf + 1;
        }
        carried.append(start, blockEnd);
        if (!reserved) {
            ReserveForTheRest(model, fileBytes);
            reserved = true;
        }
        if (file.bad()) return false;
        if (got < kBlockBytes) {
            if (!file.eof()) return false;
            break;
        }
    }
    if (!carried.empty()) ApplyHeldLine(model, state, carried);
    return true;
}

void ReadExchangeText(DrawingModel& model, std::string_view bytes,
                      const std::function<bool()>& stop)
{
    ReaderState state;
    std::string line;  // a copy, as ApplyRawLine squeezes the CR bytes out in place
    std::size_t start = 0;
    std::size_t lines = 0;
    while (start < bytes.size()) {
        if (stop && (++lines % kLinesBetweenStops) == 0 && stop()) return;
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        line.assign(bytes.data() + start, end - start);
        if (!ApplyHeldLine(model, state, line)) return;
        start = end + 1;
    }
}

}  // namespace RidEdaza
