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
// The first field is the line's key. The line forms are tried in a fixed order of precedence;
// the first whose key and field count both fit takes the line, so a keyword line with a count
// that fits none of its own forms can still be read by a later one (with exactly four fields, as
// a segment whose key reads as the number 0). Lines of no known form are skipped; a malformed
// number reads as 0. Nothing is ever reported.
#pragma once

#include <filesystem>
#include <functional>

#include "exchange/drawing_model.hpp"

namespace RidEdaza {

// Reads the file from a fresh running state into the model. False when the file cannot be opened
// (the model stays as it was) or a read fails (the lines already applied stay).
bool ReadExchangeFile(DrawingModel& model, const std::filesystem::path& path);

// Reads the bytes of a whole file held in memory from a fresh ReaderState into the model, line
// for line as ReadExchangeFile reads the same bytes from a file: a command file the tool has not
// written out yet reads as the host will read it. `stop`, when given, is asked every few thousand
// lines; once it answers true the reading ends there and the model holds only the lines before.
void ReadExchangeText(DrawingModel& model, std::string_view bytes,
                      const std::function<bool()>& stop = {});

}  // namespace RidEdaza
