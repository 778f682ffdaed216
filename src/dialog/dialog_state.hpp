// The dialog's values as plain data: what OK reads and what the settings file keeps.
//
// A drop-down list or radio group holds its selected item index (-1: nothing selected), a check
// box a bool, an edit field its text as Shift-JIS bytes. The Win32 dialog copies its controls
// into a DialogState and back; korvane-cli builds one from the defaults, the settings file and
// its --set options. Control names are those of the controls table (controls.hpp), whose rows
// also say which member holds each control's value and where OK takes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"

namespace Unit1 {

struct ControlSpec;

// As constructed: nothing selected, fields empty, boxes clear, window at (100, 100). The dialog's
// own defaults come from the controls table through DefaultDialogState().
struct DialogState {
    // The window's top-left in screen pixels: read from the settings file, set at OK.
    std::int32_t SavedLeft = 100;
    std::int32_t SavedTop = 100;

    std::int32_t ComboBox1 = -1;   // start-point marker
    std::int32_t ComboBox2 = -1;   // end-point marker
    std::int32_t ComboBox3 = -1;   // text kind of the value
    std::int32_t ComboBox4 = -1;   // precision
    std::int32_t ComboBox5 = -1;   // rounding
    std::int32_t ComboBox6 = -1;   // arrangement of the dimensions
    std::string Edit1;             // end-point scale
    std::string Edit2;             // prefix
    std::string Edit3;             // suffix
    std::string Edit4;             // value text to dimension line, paper mm
    std::string Edit5;             // measuring point to extension line, paper mm
    std::string Edit6;             // overshoot of the extension line, paper mm
    std::string Edit7;             // line-arrow length, paper mm
    std::string Edit8;             // line-arrow angle, degrees
    std::int32_t RadioGroup1 = -1; // zeros after the decimal point
    std::int32_t RadioGroup2 = -1; // unit of the value
    std::int32_t RadioGroup3 = -1; // marker where dimensions are close together
    bool CheckBox1 = false;        // thousands commas
    bool CheckBox2 = false;        // append the unit
    bool CheckBox3 = false;        // full-width value
    bool CheckBox4 = false;        // dimension figures
    bool CheckBox5 = false;        // line ends on the height-point side
    bool CheckBox6 = false;        // line ends on the far side
    bool CheckBox7 = false;        // points and point markers
    bool CheckBox8 = false;        // arc centres
    bool CheckBox9 = false;        // arc end points

    // The items of ComboBox3 (TextKindItems), Shift-JIS; empty until the drawing is read.
    std::vector<std::string> ComboBox3Items;
};

// Where a control's value lives in a DialogState; at most one member is set. All are null for a
// control that holds no value (button, group box, memo, notice panel).
struct StateField {
    std::int32_t DialogState::*index = nullptr;  // drop-down list, radio group
    std::string DialogState::*text = nullptr;    // edit
    bool DialogState::*checked = nullptr;        // check box
};

// The field of the named control, as its row of the controls table gives it; all null for an
// unknown name.
StateField FieldOf(std::string_view controlName);

// Every control at its default from the controls table; window at (100, 100); no text kinds.
DialogState DefaultDialogState();

// The eleven items of ComboBox3: the host's current text kind, then kinds No1 to No10.
std::vector<std::string> TextKindItems(const RidEdaza::DrawingState& state);

// The number of items the control offers in this state (ComboBox3: its filled items).
std::int32_t ItemCount(const DialogState& state, const ControlSpec& control);

// Selects an item as a settings-file line does: a negative index selects item 0; an index past
// the end leaves a drop-down list without a selection and selects a radio group's last item.
void ApplyItemIndex(DialogState& state, const ControlSpec& control, std::int32_t index);

// A list that the chosen arrangement leaves unused (the start marker of a cumulative run) and
// that has no selection gets its first item. OK does this before it saves, so that the file it
// writes loads as what it saved: a saved "-1" would read as item 0 and be saved as "0" by the
// next run. What OK draws does not change: the list decides nothing in that arrangement.
void SelectFirstItemOfUnusedEmptyLists(DialogState& state);

// The record OK checks, unscaled (CurrentScale 1), each member from the control whose row names
// it. Numbers by TextToRealOrZero; a prefix or suffix with nothing but blanks becomes empty, any
// other is kept byte for byte.
Dimension::DimensionSettings ReadDimensionSettings(const DialogState& state);

// korvane-cli's --set NAME=VALUE. VALUE must be printable ASCII. A list or radio group takes a
// decimal integer: -1 clears the selection, any other index is applied as by ApplyItemIndex. A
// check box takes any integer (non-zero ticks it); an edit field any text, whatever its typing
// limit. False, with the state unchanged, for an unknown name, a control without a value or a
// malformed value.
bool SetControl(DialogState& state, std::string_view name, std::string_view value);

}  // namespace Unit1
