// korvane-cli: the dimensioning tool without a window. Same core, same files, same bytes.
//
//   korvane-cli [--folder DIR] [--settings FILE] [--set NAME=VALUE]... [--cancel] [--summary]
//               [--] [MODE [V]]
//   korvane-cli --help | -h | --version
//
// It behaves as the dialog would: the controls start at their defaults, the exchange file
// DIR/JWC_TEMP.TXT is read, the text-kind list is filled, the settings FILE is loaded, then each
// --set assigns a control by its name (ComboBox3=0, Edit7=3.5, CheckBox5=1, RadioGroup2=1).
// MODE and V are the host's arguments, as the launcher passes them: MODE "1" selects
// indicated-points mode (anything else a range selection), and a "V" or "v" as the first or
// second argument a vertical run (the host's axis turned by 90 degrees); after MODE only V may
// follow. --cancel closes as Cancel; otherwise OK is pressed once and the dialog closes as it
// would.
//
// --help and -h write the usage with every control --set can set (its caption, values, check
// and default, from the controls table), --version the program's version; both to `out`, exit 0,
// and touch no file. Before "--", any other argument that begins with "-" is a usage error;
// after it every argument is the host's.
//
// Exit codes: 0 drawn or cancelled, 2 a value failed its check (the control's name on stderr),
// 3 fewer than two measuring points, 4 cannot dimension (zero scale, a number not finite),
// 5 the command file could not be written (overrides every other code), 6 memory ran out
// (the message on stderr, "hq" written; also with --cancel), 64 usage.
// In every case but 64, --help and --version the command file is written: the run, or "hq" when
// nothing was drawn.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace Cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitTooFewPoints = 3;
inline constexpr int kExitCannotDimension = 4;
inline constexpr int kExitNotWritten = 5;
inline constexpr int kExitOutOfMemory = 6;
inline constexpr int kExitUsage = 64;

// Runs the tool once. `args` are the command-line arguments after the program name, as UTF-8;
// `executable` is the program's own path (the defaults for DIR and FILE derive from it).
int RunCli(const std::vector<std::string>& args, const std::filesystem::path& executable,
           std::ostream& out, std::ostream& err);

}  // namespace Cli
