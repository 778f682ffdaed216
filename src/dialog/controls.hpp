// The dialog's controls as data: one table of the input controls and one of the labels, with the
// window's texts.
//
// One row per control holds everything known about it: the Win32 layout (kind, position and size
// in client pixels, captions, items, defaults, typing limits, IME, tab order, parent) and, for a
// control that holds a value, where that value goes: its DialogState member (--set, the Win32
// mirroring), its settings-file line, its DimensionSettings member and conversion (OK), the check
// it answers to with korvane-cli's explanation, and the text that names it to the user. The
// settings file, ReadDimensionSettings, SetControl and the lookups below all walk this one table.
// All dialog texts are Shift-JIS (code page 932) bytes, exactly as the dialog shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "dialog/dialog_state.hpp"
#include "dimension/settings.hpp"

namespace Unit1 {

enum class ControlKind {
    DropDownList,  // fixed list: the user can only pick an item
    RadioGroup,
    CheckBox,
    Edit,
    GroupBox,
    Button,
    Memo,          // read-only multi-line notice text
    NoticePanel,   // the bottom strip: the picture of the run, and the notice page's link
};

// Where OK puts a control's value in the record of the checks. At most one member is set, and
// which one decides the conversion.
struct SettingsField {
    std::int32_t Dimension::DimensionSettings::*index = nullptr;  // the item index as it is
    bool Dimension::DimensionSettings::*flag = nullptr;           // the tick as it is
    double Dimension::DimensionSettings::*number = nullptr;       // the text by TextToRealOrZero
    std::string Dimension::DimensionSettings::*text = nullptr;    // the text, empty when blank
    std::optional<Dimension::PointKind> pointKind{};              // the tick, as TakenPoints
};

// A value control's links from its DialogState member to the checks of OK; all empty for a
// control without a value (group box, button, memo, notice panel).
struct ControlValue {
    StateField state{};
    std::int32_t settingsLine = 0;  // 1-based line of the settings file (3..28)
    SettingsField setting{};
    // The check whose failure puts the focus here, and korvane-cli's English reason for it: for
    // a list the whole reason, for a number what it names (the allowed range comes from the
    // check's own record, Dimension::RangeOf).
    Dimension::SettingControl check = Dimension::SettingControl::None;
    std::string_view labelCaption{};  // edit field, drop-down list: the text of its label
    std::string_view explanation{};
};

struct ControlSpec {
    std::string_view name{};
    ControlKind kind = ControlKind::Edit;
    // Client pixels of the parent (the window, or GroupBox1 for CheckBox5..9).
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string_view caption{};                // check box, radio group, group box, button
    std::span<const std::string_view> items{}; // fixed items of a drop-down list or radio group
    std::int32_t columns = 0;                  // radio group
    std::int32_t defaultIndex = -1;            // drop-down list, radio group; -1 no selection
    bool defaultChecked = false;               // check box
    std::string_view defaultText{};            // edit
    std::int32_t maxLength = 0;                // edit: typing limit in characters; 0 none
    bool imeOff = false;                       // Japanese input switched off in the field
    std::string_view parent{};                 // "" for the window itself
    std::int32_t tabOrder = 0;                 // position in the parent's tab order
    bool tabStop = true;
    bool isDefaultButton = false;              // Enter
    bool isCancelButton = false;               // Esc
    ControlValue value{};
};

struct LabelSpec {
    std::string_view name{};
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::string_view caption{};
    std::int32_t fontHeight = 13;  // pixels
};

// Every control except the labels, in tab order (a group box's children follow it).
std::span<const ControlSpec> DialogControls();

// The static texts.
std::span<const LabelSpec> DialogLabels();

// The control with this name (case-sensitive, "Edit7"), or nullptr.
const ControlSpec* FindControl(std::string_view name);

// The text that names a value control to the user: the label beside an edit field or drop-down
// list ("長さ" for Edit7), a radio group's or check box's own caption.
std::string_view UserCaption(const ControlSpec& control);

// Whether the control decides anything in the arrangement the state selects: false for a control
// whose setting that arrangement does not read (Dimension::kArrangements), which the dialog
// greys out. A control without a value, and every control when no arrangement is selected, is in
// use.
bool ControlInUse(const DialogState& state, const ControlSpec& control);

// The control that a failed check puts the focus on: its name ("Edit7"), its UserCaption and
// the rule it enforces, as korvane-cli explains a failure. "" for None.
std::string_view SettingControlName(Dimension::SettingControl check);
std::string_view SettingCaption(Dimension::SettingControl check);
std::string SettingExplanation(Dimension::SettingControl check);

// The 22 lines of Memo1's notice text.
std::span<const std::string_view> NoticeLines();

// The window.
inline constexpr std::string_view kWindowCaption = "Korvane";
// Korvane プレビュー: the larger window of the run's picture
inline constexpr std::string_view kPictureWindowCaption =
    "Korvane \x83\x76\x83\x8C\x83\x72\x83\x85\x81\x5B";
// Korvane（垂直）: the title of a vertical run
inline constexpr std::string_view kVerticalWindowCaption =
    "Korvane\x81\x69\x90\x82\x92\xBC\x81\x6A";
// Korvane（縦横）: the title of a request for both runs
inline constexpr std::string_view kBothWindowCaption =
    "Korvane\x81\x69\x8F\x63\x89\xA1\x81\x6A";
inline constexpr std::string_view kApplicationTitle = "tz47_Korvane";
// The client area with the strip (ScrollBox1, the picture of the run) at its full height. On a
// work area too short for it the strip gives way first, down to kStripLeastHeight: the controls
// above it keep their places.
inline constexpr std::int32_t kClientWidth = 492;
inline constexpr std::int32_t kClientHeight = 544;
inline constexpr std::int32_t kStripFullHeight = 128;
inline constexpr std::int32_t kStripLeastHeight = 65;
// ＭＳ ゴシック, 13 pixels high, Shift-JIS character set, for every control but Label15 (11)
inline constexpr std::string_view kFontName = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";
inline constexpr std::int32_t kFontHeight = 13;
inline constexpr std::uint32_t kMemoBackground = 0xBBEBF4;  // RGB (187, 235, 244) as 0xRRGGBB

// LabelA1, the status strip: bottom-aligned above the notice panel, text centred both ways.
inline constexpr std::int32_t kStatusLeft = 0;
inline constexpr std::int32_t kStatusTop = 392;
inline constexpr std::int32_t kStatusWidth = 492;
inline constexpr std::int32_t kStatusHeight = 24;
inline constexpr std::uint32_t kStatusBackground = 0xE7E7E7;  // RGB (231, 231, 231)

// クリックで拡大表示（Ｆ２）: the strip's tooltip
inline constexpr std::string_view kStripTip =
    "\x83\x4E\x83\x8A\x83\x62\x83\x4E\x82\xC5\x8A\x67\x91\xE5\x95\x5C\x8E\xA6\x81\x69"
    "\x82\x65\x82\x51\x81\x6A";
// 作成中…: the strip while a picture is late, over the last picture dimmed
inline constexpr std::string_view kPictureBusyText = "\x8D\xEC\x90\xAC\x92\x86\x81\x63";

// LabelA1's text before the dimensioning command shows its progress (dimension/command.hpp).
inline constexpr std::string_view kStatusIdle = "\x81\x40";  // 　 (one full-width blank)
// LabelA1 once a close (Esc, Cancel, the close box) was heard while OK runs: 作図後に閉じます
inline constexpr std::string_view kStatusClosingAfterOk =
    "\x8D\xEC\x90\x7D\x8C\xE3\x82\xC9\x95\xC2\x82\xB6\x82\xDC\x82\xB7";

// Message box title of both messages: 確認
inline constexpr std::string_view kMessageTitle = "\x8A\x6D\x94\x46";
// 寸法線を作図するには計測点が２つ以上必要です。
inline constexpr std::string_view kTooFewPointsMessage =
    "\x90\xA1\x96\x40\x90\xFC\x82\xF0\x8D\xEC\x90\x7D\x82\xB7\x82\xE9\x82\xC9\x82\xCD\x8C\x76"
    "\x91\xAA\x93\x5F\x82\xAA\x82\x51\x82\xC2\x88\xC8\x8F\xE3\x95\x4B\x97\x76\x82\xC5\x82\xB7"
    "\x81\x42";
// メモリが不足したため寸法線を作図できません。
inline constexpr std::string_view kOutOfMemoryMessage =
    "\x83\x81\x83\x82\x83\x8A\x82\xAA\x95\x73\x91\xAB\x82\xB5\x82\xBD\x82\xBD\x82\xDF"
    "\x90\xA1\x96\x40\x90\xFC\x82\xF0\x8D\xEC\x90\x7D\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42";
// 縮尺または座標が不正なため寸法線を作図できません。
inline constexpr std::string_view kCannotDimensionMessage =
    "\x8F\x6B\x8E\xDA\x82\xDC\x82\xBD\x82\xCD\x8D\xC0\x95\x57\x82\xAA\x95\x73\x90\xB3\x82\xC8"
    "\x82\xBD\x82\xDF\x90\xA1\x96\x40\x90\xFC\x82\xF0\x8D\xEC\x90\x7D\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1\x81\x42";

}  // namespace Unit1
