// The exchange file reader: turns JWC_TEMP.TXT, as the host wrote it, into the DrawingModel.
//
// The file is Shift-JIS text; each line is a state value, a mode switch, an indicated point or
// one entity. A line ends at LF, every CR byte is dropped, the last line needs no LF, and a
// Ctrl-Z (0x1A) at the start of a line ends the file. Lines have no length limit.
//
// Fields of a line: blanks and tabs separate them (runs and leading blanks count once); a double
// quote (dropped) or an equals sign (kept) switches splitting off, so the rest of the line,
// blanks included, goes into the current field. A two-byte character is never split and its
// second byte never separates; a lead byte as the last byte of the line is dropped, and so are
// control bytes and 0xFE/0xFF. At most 32 fields: further ones are dropped. A line that ends in
// blanks has one empty last field, which counts.
//
// Lines of no known form are skipped; a malformed number reads as 0. Nothing is ever reported.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/drawing_model.hpp"

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
    // <ＭＳ ゴシック>
    std::string fontName{"<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>"};
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

// Reads the file from a fresh ReaderState into the model. False when the file cannot be opened
// (the model stays as it was) or a read fails (the lines already applied stay).
bool ReadExchangeFile(DrawingModel& model, const std::filesystem::path& path);

// Reads the bytes of a whole file held in memory from a fresh ReaderState into the model, line
// for line as ReadExchangeFile reads the same bytes from a file: a command file the tool has not
// written out yet reads as the host will read it.
void ReadExchangeText(DrawingModel& model, std::string_view bytes);

}  // namespace RidEdaza
