// The settings file: the dialog's values and window position from one run to the next.
//
// Beside the executable with the extension ".dat". Shift-JIS text of exactly 27 lines, each
// ended by CR LF, one value a line: 1-2 window left and top, 3-7 ComboBox1..5 item indexes,
// 8-15 Edit1..8 texts byte for byte, 16-17 RadioGroup1..2 indexes, 18-21 CheckBox1..4 ("1" / "0"),
// 22 RadioGroup3 index, 23-27 CheckBox5..9 (each control's number is in its row of the controls
// table).
//
// Reading: a line ends at LF, with one CR directly before it removed; a last line without LF
// counts; missing lines read as empty, lines past the 27th are ignored. Integers are read with
// TextToIntOrZero. An index below 0 selects item 0; past the end it leaves a drop-down list
// without a selection and selects a radio group's last item. A check box is ticked by any
// non-zero integer. Edit texts are taken whole, whatever the field's typing limit.
#pragma once

#include <filesystem>

#include "dialog/dialog_state.hpp"

namespace Unit1 {

// Sets SavedLeft/SavedTop to 100/100, then applies the file's lines to the state. A missing or
// unopenable file leaves the rest of the state as it was; a read error keeps the lines applied
// before it. Never reports anything: bad values are caught by the checks at OK. ComboBox3's
// items must be filled first, since its index is applied against them.
void LoadSettings(DialogState& state, const std::filesystem::path& path);

// Writes the 27 lines in place (create or truncate). On any failure after the file was opened
// the file is closed and deleted, so no half-written file is left; false then. A file that could
// not be opened is left as it was.
bool SaveSettings(const DialogState& state, const std::filesystem::path& path);

}  // namespace Unit1
