#include "cli/cli.hpp"

#include <optional>
#include <string_view>

#include "cli_version.hpp"
#include "common/cp932.hpp"
#include "common/number_text.hpp"
#include "common/text.hpp"
#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dialog/tool_run.hpp"
#include "dimension/arrangements.hpp"
#include "dimension/command.hpp"
#include "dimension/host_request.hpp"
#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"

namespace Cli {
namespace {

constexpr std::string_view kUsage =
    "usage: korvane-cli [--folder DIR] [--settings FILE] [--set NAME=VALUE]... [--cancel]\n"
    "                   [--summary] [--] [MODE [V | HV]]\n"
    "       korvane-cli --help | -h | --version\n";

// The help after the usage, up to the controls, which the controls table lists.
constexpr std::string_view kHelpOptions =
    "\n"
    "Does what the tool's dialog does, without a window: reads the host's exchange file\n"
    "DIR/JWC_TEMP.TXT, loads the settings FILE, sets the controls, presses OK once and writes the\n"
    "commands for the host back into DIR/JWC_TEMP.TXT (\"hq\" when nothing is drawn).\n"
    "\n"
    "  --folder DIR      the tool's folder, which holds JWC_TEMP.TXT (default: the program's)\n"
    "  --settings FILE   the settings file (default: the program's path ending in .dat)\n"
    "  --set NAME=VALUE  sets a control after the settings file is loaded (controls below)\n"
    "  --cancel          closes as Cancel: the host finds \"hq\"\n"
    "  --summary         writes what was read and what the run found to standard output\n"
    "  -h, --help        writes this help and ends\n"
    "  --version         writes the version and ends\n"
    "  --                every argument after it is the host's, even one that begins with \"-\"\n"
    "  MODE              the host's first argument: 1 the points indicated one by one, anything\n"
    "                    else a range selection\n"
    "  V                 (or v, as the first or the second argument) a vertical run\n"
    "  HV                (or hv, where V may stand) both runs from the same selection in one\n"
    "                    go: the horizontal run, then the vertical one; a direction with fewer\n"
    "                    than two measuring points is skipped and the other one drawn\n"
    "\n"
    "Exit codes: 0 drawn or cancelled, 2 a value failed its check, 3 fewer than two measuring\n"
    "points, 4 cannot dimension, 5 the command file could not be written, 6 memory ran out,\n"
    "64 usage.\n"
    "\n"
    "Controls for --set NAME=VALUE, VALUE in printable ASCII. The defaults are the dialog's own;\n"
    "a settings file replaces them. An index past a list's end leaves it without a selection (a\n"
    "radio group: its last item); a negative index other than -1 selects the first item.\n";

struct Options {
    std::optional<std::filesystem::path> folder;
    std::optional<std::filesystem::path> settings;
    std::vector<std::string> sets;
    bool cancel = false;
    bool summary = false;
    std::vector<std::string> positional;  // the host's arguments
};

std::filesystem::path PathFromUtf8(const std::string& text)
{
    std::u8string u8;
    u8.reserve(text.size());
    for (char c : text) u8.push_back(static_cast<char8_t>(c));
    return std::filesystem::path(u8);
}

std::string PathText(const std::filesystem::path& path)
{
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

// A dialog text (Shift-JIS) for the terminal.
std::string Utf8(std::string_view shiftJis) { return MyFunc::Cp932ToUtf8(shiftJis); }

// The arrangements whose runs do not read the control (ComboBox6's items): greyed out there, not
// checked, still saved.
void WriteUnusedIn(const Unit1::ControlSpec& control, std::ostream& out)
{
    std::string unused;
    Unit1::DialogState state;
    for (std::size_t i = 0; i < Dimension::kArrangements.size(); ++i) {
        state.ComboBox6 = static_cast<std::int32_t>(i);
        if (Unit1::ControlInUse(state, control)) continue;
        unused += unused.empty() ? "" : ", ";
        unused += std::to_string(i) + ' ' + Utf8(Dimension::kArrangements[i].caption) + " (" +
                  std::string(Dimension::kArrangements[i].name) + ')';
    }
    if (unused.empty()) return;
    out << "      unused:  when ComboBox6 is " << unused
        << ": greyed out and not checked, still saved\n";
}

// One control's entry in the help: its name and caption, the values --set gives it, the check OK
// makes of it, and its default.
void WriteControlHelp(const Unit1::ControlSpec& control, std::ostream& out)
{
    const Unit1::StateField& field = control.value.state;
    out << "  " << control.name << "  " << Utf8(Unit1::UserCaption(control)) << "\n";
    out << "      values:  ";
    if (field.checked) {
        out << "0 clear, 1 ticked (any integer but 0 ticks it)";
    } else if (field.index) {
        // The one list without items of its own is filled from the drawing's text kinds.
        if (control.items.empty()) out << "0 the host's current text kind, 1 to 10 No1 to No10";
        const bool arrangements =
            control.value.setting.index == &Dimension::DimensionSettings::Arrangement;
        for (std::size_t i = 0; i < control.items.size(); ++i) {
            out << (i == 0 ? "" : ", ") << i << ' ' << Utf8(control.items[i]);
            if (arrangements) out << " (" << Dimension::kArrangements[i].name << ')';
        }
        out << "; -1 no selection";
    } else if (control.value.setting.number) {
        out << "a number";
    } else {
        out << "any text (Japanese only through the settings file)";
    }
    out << "\n";
    if (control.value.check != Dimension::SettingControl::None) {
        out << "      checked: " << Unit1::SettingExplanation(control.value.check) << "\n";
    }
    WriteUnusedIn(control, out);
    out << "      default: ";
    if (field.checked) {
        out << (control.defaultChecked ? "1" : "0");
    } else if (field.index && control.defaultIndex < 0) {
        out << "-1 (no selection)";
    } else if (field.index) {
        out << control.defaultIndex;
        const auto at = static_cast<std::size_t>(control.defaultIndex);
        if (at < control.items.size()) out << " (" << Utf8(control.items[at]) << ')';
    } else if (control.defaultText.empty()) {
        out << "empty";
    } else {
        out << control.defaultText;
    }
    out << "\n";
}

// The usage, every option, and every control --set can set, as the controls table holds them.
void WriteHelp(std::ostream& out)
{
    out << kUsage << kHelpOptions;
    for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
        const Unit1::StateField& field = control.value.state;
        if (field.index || field.text || field.checked) WriteControlHelp(control, out);
    }
}

enum class Request { Run, Help, Version, Usage };

// Parses the arguments; Usage on a usage error (message already written). Help and version are
// answered as soon as they are met.
Request ParseArguments(const std::vector<std::string>& args, Options& options,
                       std::ostream& err)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string_view name) -> const std::string* {
            if (i + 1 >= args.size()) {
                err << "korvane-cli: " << name << " needs a value\n" << kUsage;
                return nullptr;
            }
            return &args[++i];
        };
        if (optionsEnded || !a.starts_with('-')) {
            // The host's arguments: the mode, and V or HV after it.
            if (options.positional.empty()) {
                options.positional.push_back(a);
            } else if (options.positional.size() == 1 &&
                       (Dimension::IsVerticalArgument(a) ||
                        Dimension::IsBothDirectionsArgument(a))) {
                options.positional.push_back(a);
            } else {
                err << "korvane-cli: after the mode only V (a vertical run) or HV (both runs) "
                       "may follow\n"
                    << kUsage;
                return Request::Usage;
            }
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help" || a == "-h") {
            return Request::Help;
        } else if (a == "--version") {
            return Request::Version;
        } else if (a == "--folder") {
            const std::string* v = value(a);
            if (!v) return Request::Usage;
            options.folder = PathFromUtf8(*v);
        } else if (a == "--settings") {
            const std::string* v = value(a);
            if (!v) return Request::Usage;
            options.settings = PathFromUtf8(*v);
        } else if (a == "--set") {
            const std::string* v = value(a);
            if (!v) return Request::Usage;
            options.sets.push_back(*v);
        } else if (a == "--cancel") {
            options.cancel = true;
        } else if (a == "--summary") {
            options.summary = true;
        } else {
            // Also "-1" and "-": the host never passes one; "--" lets a script pass it.
            err << "korvane-cli: unknown option " << a << "\n" << kUsage;
            return Request::Usage;
        }
    }
    return Request::Run;
}

// Applies one NAME=VALUE; false with a message when it cannot be applied.
bool ApplySet(Unit1::DialogState& dialog, const std::string& assignment, std::ostream& err)
{
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos) {
        err << "korvane-cli: --set needs NAME=VALUE, not " << assignment << "\n";
        return false;
    }
    const std::string_view name = std::string_view(assignment).substr(0, eq);
    const std::string_view value = std::string_view(assignment).substr(eq + 1);
    if (!Unit1::SetControl(dialog, name, value)) {
        err << "korvane-cli: cannot set " << name << " to \"" << value
            << "\" (unknown control, or a value it cannot take)\n";
        return false;
    }
    return true;
}

void PrintModelSummary(const RidEdaza::DrawingModel& model, bool fileRead, std::ostream& out)
{
    using MyFunc::GeneralNumberText;
    const RidEdaza::DrawingState& s = model.state;
    out << "exchange file: " << (fileRead ? "read" : "missing or unreadable") << "\n";
    out << "entities: lines " << model.lines.size() << ", circles " << model.circles.size()
        << ", arcs " << model.arcs.size() << ", texts " << model.texts.size() << ", points "
        << model.points.size() << ", marker points " << model.markerPoints.size()
        << ", dimension figures " << model.dimensions.size() << ", blocks "
        << model.blocks.size() << ", other " << (model.sl2.size() + model.sl3.size() +
                                                  model.sl4.size() + model.sc.size() +
                                                  model.se.size() + model.so.size() +
                                                  model.sg.size())
        << "\n";
    out << "axis angle: " << GeneralNumberText(s.axisAngle) << "\n";
    out << "current layer group: " << s.initialLayerGroup << ", scales:";
    for (double scale : s.layerGroupScale) out << ' ' << GeneralNumberText(scale);
    out << "\ntext kinds (W H D colour):";
    for (const RidEdaza::TextKind& k : s.textKinds) {
        out << " [" << GeneralNumberText(k.width) << ' ' << GeneralNumberText(k.height) << ' '
            << GeneralNumberText(k.spacing) << ' ' << k.colour << ']';
    }
    out << "\ncurrent text kind: " << s.initialTextKind << "\nindicated points:";
    int count = 0;
    for (std::size_t n = 1; n < s.indicatedPoints.size(); ++n) {
        const RidEdaza::IndicatedPoint& p = s.indicatedPoints[n];
        if (!p.present) continue;
        out << ' ' << n << ":(" << GeneralNumberText(p.x) << ", " << GeneralNumberText(p.y) << ')';
        ++count;
    }
    if (count == 0) out << " none";
    out << "\n";
}

std::string_view DirectionName(Dimension::RunDirection direction)
{
    switch (direction) {
    case Dimension::RunDirection::Horizontal: return "horizontal";
    case Dimension::RunDirection::Vertical: return "vertical";
    }
    return "horizontal";
}

// What one direction found and drew.
void PrintDirectionSummary(const Dimension::DirectionResult& run, bool drawn,
                           Dimension::DimensionArrangement arrangement, std::ostream& out)
{
    out << "points acquired: " << run.acquiredPoints << ", kept: " << run.keptPoints
        << "\nintervals: " << run.intervals << ", texts staggered: " << run.staggeredTexts
        << "\n";
    if (drawn && run.drawn) {
        const Dimension::ArrangementRow* row =
            Dimension::ArrangementRowOf(static_cast<std::int32_t>(arrangement));
        out << "arrangement: " << (row ? row->name : "")
            << ", dimension lines: " << run.dimensionLines << ", value texts: " << run.valueTexts
            << "\n";
    }
}

// What the run found and drew: for one direction as it always was; for both, each direction
// under its name, and a direction skipped for too few points says so.
void PrintRunSummary(const Dimension::CommandResult& result, Dimension::RequestedRuns runs,
                     std::ostream& out)
{
    const bool drawn = result.outcome == Dimension::CommandOutcome::Drawn;
    if (runs != Dimension::RequestedRuns::Both) {
        PrintDirectionSummary(result.directions.empty() ? Dimension::DirectionResult{}
                                                        : result.directions.front(),
                              drawn, result.arrangement, out);
        return;
    }
    for (const Dimension::DirectionResult& run : result.directions) {
        out << DirectionName(run.direction) << ":\n";
        PrintDirectionSummary(run, drawn, result.arrangement, out);
        if (drawn && !run.drawn) {
            out << "skipped: fewer than two measuring points in this direction\n";
        }
    }
}

// Says why nothing was drawn, and gives the exit code of the outcome.
int ReportOutcome(const Dimension::CommandResult& result, std::ostream& err)
{
    switch (result.outcome) {
    case Dimension::CommandOutcome::Drawn:
    case Dimension::CommandOutcome::Stopped:  // korvane-cli never asks the command to stop
        return kExitDone;
    case Dimension::CommandOutcome::Refused:
        err << Unit1::SettingControlName(result.focus) << ": "
            << Unit1::SettingExplanation(result.focus) << "\n";
        return kExitRefused;
    case Dimension::CommandOutcome::TooFewPoints:
        err << MyFunc::Cp932ToUtf8(Unit1::kTooFewPointsMessage) << "\n";
        return kExitTooFewPoints;
    case Dimension::CommandOutcome::CannotDimension:
        err << "korvane-cli: cannot dimension: a layer-group scale is 0 or a coordinate is "
               "not a finite number\n";
        return kExitCannotDimension;
    case Dimension::CommandOutcome::OutOfMemory:
        err << MyFunc::Cp932ToUtf8(Unit1::kOutOfMemoryMessage) << "\n";
        return kExitOutOfMemory;
    }
    return kExitDone;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::filesystem::path& executable,
           std::ostream& out, std::ostream& err)
{
    Options options;
    switch (ParseArguments(args, options, err)) {
    case Request::Run:
        break;
    case Request::Help:
        WriteHelp(out);
        return kExitDone;
    case Request::Version:
        out << "korvane-cli " << kVersion << "\n";
        return kExitDone;
    case Request::Usage:
        return kExitUsage;
    }
    for (const std::string& assignment : options.sets) {
        if (!MyFunc::IsPrintableAscii(assignment)) {
            err << "korvane-cli: --set values are printable ASCII; Japanese texts come "
                   "through the settings file\n";
            return kExitUsage;
        }
    }

    Unit1::ToolRun run;
    run.files = Unit1::ToolFilesBeside(executable);
    if (options.folder) run.files.toolFolder = *options.folder;
    if (options.settings) run.files.settingsFile = *options.settings;
    run.request = Dimension::ReadHostArguments(options.positional);

    Unit1::DialogState dialog = Unit1::OpenToolRun(run, Unit1::DefaultDialogState());
    for (const std::string& assignment : options.sets) {
        if (!ApplySet(dialog, assignment, err)) return kExitUsage;
    }
    if (options.summary && run.model) PrintModelSummary(*run.model, run.exchangeFileRead, out);

    int exitCode = kExitDone;
    if (run.outOfMemory) {
        // The drawing could not be held: nothing to press OK on, whatever was asked.
        err << MyFunc::Cp932ToUtf8(Unit1::kOutOfMemoryMessage) << "\n";
        exitCode = kExitOutOfMemory;
    } else if (!options.cancel) {
        const Dimension::CommandResult result = Unit1::PressOk(run, dialog, Unit1::OkHooks{});
        exitCode = ReportOutcome(result, err);
        if (options.summary) PrintRunSummary(result, run.request.runs, out);
    }

    if (!Unit1::CloseToolRun(run)) {
        err << "korvane-cli: the command file "
            << PathText(run.files.toolFolder / Unit1::kExchangeFileName)
            << " could not be written\n";
        return kExitNotWritten;
    }
    return exitCode;
}

}  // namespace Cli
