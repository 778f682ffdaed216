// The value text of an interval on arbitrary distances and options, and the command line that
// carries it.
//
// Input: the distance (8 raw bytes), precision and rounding (signed bytes, so values outside the
// dialog's range come too), a flag byte (trailing zeros, metres, commas, unit, full width), the
// prefix length, the prefix, and the rest as the suffix.
//
// What must always hold: prefix + number + unit + suffix, in that order; the number part, with
// full-width characters read back, is a plain decimal (grouped by three when commas are on,
// exactly the precision's decimals when zeros are kept, none trailing otherwise, never "-0");
// it reads back within half a unit of its last place of the rounded value, and the rounded value
// lies within one step of the distance; a distance that is not finite gives no number at all.
// The text command line that carries it is at most 255 bytes, cut only between characters.
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "common/number_text.hpp"
#include "common/text.hpp"
#include "common/value_format.hpp"
#include "dimension/value_text.hpp"
#include "exchange/command_writer.hpp"
#include "fuzz_support.hpp"

namespace {

// The full-width forms the value's number can take, and their half-width originals.
struct WidePair {
    std::string_view wide;
    char narrow;
};
constexpr WidePair kWideDigits[] = {
    {"\x82\x4f", '0'}, {"\x82\x50", '1'}, {"\x82\x51", '2'}, {"\x82\x52", '3'},
    {"\x82\x53", '4'}, {"\x82\x54", '5'}, {"\x82\x55", '6'}, {"\x82\x56", '7'},
    {"\x82\x57", '8'}, {"\x82\x58", '9'},
    {"\x81\x44", '.'},  // ．
    {"\x81\x43", ','},  // ，
    {"\x81\x7c", '-'},  // －
};

std::string NarrowNumber(std::string_view wide, const std::string& context)
{
    std::string narrow;
    for (std::size_t i = 0; i < wide.size(); i += 2) {
        const std::string_view pair = wide.substr(i, 2);
        bool found = false;
        for (const WidePair& p : kWideDigits) {
            if (p.wide == pair) {
                narrow.push_back(p.narrow);
                found = true;
                break;
            }
        }
        if (!found) Fuzz::Fail("full-width number holds an unexpected character", context);
    }
    return narrow;
}

bool AllDigits(std::string_view text)
{
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Digits grouped by three with commas: 1 to 3 digits, then ",ddd" groups.
bool GroupedDigits(std::string_view text)
{
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) return AllDigits(text) && text.size() <= 3;
    if (first == 0 || first > 3 || !AllDigits(text.substr(0, first))) return false;
    for (std::size_t i = first; i < text.size(); i += 4) {
        if (text[i] != ',' || i + 4 > text.size() || !AllDigits(text.substr(i + 1, 3))) {
            return false;
        }
    }
    return true;
}

void CheckNumber(const std::string& number, double distance, const Dimension::ValueOptions& o,
                 const std::string& context)
{
    const bool metres = o.unit != 0;
    const double value = metres ? distance / 1000.0 : distance;
    if (!std::isfinite(value)) {
        if (!number.empty()) Fuzz::Fail("a value that is not finite has a number", context);
        return;
    }
    if (number.empty()) Fuzz::Fail("a finite value has no number", context);

    std::string_view body = number;
    const bool negative = body.front() == '-';
    if (negative) body.remove_prefix(1);
    const std::size_t point = body.find('.');
    const std::string_view whole = body.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : body.substr(point + 1);
    if (!(o.thousandsCommas ? GroupedDigits(whole) : AllDigits(whole))) {
        Fuzz::Fail("malformed integer digits", context);
    }
    if (point != std::string_view::npos && !AllDigits(decimals)) {
        Fuzz::Fail("malformed decimals", context);
    }
    const std::int32_t places =
        o.precision < 0 ? 0 : (o.precision > MyFunc::kMaxFormatDecimals ? MyFunc::kMaxFormatDecimals
                                                                         : o.precision);
    if (o.showTrailingZeros != 0) {
        if (static_cast<std::int32_t>(decimals.size()) != places ||
            (places == 0) != (point == std::string_view::npos)) {
            Fuzz::Fail("kept zeros: not exactly the precision's decimals", context);
        }
    } else if (point != std::string_view::npos &&
               (decimals.empty() || decimals.back() == '0' ||
                static_cast<std::int32_t>(decimals.size()) > places)) {
        Fuzz::Fail("stripped zeros: a trailing zero or point is left", context);
    }

    std::string plain;
    for (char c : number) {
        if (c != ',') plain.push_back(c);
    }
    double back = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), back);
    if (end != plain.data() + plain.size() || (error != std::errc() &&
                                               error != std::errc::result_out_of_range)) {
        Fuzz::Fail("number does not read back", context);
    }
    if (negative && back == 0.0) Fuzz::Fail("a zero is written with a minus sign", context);

    // Half a unit of the last place written, plus the reading's own rounding.
    const double rounded = MyFunc::RoundToPrecision(o.precision, o.rounding, value);
    if (!std::isfinite(rounded)) Fuzz::Fail("rounding made a finite value infinite", context);
    // The C library's powl only sizes the tolerances: a unit in its last place is far inside the
    // slack, so no library update moves a verdict.
    const long double half = 0.5L * std::pow(10.0L, -static_cast<long double>(places));
    const long double slack = std::fabs(static_cast<long double>(rounded)) * 0x1p-52L;
    if (error == std::errc() &&
        std::fabs(static_cast<long double>(back) - rounded) > half + slack + 0x1p-1074L) {
        Fuzz::Fail("number is not the rounded value", context);
    }
    const long double step = o.precision >= 1 && o.precision <= 13
                                 ? std::pow(10.0L, -static_cast<long double>(o.precision))
                                 : 1.0L;
    const long double valueSlack = std::fabs(static_cast<long double>(value)) * 0x1p-52L;
    if (std::fabs(static_cast<long double>(rounded) - value) > step + valueSlack) {
        Fuzz::Fail("rounded value is more than one step from the distance", context);
    }
}

// A text command line carrying the value: at most 255 bytes, cut only between characters, and
// the longest such cut.
void CheckCommandLines(const std::string& text, const std::string& context)
{
    RidEdaza::CommandWriter writer;
    RidEdaza::OutText(writer, 2, text, 1.0, 2.0, 1.0, 0.0);
    const std::string lines[2] = {"cs 1 2 1 0 \"", text};
    const auto& stored = RidEdaza::LinesOf(writer.buffer);
    if (stored.empty()) {
        if (!MyFunc::RemoveBlanks(text).empty()) {
            Fuzz::Fail("a visible text was not written", context);
        }
        return;
    }
    if (stored.size() != 2) Fuzz::Fail("a text command is not two buffer lines", context);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& line = stored[i];
        if (line.size() > MyFunc::kMaxLineBytes) Fuzz::Fail("command line over 255 bytes", context);
        if (line.size() > lines[i].size()) Fuzz::Fail("command line grew", context);
        for (std::size_t k = 0; k < line.size(); ++k) {
            const char original = lines[i][k];
            const char expected = original == '\r' || original == '\n' ? ' ' : original;
            if (line[k] != expected) Fuzz::Fail("command line is not the text's start", context);
        }
        if (line.size() < lines[i].size()) {
            if (!Fuzz::EndsOnWholeCharacter(line)) {
                Fuzz::Fail("cut line ends in half a character", context);
            }
            const std::size_t next =
                MyFunc::IsLeadByte(static_cast<unsigned char>(lines[i][line.size()])) ? 2 : 1;
            if (line.size() + next <= MyFunc::kMaxLineBytes) {
                Fuzz::Fail("line cut shorter than it had to be", context);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputReader input(data, size);
    const double distance = input.Double();
    Dimension::ValueOptions options;
    options.precision = static_cast<std::int8_t>(input.Byte());
    options.rounding = static_cast<std::int8_t>(input.Byte());
    const std::uint8_t flags = input.Byte();
    options.showTrailingZeros = flags & 1;
    options.unit = (flags >> 1) & 1;
    options.thousandsCommas = (flags & 4) != 0;
    options.appendUnit = (flags & 8) != 0;
    options.fullWidth = (flags & 16) != 0;
    options.prefix = std::string(input.Bytes(input.Byte()));
    options.suffix = std::string(input.Rest());

    const std::string text = Dimension::FormatDimensionValue(distance, options);
    const std::string context = "distance " + MyFunc::GeneralNumberText(distance) + " precision " +
                                std::to_string(options.precision) + " rounding " +
                                std::to_string(options.rounding) + " flags " +
                                std::to_string(flags) + " text " + Fuzz::Printable(text);

    // prefix + number + unit + suffix
    const std::string_view unit = !options.appendUnit ? std::string_view()
                                  : options.unit != 0 ? std::string_view("\x82\x8d")  // ｍ
                                                      : std::string_view("mm");
    const std::size_t fixedSize = options.prefix.size() + unit.size() + options.suffix.size();
    if (text.size() < fixedSize || text.compare(0, options.prefix.size(), options.prefix) != 0 ||
        text.compare(text.size() - options.suffix.size(), options.suffix.size(),
                     options.suffix) != 0 ||
        text.compare(text.size() - options.suffix.size() - unit.size(), unit.size(), unit) != 0) {
        Fuzz::Fail("value text is not prefix, number, unit, suffix", context);
    }
    const std::string_view middle =
        std::string_view(text).substr(options.prefix.size(), text.size() - fixedSize);
    if (options.fullWidth && middle.size() % 2 != 0) {
        Fuzz::Fail("full-width number has an odd length", context);
    }
    const std::string number = options.fullWidth ? NarrowNumber(middle, context)
                                                 : std::string(middle);
    CheckNumber(number, distance, options, context);

    // The plain text decides whether an interval gets a value text: it is "0" exactly when the
    // rounded value is zero.
    const std::string plain = Dimension::PlainValueText(distance, options);
    const double value = options.unit != 0 ? distance / 1000.0 : distance;
    if (std::isfinite(value) &&
        (plain == "0") !=
            (MyFunc::RoundToPrecision(options.precision, options.rounding, value) == 0.0)) {
        Fuzz::Fail("plain value text is \"0\" for a value that does not round to 0, or not "
                   "\"0\" for one that does", context + " plain " + plain);
    }

    CheckCommandLines(text, context);
    return 0;
}
