// Output against its reviewed golden file, byte for byte. A difference fails the calling test
// with the first differing line of both sides (printable ASCII as it is, Shift-JIS characters
// and control bytes as hex pairs in {}, the line end named) and keeps the actual bytes under
// <build>/golden-actual/, where a diff tool can put them beside the reviewed file; the message
// says where. A match removes what an earlier failing run kept there, so the folder only ever
// shows the current differences.
#pragma once

#include <filesystem>
#include <string_view>

namespace GoldenFiles {

// True when KORVANE_UPDATE_GOLDEN=1: the golden tests write their expectations from the current
// results instead of comparing (every change to them is reviewed by hand).
bool UpdateRequested();

// Compares `actual` with the file `reviewed`; `keepAs` names the kept actual file below
// golden-actual/ (e.g. "examples/floor-plan/JWC_TEMP.TXT"). A missing reviewed file is a
// difference too.
void ExpectSameBytes(std::string_view actual, const std::filesystem::path& reviewed,
                     const std::filesystem::path& keepAs);

}  // namespace GoldenFiles
