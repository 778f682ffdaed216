#include "common/cp932.hpp"

#include <cstddef>
#include <cstdint>

#include "common/text.hpp"

namespace MyFunc {
namespace {

#include "common/cp932_table.inc"

constexpr char16_t kDefaultCharacter = 0x30FB;  // ・
constexpr std::size_t kTrailsPerRow = 188;      // 0x40..0x7E and 0x80..0xFC

char16_t SingleByteCharacter(unsigned char b)
{
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    switch (b) {
    case 0x80: return 0x0080;
    case 0xA0: return 0xF8F0;
    case 0xFD: return 0xF8F1;
    case 0xFE: return 0xF8F2;
    case 0xFF: return 0xF8F3;
    default: return kDefaultCharacter;  // a lead byte that ends the text
    }
}

char16_t PairCharacter(unsigned char lead, unsigned char trail)
{
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return kDefaultCharacter;
    const std::size_t column = trail - 0x40u - (trail > 0x7F ? 1u : 0u);
    // The user-defined rows map in order onto the private use area.
    if (lead >= 0xF0 && lead <= 0xF9) {
        return static_cast<char16_t>(0xE000 + (lead - 0xF0u) * kTrailsPerRow + column);
    }
    const int row = kCp932RowOfLead[lead - 0x80u];
    if (row < 0) return kDefaultCharacter;
    const char16_t c = kCp932Rows[static_cast<std::size_t>(row) * kTrailsPerRow + column];
    return c != 0 ? c : kDefaultCharacter;
}

template <typename Append>
void WalkCharacters(std::string_view bytes, Append append)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsLeadByte(b) && i + 1 < bytes.size()) {
            append(PairCharacter(b, static_cast<unsigned char>(bytes[i + 1])));
            i += 2;
        } else {
            append(SingleByteCharacter(b));
            i += 1;
        }
    }
}

}  // namespace

std::u16string Cp932ToUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    WalkCharacters(bytes, [&out](char16_t c) { out += c; });
    return out;
}

std::string Cp932ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    WalkCharacters(bytes, [&out](char16_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    });
    return out;
}

}  // namespace MyFunc
