// Checks a drawing model read from hostile bytes, and writes it out in a canonical form so that
// two reads of the same bytes can be compared.
#pragma once

#include <string>
#include <string_view>

#include "exchange/drawing_model.hpp"

namespace Fuzz {

// Fails (aborts) when the model breaks what its readers rely on: every real finite, layer group
// and layer 0..15, cc value 0..8, z flags within their five bits, texts and font names at most
// 255 bytes and never ending in half a character, indicated point 0 never present, and an
// EntityOrder with exactly one pair per record, positions counting up per kind.
void CheckModel(const RidEdaza::DrawingModel& model);

// Every field of the model, reals by their bits, in a fixed order.
std::string ModelDigest(const RidEdaza::DrawingModel& model);

// The digest of the model the bytes give when each line, split the plain way (at LF, CR bytes
// dropped, a line starting with Ctrl-Z ending the file), goes through the full line matching
// alone: what the reader's blocks and shortcuts must come to.
std::string DigestReadLineByLine(std::string_view bytes);

}  // namespace Fuzz
