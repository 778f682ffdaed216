// Shift-JIS texts (code page 932) as Unicode, for the edges where a text leaves Korvane's bytes:
// the picture's SVG, the command line's messages, the dialog's painter.
//
// Every character maps as Windows maps it (MultiByteToWideChar with code page 932), except that
// characters are walked by Korvane's own rule (text.hpp): a byte 0x80..0x9F or 0xE0..0xFD and
// the byte after it, whatever that byte is, are one character. So:
//   - 0x00..0x7F are ASCII (0x5C stays a backslash, 0x7E a tilde), 0xA1..0xDF half-width kana;
//   - the single bytes 0x80, 0xA0, 0xFD, 0xFE, 0xFF become U+0080, U+F8F0, U+F8F1, U+F8F2,
//     U+F8F3;
//   - a pair that code page 932 does not define, and any pair led by 0x80 or 0xFD, becomes
//     U+30FB (KATAKANA MIDDLE DOT, Windows' default character for the code page); both bytes go;
//   - a lead byte that ends the text stands alone: U+30FB, or for 0x80 and 0xFD the single
//     byte's character, as Windows gives it.
// Every result lies in the basic plane: one UTF-16 unit per character, never a surrogate.
#pragma once

#include <string>
#include <string_view>

namespace MyFunc {

// The characters of bytes, as UTF-16 (one unit per character).
std::u16string Cp932ToUtf16(std::string_view bytes);

// The characters of bytes, as UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace MyFunc
