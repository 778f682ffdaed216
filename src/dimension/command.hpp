// The dimensioning command: what OK runs, from the dialog's values to the appended commands.
//
// Front-end neutral: the dialog and korvane-cli hand in the values as plain data, get an outcome
// back, and learn the progress through hooks. The sequence, in order: check the values (the
// first bad one refuses OK), let the front end save its settings, scale the paper-mm distances,
// acquire the measuring points, order and group them, check that two remain, lay out the run and
// append its commands to the writer. A request for both directions runs the stages from the
// acquisition on once per direction, the horizontal run first, into the same writer; the host's
// text kind is restored once, after both.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "dimension/arrangements.hpp"
#include "dimension/host_request.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

// Status texts shown while the command runs, in the order they appear (Shift-JIS).
inline constexpr std::string_view kStatusAcquiring =
    "\x93\x5f\x83\x66\x81\x5b\x83\x5e\x82\xcc\x8e\xe6\x93\xbe\x92\x86"
    "\x82\xc5\x82\xb7";  // 点データの取得中です
inline constexpr std::string_view kStatusSorting =
    "\x8e\xe6\x93\xbe\x82\xb5\x82\xbd\x93\x5f\x83\x66\x81\x5b\x83\x5e\x82\xcc\x95\xc0\x91\xd6"
    "\x82\xa6\x8f\x88\x97\x9d\x92\x86\x82\xc5\x82\xb7";  // 取得した点データの並替え処理中です
inline constexpr std::string_view kStatusCounting =
    "\x8e\xe6\x93\xbe\x82\xb5\x82\xbd\x93\x5f\x82\xcc\x90\x94\x82\xcc\x83\x60\x83\x46\x83\x62"
    "\x83\x4e\x92\x86\x82\xc5\x82\xb7";  // 取得した点の数のチェック中です
inline constexpr std::string_view kStatusDrawing =
    "\x8f\x88\x97\x9d\x92\x86\x82\xc5\x82\xb7";  // 処理中です
inline constexpr std::string_view kStatusWritingFile =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x90\xb6\x90\xac\x92\x86\x82\xc5\x82\xb7";  // ファイル生成中です

enum class CommandOutcome {
    Drawn,            // the run (or both runs) is in the writer's buffer; the front end closes
                      // and writes it
    Refused,          // a value failed its check: focus goes to CommandResult::focus
    TooFewPoints,     // fewer than two measuring points kept (in every direction asked for)
    CannotDimension,  // zero scale or a number that is not finite: nothing appended
    OutOfMemory,      // memory ran out: the buffer is emptied, and the run can only end ("hq")
    Stopped,          // the caller's stop hook said so between two stages: nothing appended
};

// What one direction of the command found and drew.
struct DirectionResult {
    RunDirection direction = RunDirection::Horizontal;
    bool drawn = false;              // false: fewer than two measuring points kept, none drawn
    std::size_t acquiredPoints = 0;
    std::size_t keptPoints = 0;
    std::size_t intervals = 0;       // between the kept points
    std::size_t staggeredTexts = 0;
    std::size_t dimensionLines = 0;  // drawn: intervals, parallel lines, the overall's
    std::size_t valueTexts = 0;
    // Drawn: how many lines of the command file its commands take. The directions' lines follow
    // each other in the order drawn, so a picture can tell whose each entity is.
    std::size_t commandLines = 0;
};

struct CommandResult {
    CommandOutcome outcome = CommandOutcome::Refused;
    SettingControl focus = SettingControl::None;
    DimensionArrangement arrangement = DimensionArrangement::Chain;
    // One per direction the host asked for, in the order they are drawn, as far as the command
    // got. When both were asked for and one has too few points, that one is skipped (drawn
    // false) and the other drawn; TooFewPoints only when neither has two.
    std::vector<DirectionResult> directions{};
};

struct CommandHooks {
    // A status text (Shift-JIS) to show at once: nothing else is processed while the command runs.
    std::function<void(std::string_view status)> progress;
    // Every check passed: the front end saves its settings now, before any point is acquired.
    std::function<void()> settingsAccepted;
    // Asked after each progress text: true stops the command there (a picture of a run that
    // newer values have already made useless).
    std::function<bool()> stop;
};

// Runs OK once. `settings` are the unscaled values read from the controls. The measuring points
// live for the call only. On CannotDimension the writer (buffer and attribute cache) is left
// exactly as it was before the call. Never throws for want of memory: that is OutOfMemory, with
// everything the command held released and the writer's buffer emptied.
CommandResult RunDimensionCommand(const DimensionSettings& settings,
                                  const RidEdaza::DrawingModel& model,
                                  const HostRequest& request,
                                  RidEdaza::CommandWriter& writer, const CommandHooks& hooks);

}  // namespace Dimension
