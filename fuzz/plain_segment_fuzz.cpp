// The reader's shortcut for plain segment lines against the full line matching, on lines made
// mostly of the bytes of segment lines.
//
// Input: each byte picks a piece of a line (a digit, sign, point, blank, tab, a long mantissa, a
// decimal with many places, an exponent, a CR, a byte no number holds, a line end, a mode line
// that changes what a segment line does). The text is read from memory as the tool reads a file
// (shortcut included) and line by line through ParseExchangeLine alone (CR bytes dropped,
// Ctrl-Z ending the file); the two models must be the same, field for field and bit for bit.
#include <iterator>
#include <string>
#include <string_view>

#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange/exchange_reader_internal.hpp"
#include "fuzz_support.hpp"
#include "model_check.hpp"

namespace {

constexpr std::string_view kPieces[] = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "-", "+", ".", " ", "  ", "\t", "\n",
    "\r\n", "\r", "\x1a", "e", "E", "e-", "x", "\"", "=", "\x82\xa0", "\x82",
    "9007199254740992", "9007199254740993", "123456789012345678", "12345.6789012345",
    "0.0000000000000000000001", "0.00000000000000000000001", "1.0000000000000000000000",
    "4e400", "1e-400", "\npl\n", "\nmsg\n", "\n#\n", "\nz3\n", "\nlg2\n", "\nlc5\n",
    "\ncs 0 0 1 0 \"t\n", "\nci 0 0 5\n", "\nhhp7\n",
};

std::string Text(std::string_view input)
{
    std::string text;
    for (const char c : input) {
        text += kPieces[static_cast<unsigned char>(c) % std::size(kPieces)];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = Text(std::string_view(reinterpret_cast<const char*>(data), size));
    RidEdaza::DrawingModel model;
    RidEdaza::CommandBuffer buffer;
    RidEdaza::InitDrawingModel(model, buffer);
    RidEdaza::ReadExchangeText(model, text);
    if (Fuzz::ModelDigest(model) != Fuzz::DigestReadLineByLine(text)) {
        Fuzz::Fail("the shortcut for segment lines differs from the full line matching",
                   Fuzz::Printable(text.substr(0, 400)));
    }
    return 0;
}
