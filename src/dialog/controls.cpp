#include "dialog/controls.hpp"

#include <array>

#include "common/number_text.hpp"
#include "dimension/arrangements.hpp"

namespace Unit1 {
namespace {

using Items = std::span<const std::string_view>;

// Heights the layout gives no number for: those of a one-line control in the 13-pixel font.
constexpr std::int32_t kDropDownHeight = 21;
constexpr std::int32_t kEditHeight = 21;
constexpr std::int32_t kCheckBoxHeight = 17;

// The twelve end-marker kinds of ComboBox1 and ComboBox2 (items 1 and 11 share a text).
constexpr std::array<std::string_view, 12> kMarkerItems = {
    "\x90\xFC\x96\xEE\x88\xF3",  // 線矢印
    "\x81\xA2",                  // △
    "\x81\xA0",                  // □
    "\x82\x6E",                  // Ｏ
    "\x81\x9B",                  // ○
    "\x81\xA1",                  // ■
    "\x81\xA3",                  // ▲
    "\x81\x9C",                  // ●
    "\x81\x60",                  // ～
    "\x81\x84",                  // ＞
    "\x81\x5E",                  // ／
    "\x81\xA2",                  // △ (a second kind with the same text as item 1)
};

constexpr std::array<std::string_view, 9> kPrecisionItems = {
    "1", "0.1", "0.01", "0.001", "0.0001", "0.00001", "0.000001", "0.0000001", "0.00000001",
};

constexpr std::array<std::string_view, 3> kRoundingItems = {
    "\x90\xD8\x82\xE8\x8E\xCC\x82\xC4",  // 切り捨て
    "\x90\xD8\x82\xE8\x8F\xE3\x82\xB0",  // 切り上げ
    "\x8E\x6C\x8E\xCC\x8C\xDC\x93\xFC",  // 四捨五入
};

constexpr std::array<std::string_view, 2> kTrailingZeroItems = {
    "\x96\xB3",  // 無
    "\x97\x4C",  // 有
};

constexpr std::array<std::string_view, 2> kUnitItems = {
    "mm",
    "\x82\x8D",  // ｍ
};

constexpr std::array<std::string_view, 2> kNarrowMarkerItems = {
    "\x8E\xCE\x90\xFC(\x81\x5E)",  // 斜線(／)
    "\x8D\x95\x8A\xDB(\x93\x5F)",  // 黒丸(点)
};

// ComboBox6's items: the captions of the arrangements' table.
constexpr auto kArrangementItems = [] {
    std::array<std::string_view, Dimension::kArrangements.size()> items{};
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = Dimension::kArrangements[i].caption;
    return items;
}();

// The labels' texts that name an edit field or drop-down list to the user.
constexpr std::string_view kStartPointText = "\x8E\x6E\x93\x5F";                 // 始点
constexpr std::string_view kEndPointText = "\x8F\x49\x93\x5F";                   // 終点
constexpr std::string_view kLengthText = "\x92\xB7\x82\xB3";                     // 長さ
constexpr std::string_view kAngleText = "\x8A\x70\x93\x78";                      // 角度
constexpr std::string_view kEndScaleText = "\x92\x5B\x93\x5F\x94\x7B\x97\xA6";   // 端点倍率
constexpr std::string_view kPrecisionText =
    "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x90\xB8\x93\x78";                          // 寸法値の精度
constexpr std::string_view kRoundingText =
    "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x8A\xDB\x82\xDF";                          // 寸法値の丸め
constexpr std::string_view kTextKindText =
    "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x95\xB6\x8E\x9A\x8E\xED";                  // 寸法値の文字種
constexpr std::string_view kArrangementText =
    "\x90\xA1\x96\x40\x82\xCC\x94\x7A\x92\x75";                          // 寸法の配置
constexpr std::string_view kPrefixText = "\x90\xDA\x93\xAA\x95\xB6\x8E\x9A";     // 接頭文字
constexpr std::string_view kSuffixText = "\x90\xDA\x94\xF6\x95\xB6\x8E\x9A";     // 接尾文字
// 寸法値と水平線との距離
constexpr std::string_view kValueGapText =
    "\x90\xA1\x96\x40\x92\x6C\x82\xC6\x90\x85\x95\xBD\x90\xFC\x82\xC6\x82\xCC\x8B\x97\x97\xA3";
// 計測点と寸法補助線の距離
constexpr std::string_view kExtensionGapText =
    "\x8C\x76\x91\xAA\x93\x5F\x82\xC6\x90\xA1\x96\x40\x95\xE2\x8F\x95\x90\xFC\x82\xCC\x8B\x97"
    "\x97\xA3";
// 寸法補助線のはみ出し距離
constexpr std::string_view kOvershootText =
    "\x90\xA1\x96\x40\x95\xE2\x8F\x95\x90\xFC\x82\xCC\x82\xCD\x82\xDD\x8F\x6F\x82\xB5\x8B\x97"
    "\x97\xA3";

constexpr ControlSpec DropDown(std::string_view name, std::int32_t left, std::int32_t top,
                               std::int32_t width, Items items, std::int32_t defaultIndex,
                               std::int32_t tab, const ControlValue& value)
{
    return {.name = name, .kind = ControlKind::DropDownList, .left = left, .top = top,
            .width = width, .height = kDropDownHeight, .items = items,
            .defaultIndex = defaultIndex, .imeOff = true, .tabOrder = tab, .value = value};
}

constexpr ControlSpec Edit(std::string_view name, std::int32_t left, std::int32_t top,
                           std::int32_t width, std::string_view defaultText,
                           std::int32_t maxLength, bool imeOff, std::int32_t tab,
                           const ControlValue& value)
{
    return {.name = name, .kind = ControlKind::Edit, .left = left, .top = top, .width = width,
            .height = kEditHeight, .defaultText = defaultText, .maxLength = maxLength,
            .imeOff = imeOff, .tabOrder = tab, .value = value};
}

constexpr ControlSpec Radio(std::string_view name, std::int32_t left, std::int32_t top,
                            std::int32_t width, std::int32_t height, std::string_view caption,
                            Items items, std::int32_t columns, std::int32_t tab,
                            const ControlValue& value)
{
    return {.name = name, .kind = ControlKind::RadioGroup, .left = left, .top = top,
            .width = width, .height = height, .caption = caption, .items = items,
            .columns = columns, .defaultIndex = 0, .tabOrder = tab, .value = value};
}

constexpr ControlSpec Check(std::string_view name, std::int32_t left, std::int32_t top,
                            std::int32_t width, std::string_view caption,
                            std::string_view parent, std::int32_t tab, const ControlValue& value)
{
    return {.name = name, .kind = ControlKind::CheckBox, .left = left, .top = top,
            .width = width, .height = kCheckBoxHeight, .caption = caption, .parent = parent,
            .tabOrder = tab, .value = value};
}

// A check box's value: its tick, saved on `line`, read into `flag` and never checked.
constexpr ControlValue Tick(bool DialogState::*checked, std::int32_t line,
                            bool Dimension::DimensionSettings::*flag)
{
    return {.state = {.checked = checked}, .settingsLine = line, .setting = {.flag = flag}};
}

// A point kind's check box: its tick, saved on `line`, read into TakenPoints.
constexpr ControlValue TakenKind(bool DialogState::*checked, std::int32_t line,
                                 Dimension::PointKind kind)
{
    return {.state = {.checked = checked}, .settingsLine = line, .setting = {.pointKind = kind}};
}

constexpr std::string_view kGroup = "GroupBox1";

using S = DialogState;
using D = Dimension::DimensionSettings;
using C = Dimension::SettingControl;
using P = Dimension::PointKind;

// Sized by its entries, so that no empty control can trail the list.
constexpr auto kControls = std::to_array<ControlSpec>({
    DropDown("ComboBox1", 48, 4, 81, kMarkerItems, 0, 0,
             {.state = {.index = &S::ComboBox1}, .settingsLine = 3,
              .setting = {.index = &D::StartMarker}, .check = C::ComboBox1,
              .labelCaption = kStartPointText,
              .explanation = "a start-point marker must be selected"}),
    DropDown("ComboBox2", 48, 28, 81, kMarkerItems, 0, 1,
             {.state = {.index = &S::ComboBox2}, .settingsLine = 4,
              .setting = {.index = &D::EndMarker}, .check = C::ComboBox2,
              .labelCaption = kEndPointText,
              .explanation = "an end-point marker must be selected"}),
    Edit("Edit7", 48, 64, 33, "3", 8, true, 2,
         {.state = {.text = &S::Edit7}, .settingsLine = 14,
          .setting = {.number = &D::MarkerLength}, .check = C::Edit7,
          .labelCaption = kLengthText,
          .explanation = "the line-arrow length"}),
    Edit("Edit8", 48, 88, 33, "15", 8, true, 3,
         {.state = {.text = &S::Edit8}, .settingsLine = 15,
          .setting = {.number = &D::MarkerAngle}, .check = C::Edit8, .labelCaption = kAngleText,
          .explanation = "the line-arrow angle"}),
    Edit("Edit1", 72, 112, 57, "1", 16, true, 4,
         {.state = {.text = &S::Edit1}, .settingsLine = 8,
          .setting = {.number = &D::EndMarkerScale}, .check = C::Edit1,
          .labelCaption = kEndScaleText,
          .explanation = "the end-point scale"}),
    // Filled from the host's text kinds when the dialog is shown; nothing selected until then.
    DropDown("ComboBox3", 136, 28, 169, {}, -1, 5,
             {.state = {.index = &S::ComboBox3}, .settingsLine = 5,
              .setting = {.index = &D::ValueTextKind}, .check = C::ComboBox3,
              .labelCaption = kTextKindText,
              .explanation = "a text kind must be selected for the value"}),
    // Prefix and suffix: Japanese input allowed.
    Edit("Edit2", 200, 56, 105, "", 32, false, 6,
         {.state = {.text = &S::Edit2}, .settingsLine = 9, .setting = {.text = &D::Prefix},
          .labelCaption = kPrefixText}),
    Edit("Edit3", 200, 80, 105, "", 32, false, 7,
         {.state = {.text = &S::Edit3}, .settingsLine = 10, .setting = {.text = &D::Suffix},
          .labelCaption = kSuffixText}),
    DropDown("ComboBox4", 200, 136, 105, kPrecisionItems, 3, 8,
             {.state = {.index = &S::ComboBox4}, .settingsLine = 6,
              .setting = {.index = &D::Precision}, .check = C::ComboBox4,
              .labelCaption = kPrecisionText, .explanation = "a precision must be selected"}),
    DropDown("ComboBox5", 200, 160, 105, kRoundingItems, 2, 9,
             {.state = {.index = &S::ComboBox5}, .settingsLine = 7,
              .setting = {.index = &D::Rounding}, .check = C::ComboBox5,
              .labelCaption = kRoundingText, .explanation = "a rounding must be selected"}),
    Radio("RadioGroup1", 8, 184, 145, 41,
          "\x8F\xAC\x90\x94\x93\x5F\x88\xC8\x89\xBA\x82\xCC\x82\x4F\x95\x5C\x8E\xA6",  // 小数点以下の０表示
          kTrailingZeroItems, 2, 10,
          {.state = {.index = &S::RadioGroup1}, .settingsLine = 16,
           .setting = {.index = &D::ShowTrailingZeros}, .check = C::RadioGroup1,
           .explanation = "the zeros after the decimal point must be chosen"}),
    Radio("RadioGroup2", 160, 184, 145, 41,
          "\x90\xA1\x96\x40\x92\x6C\x82\xCC\x92\x50\x88\xCA",  // 寸法値の単位
          kUnitItems, 2, 11,
          {.state = {.index = &S::RadioGroup2}, .settingsLine = 17,
           .setting = {.index = &D::ValueUnit}, .check = C::RadioGroup2,
           .explanation = "a unit must be selected"}),
    // The arrangement: in the room the notice memo gives up, and on settings line 28 only when
    // it is not the chain, so that a chain's file stays the 27 lines older versions wrote. In
    // the tab order where it is read: after the rows above its place, before the check boxes.
    DropDown("ComboBox6", 312, 200, 177, kArrangementItems, 0, 12,
             {.state = {.index = &S::ComboBox6}, .settingsLine = 28,
              .setting = {.index = &D::Arrangement}, .check = C::ComboBox6,
              .labelCaption = kArrangementText, .explanation = "an arrangement must be selected"}),
    // The three check boxes before the last end a pixel short of their right-hand neighbour,
    // whose place they would otherwise share.
    Check("CheckBox1", 8, 232, 144,
          "\x82\x52\x8C\x85\x96\x88\x83\x4A\x83\x93\x83\x7D\x95\x74\x89\xC1",  // ３桁毎カンマ付加
          "", 13, Tick(&S::CheckBox1, 18, &D::ThousandsCommas)),
    Check("CheckBox2", 152, 232, 104,
          "\x92\x50\x88\xCA\x82\xCC\x95\x74\x89\xC1",  // 単位の付加
          "", 14, Tick(&S::CheckBox2, 19, &D::AppendUnit)),
    Check("CheckBox3", 256, 232, 128,
          "\x90\xA1\x96\x40\x92\x6C\x82\xF0\x91\x53\x8A\x70\x89\xBB",  // 寸法値を全角化
          "", 15, Tick(&S::CheckBox3, 20, &D::FullWidthValue)),
    Check("CheckBox4", 384, 232, 105,
          "\x90\xA1\x96\x40\x90\x7D\x8C\x60\x89\xBB",  // 寸法図形化
          "", 16,
          {.state = {.checked = &S::CheckBox4}, .settingsLine = 21,
           .setting = {.flag = &D::DimensionFigure}}),
    // The one distance OK does not check.
    Edit("Edit4", 200, 252, 57, "0.5", 16, true, 17,
         {.state = {.text = &S::Edit4}, .settingsLine = 11, .setting = {.number = &D::ValueGap},
          .labelCaption = kValueGapText}),
    Edit("Edit5", 200, 276, 57, "2", 16, true, 18,
         {.state = {.text = &S::Edit5}, .settingsLine = 12,
          .setting = {.number = &D::ExtensionGap}, .check = C::Edit5,
          .labelCaption = kExtensionGapText,
          .explanation = "the distance to the extension line"}),
    Edit("Edit6", 200, 300, 57, "2", 16, true, 19,
         {.state = {.text = &S::Edit6}, .settingsLine = 13,
          .setting = {.number = &D::ExtensionOvershoot}, .check = C::Edit6,
          .labelCaption = kOvershootText,
          .explanation = "the extension-line overshoot"}),
    Radio("RadioGroup3", 8, 328, 145, 67,
          // 寸法間隔が狭い場合
          "\x90\xA1\x96\x40\x8A\xD4\x8A\x75\x82\xAA\x8B\xB7\x82\xA2\x8F\xEA\x8D\x87",
          kNarrowMarkerItems, 1, 20,
          {.state = {.index = &S::RadioGroup3}, .settingsLine = 22,
           .setting = {.index = &D::NarrowMarker}}),
    ControlSpec{.name = kGroup, .kind = ControlKind::GroupBox, .left = 160, .top = 328,
                .width = 321, .height = 67,
                // 範囲選択時の取得する点
                .caption = "\x94\xCD\x88\xCD\x91\x49\x91\xF0\x8E\x9E\x82\xCC\x8E\xE6\x93\xBE"
                           "\x82\xB7\x82\xE9\x93\x5F",
                .tabOrder = 21},
    Check("CheckBox5", 8, 16, 169,
          // 高さ点側の線分の端点
          "\x8D\x82\x82\xB3\x93\x5F\x91\xA4\x82\xCC\x90\xFC\x95\xAA\x82\xCC\x92\x5B\x93\x5F",
          kGroup, 0, TakenKind(&S::CheckBox5, 23, P::NearLineEnds)),
    Check("CheckBox6", 8, 32, 191,
          // 高さ点反対側の線分の端点
          "\x8D\x82\x82\xB3\x93\x5F\x94\xBD\x91\xCE\x91\xA4\x82\xCC\x90\xFC\x95\xAA\x82\xCC"
          "\x92\x5B\x93\x5F",
          kGroup, 1, TakenKind(&S::CheckBox6, 24, P::FarLineEnds)),
    Check("CheckBox7", 8, 48, 193,
          // 点・点マーカの配置点
          "\x93\x5F\x81\x45\x93\x5F\x83\x7D\x81\x5B\x83\x4A\x82\xCC\x94\x7A\x92\x75\x93\x5F",
          kGroup, 2, TakenKind(&S::CheckBox7, 25, P::Points)),
    Check("CheckBox8", 200, 16, 119,
          "\x89\x7E\x8C\xCA\x82\xCC\x92\x86\x90\x53\x93\x5F",  // 円弧の中心点
          kGroup, 3, TakenKind(&S::CheckBox8, 26, P::ArcCentres)),
    Check("CheckBox9", 200, 32, 119,
          "\x89\x7E\x8C\xCA\x82\xCC\x92\x5B\x93\x5F",  // 円弧の端点
          kGroup, 4, TakenKind(&S::CheckBox9, 27, P::ArcEnds)),
    ControlSpec{.name = "Button1", .kind = ControlKind::Button, .left = 360, .top = 256,
                .width = 121, .height = 33,
                .caption = "\x82\x6E\x82\x6A(&Y)",  // ＯＫ(&Y)
                .tabOrder = 22, .isDefaultButton = true},
    // Two pixels higher than the layout it comes from, which let GroupBox1's frame (from 328)
    // cover the button's lower edge (up to 329).
    ControlSpec{.name = "Button2", .kind = ControlKind::Button, .left = 360, .top = 294,
                .width = 121, .height = 33,
                .caption = "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B(&N)",  // キャンセル(&N)
                .tabOrder = 23, .isCancelButton = true},
    ControlSpec{.name = "Memo1", .kind = ControlKind::Memo, .left = 312, .top = 0,
                .width = 177, .height = 177, .tabOrder = 24, .tabStop = false},
    ControlSpec{.name = "ScrollBox1", .kind = ControlKind::NoticePanel, .left = 0, .top = 416,
                .width = 492, .height = kStripFullHeight, .tabOrder = 25, .tabStop = false},
});

// 図寸mm: the unit of the paper-millimetre fields.
constexpr std::string_view kPaperMm = "\x90\x7D\x90\xA1mm";

constexpr std::array<LabelSpec, 21> kLabels = {{
    {"Label6", 8, 8, kStartPointText},
    {"Label7", 8, 32, kEndPointText},
    {"Label15", 8, 52, "\x81\x69\x90\xFC\x96\xEE\x88\xF3\x81\x6A", 11},   // （線矢印）
    {"Label17", 8, 68, kLengthText},
    {"Label18", 88, 68, kPaperMm},
    {"Label16", 8, 92, kAngleText},
    {"Label19", 88, 92, "\x81\x8B"},                                      // °
    {"Label1", 8, 116, kEndScaleText},
    // （点マーカ　線矢印を除く）
    // Two pixels right of the layout it comes from, clear of Edit1's edge (up to 129).
    {"Label20", 130, 116,
     "\x81\x69\x93\x5F\x83\x7D\x81\x5B\x83\x4A\x81\x40\x90\xFC\x96\xEE\x88\xF3\x82\xF0\x8F\x9C"
     "\x82\xAD\x81\x6A"},
    {"Label13", 8, 140, kPrecisionText},
    {"Label21", 8, 164, kRoundingText},
    {"Label2", 136, 8, kTextKindText},
    {"Label11", 136, 60, kPrefixText},
    {"Label12", 136, 84, kSuffixText},
    {"Label3", 8, 256, kValueGapText},
    {"Label5", 8, 280, kExtensionGapText},
    {"Label9", 8, 304, kOvershootText},
    {"Label4", 264, 256, kPaperMm},
    {"Label8", 264, 280, kPaperMm},
    {"Label10", 264, 304, kPaperMm},
    {"Label22", 312, 184, kArrangementText},
}};

constexpr std::array<std::string_view, 22> kNoticeLines = {
    "\x81\x9EKorvane\x82\xCC\x90\xDD\x92\xE8\x82\xCD",  // ◇Korvaneの設定は
    "\x81\x40Selmaro\x93\x99\x82\xCC",  // 　Selmaro等の
    // 　設定とは別に呼出・
    "\x81\x40\x90\xDD\x92\xE8\x82\xC6\x82\xCD\x95\xCA\x82\xC9\x8C\xC4\x8F\x6F\x81\x45",
    "\x81\x40\x93\x6F\x98\x5E\x82\xB5\x82\xC4\x82\xA8\x82\xE8\x81\x41",  // 　登録しており、
    "\x81\x40\x82\xBB\x82\xEA\x82\xE7\x82\xCC\x90\xDD\x92\xE8\x82\xF0",  // 　それらの設定を
    // 　共有利用していません
    "\x81\x40\x8B\xA4\x97\x4C\x97\x98\x97\x70\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1",
    "",
    // ◆ブロック図形内のものは
    "\x81\x9F\x83\x75\x83\x8D\x83\x62\x83\x4E\x90\x7D\x8C\x60\x93\xE0\x82\xCC\x82\xE0\x82\xCC"
    "\x82\xCD",
    // 　処理出来ませんので
    "\x81\x40\x8F\x88\x97\x9D\x8F\x6F\x97\x88\x82\xDC\x82\xB9\x82\xF1\x82\xCC\x82\xC5",
    "\x81\x40\x8C\xE4\x92\x8D\x88\xD3\x89\xBA\x82\xB3\x82\xA2\x81\x42",  // 　御注意下さい。
    // 　ブロック編集内で行う
    "\x81\x40\x83\x75\x83\x8D\x83\x62\x83\x4E\x95\xD2\x8F\x57\x93\xE0\x82\xC5\x8D\x73\x82\xA4",
    // 　場合には、本ソフトを
    "\x81\x40\x8F\xEA\x8D\x87\x82\xC9\x82\xCD\x81\x41\x96\x7B\x83\x5C\x83\x74\x83\x67\x82\xF0",
    // 　Jw_cadのインストール・
    "\x81\x40Jw_cad\x82\xCC\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B\x81\x45",
    // 　フォルダに配置して
    "\x81\x40\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xC9\x94\x7A\x92\x75\x82\xB5\x82\xC4",
    // 　実行を行って下さい。
    "\x81\x40\x8E\xC0\x8D\x73\x82\xF0\x8D\x73\x82\xC1\x82\xC4\x89\xBA\x82\xB3\x82\xA2\x81\x42",
    // ◆ウイルス／セキュリティ
    "\x81\x9F\x83\x45\x83\x43\x83\x8B\x83\x58\x81\x5E\x83\x5A\x83\x4C\x83\x85\x83\x8A\x83\x65"
    "\x83\x42",
    // 　ソフト／セキュリティ
    "\x81\x40\x83\x5C\x83\x74\x83\x67\x81\x5E\x83\x5A\x83\x4C\x83\x85\x83\x8A\x83\x65\x83\x42",
    // 　設定の画面が表示
    "\x81\x40\x90\xDD\x92\xE8\x82\xCC\x89\xE6\x96\xCA\x82\xAA\x95\x5C\x8E\xA6",
    // 　され、許可／遮断を
    "\x81\x40\x82\xB3\x82\xEA\x81\x41\x8B\x96\x89\xC2\x81\x5E\x8E\xD5\x92\x66\x82\xF0",
    // 　問い合わせてきた場合
    "\x81\x40\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9\x82\xC4\x82\xAB\x82\xBD\x8F\xEA\x8D\x87",
    // 　には「許可」を選択して
    "\x81\x40\x82\xC9\x82\xCD\x81\x75\x8B\x96\x89\xC2\x81\x76\x82\xF0\x91\x49\x91\xF0\x82\xB5"
    "\x82\xC4",
    "\x81\x40\x89\xBA\x82\xB3\x82\xA2\x81\x42",  // 　下さい。
};

// The control that answers to a check; nullptr for None, which no control answers to.
const ControlSpec* ControlOfCheck(Dimension::SettingControl check)
{
    if (check == Dimension::SettingControl::None) return nullptr;
    for (const ControlSpec& control : kControls) {
        if (control.value.check == check) return &control;
    }
    return nullptr;
}

}  // namespace

std::span<const ControlSpec> DialogControls() { return kControls; }

std::span<const LabelSpec> DialogLabels() { return kLabels; }

const ControlSpec* FindControl(std::string_view name)
{
    for (const ControlSpec& control : kControls) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

std::string_view UserCaption(const ControlSpec& control)
{
    return control.value.labelCaption.empty() ? control.caption : control.value.labelCaption;
}

bool ControlInUse(const DialogState& state, const ControlSpec& control)
{
    const Dimension::ArrangementRow* arrangement = Dimension::ArrangementRowOf(state.ComboBox6);
    if (!arrangement) return true;
    const SettingsField& setting = control.value.setting;
    if (setting.index) return Dimension::Reads(*arrangement, setting.index);
    if (setting.flag) return Dimension::Reads(*arrangement, setting.flag);
    return true;
}

std::string_view SettingControlName(Dimension::SettingControl check)
{
    const ControlSpec* control = ControlOfCheck(check);
    return control ? control->name : std::string_view();
}

std::string_view SettingCaption(Dimension::SettingControl check)
{
    const ControlSpec* control = ControlOfCheck(check);
    return control ? UserCaption(*control) : std::string_view();
}

std::string SettingExplanation(Dimension::SettingControl check)
{
    const ControlSpec* control = ControlOfCheck(check);
    if (!control) return {};
    std::string text(control->value.explanation);
    const Dimension::NumberRange* range = Dimension::RangeOf(check);
    if (!range) return text;
    if (range->lowIncluded && range->low == 0.0 && !range->bounded) {
        return text + " must not be negative";
    }
    text += range->lowIncluded ? " must be at least " : " must be greater than ";
    text += MyFunc::GeneralNumberText(range->low);
    if (range->bounded) {
        text += range->highIncluded ? " and at most " : " and less than ";
        text += MyFunc::GeneralNumberText(range->high);
    }
    return text;
}

std::span<const std::string_view> NoticeLines() { return kNoticeLines; }

}  // namespace Unit1
