// Shift-JIS texts of the drawing as the picture's UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "preview/preview.hpp"
#include "support/byte_texts.hpp"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

}  // namespace

TEST(PreviewText, ConvertsTheCharactersOfValueAndDrawingTexts)
{
    // Shift-JIS text, its UTF-8.
    const ByteTexts::Case cases[] = {
        {"ASCII, backslash and tilde as they are", "1,500.25 \\~<&>", "1,500.25 \\~<&>"},
        {"ideographic space", "\x81\x40", "\xE3\x80\x80"},
        {"full-width metre", "\x82\x8D", "\xEF\xBD\x8D"},
        {"full-width digits 0 and 9", "\x82\x4F\x82\x58", "\xEF\xBC\x90\xEF\xBC\x99"},
        {"full-width A Z a z", "\x82\x60\x82\x79\x82\x81\x82\x9A",
         "\xEF\xBC\xA1\xEF\xBC\xBA\xEF\xBD\x81\xEF\xBD\x9A"},
        {"full-width comma, full stop, minus", "\x81\x43\x81\x44\x81\x7C",
         "\xEF\xBC\x8C\xEF\xBC\x8E\xEF\xBC\x8D"},
        {"full-width quotes from the IBM rows", "\xFA\x56\xFA\x57", "\xEF\xBC\x87\xEF\xBC\x82"},
        {"hiragana first and last", "\x82\x9F\x82\xF1", "\xE3\x81\x81\xE3\x82\x93"},
        // ァ, ミ before the gap at 0x7F, ム after it, ヴ, ヶ
        {"katakana around the row's gap", "\x83\x40\x83\x7E\x83\x80\x83\x94\x83\x96",
         "\xE3\x82\xA1\xE3\x83\x9F\xE3\x83\xA0\xE3\x83\xB4\xE3\x83\xB6"},
        // △ □ Ｏ ○ ■ ▲ ● ～ ＞ ／
        {"marker symbols",
         "\x81\xA2\x81\xA0\x82\x6E\x81\x9B\x81\xA1\x81\xA3\x81\x9C\x81\x60\x81\x84\x81\x5E",
         "\xE2\x96\xB3\xE2\x96\xA1\xEF\xBC\xAF\xE2\x97\x8B\xE2\x96\xA0\xE2\x96\xB2\xE2\x97\x8F"
         "\xEF\xBD\x9E\xEF\xBC\x9E\xEF\xBC\x8F"},
        {"last entry of the symbol row", "\x81\xFC", "\xE2\x97\xAF"},
        {"half-width katakana", "\xB1\xDF\xA1", "\xEF\xBD\xB1\xEF\xBE\x9F\xEF\xBD\xA1"},
        {"kanji are not in the table", "\x8E\x9A", kReplacement},
        {"a trail byte out of range takes its lead byte along", "\x82\x20" "A", kReplacement + "A"},
        {"a lone lead byte at the end", "A\x82", "A" + kReplacement},
        {"bytes that are no character", std::string("\xA0\xFE\xFF\x01\x7F", 5),
         kReplacement + kReplacement + kReplacement + kReplacement + kReplacement},
        {"empty", "", ""},
    };
    ByteTexts::ExpectConversions(cases, Preview::Utf8FromShiftJis);
}
