// The settings file: the dialog's values and window position from one run to the next.
//
// Beside the executable with the extension ".dat". Shift-JIS text of 27 lines, each ended by
// CR LF, one value a line: 1-2 window left and top, 3-7 ComboBox1..5 item indexes,
// 8-15 Edit1..8 texts byte for byte, 16-17 RadioGroup1..2 indexes, 18-21 CheckBox1..4 ("1" / "0"),
// 22 RadioGroup3 index, 23-27 CheckBox5..9; line 28, ComboBox6's index (the arrangement), only
// when it is not item 0 (each control's number is in its row of the controls table).
//
// Reading: a line ends at LF, with one CR directly before it removed; a last line without LF
// counts; missing lines read as empty (a 27-line file reads as the chain), lines past the 28th
// are ignored. Integers are read with
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

// Writes the 27 lines (28 for an arrangement other than the chain) to the file's name + ".tmp"
// (created, or overwritten if a stale one is there), closes it and replaces the file with it in
// one rename, so that one full disk never costs the settings of earlier runs. On any failure (opening, writing, flushing or closing the
// temporary file, the rename, running out of memory) the file stays byte for byte as it was (or
// absent), the temporary file is removed (should the disk refuse that too, the next save
// overwrites it) and the result is false; it never throws. A temporary name that could not be
// opened (a folder, say) is left as it was.
bool SaveSettings(const DialogState& state, const std::filesystem::path& path);

}  // namespace Unit1
