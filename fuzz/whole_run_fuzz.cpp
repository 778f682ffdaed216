// The whole run of korvane-cli on a hostile exchange file, a hostile settings file and either
// argument, with real files in a scratch folder.
//
// Input: a flag byte (bit 0: argument "1"; bit 3: argument "0" when bit 0 is clear; bit 5: then
// "V", a vertical run, or with bit 6 "HV", both runs; bit 1: Cancel; bit 2: no settings file;
// bit 4: no exchange file), the settings file's length (two
// bytes, little-endian, cut to what is there), the settings file, and the rest as the exchange
// file.
//
// What must always hold on a working disk: one of the documented exit codes and never "not
// written"; a command file that is "hq" alone whenever nothing was drawn; otherwise lines ended
// by CR LF with no CR or LF inside, at most 255 bytes (510 for a text command joined with its
// text) and no number spelled as infinity or NaN; a settings file untouched on Cancel or a
// refused value, and 27 CR LF lines once the values were accepted (28, the last an arrangement
// 1 to 3, when the arrangement is not the chain).
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.hpp"
#include "common/text.hpp"
#include "fuzz_support.hpp"

namespace {

void CheckCommandFile(const std::string& file, const std::string& context)
{
    if (file.empty()) Fuzz::Fail("the command file is empty", context);
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find("\r\n", start);
        const bool last = end == std::string::npos;
        if (last) end = file.size();
        const std::string_view line = std::string_view(file).substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            Fuzz::Fail("a command line holds a line-end byte", context + Fuzz::Printable(line));
        }
        const std::size_t quote = line.find('"');
        const std::size_t limit = quote == std::string_view::npos ? MyFunc::kMaxLineBytes
                                                                  : 2 * MyFunc::kMaxLineBytes;
        if (line.size() > limit) Fuzz::Fail("a command line is too long", context);
        // The numbers stand before the first quote; a font line holds only its name.
        if (line.substr(0, 3) != "cn\"" && Fuzz::SpellsNonFinite(line.substr(0, quote))) {
            Fuzz::Fail("a command line spells a number that is not finite",
                       context + Fuzz::Printable(line));
        }
        // Only a text command's own line may end without CR LF, at the end of the file.
        if (last && (quote == std::string_view::npos || line.back() != '"')) {
            Fuzz::Fail("the command file ends in a line without its line end", context);
        }
        start = last ? end : end + 2;
    }
}

void CheckSavedSettings(const std::string& file, const std::string& context)
{
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\n') continue;
        if (i == 0 || file[i - 1] != '\r') {
            Fuzz::Fail("a saved settings line lacks its CR", context);
        }
        ++lineEnds;
    }
    if (lineEnds == 28) {
        const std::size_t lineStart = file.rfind("\r\n", file.size() - 3) + 2;
        const std::string_view last = std::string_view(file).substr(lineStart);
        if (last != "1\r\n" && last != "2\r\n" && last != "3\r\n") {
            Fuzz::Fail("saved settings hold a 28th line that is not an arrangement", context);
        }
    } else if (lineEnds != 27 || file.back() != '\n') {
        Fuzz::Fail("saved settings are not 27 lines", context);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace fs = std::filesystem;
    Fuzz::InputReader input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::string settingsBytes(input.Bytes(input.U16()));
    const std::string exchangeBytes(input.Rest());
    const bool cancel = (flags & 2) != 0;
    const bool haveSettings = (flags & 4) == 0;
    const bool haveExchange = (flags & 16) == 0;

    const fs::path folder = Fuzz::ScratchFolder() / "run";
    const fs::path exchange = folder / "JWC_TEMP.TXT";
    const fs::path settings = folder / "Korvane.dat";
    std::error_code ignored;
    fs::create_directory(folder, ignored);
    fs::remove(exchange, ignored);
    fs::remove(settings, ignored);
    if (haveExchange) Fuzz::WriteWholeFile(exchange, exchangeBytes);
    if (haveSettings) Fuzz::WriteWholeFile(settings, settingsBytes);

    std::vector<std::string> args = {"--folder", folder.string(), "--settings", settings.string()};
    if (cancel) args.push_back("--cancel");
    if (flags & 1) {
        args.push_back("1");
    } else if (flags & 8) {
        args.push_back("0");
    }
    if (flags & 32) args.push_back(flags & 64 ? "HV" : "V");
    std::ostringstream out;
    std::ostringstream err;
    const int code = Cli::RunCli(args, folder / "korvane-cli", out, err);
    const std::string context = "exit " + std::to_string(code) + ": ";

    if (code != Cli::kExitDone && code != Cli::kExitRefused && code != Cli::kExitTooFewPoints &&
        code != Cli::kExitCannotDimension) {
        Fuzz::Fail("unexpected exit code", context + err.str());
    }
    const std::string commands = Fuzz::ReadWholeFile(exchange);
    const bool drawn = code == Cli::kExitDone && !cancel;
    if (!drawn && commands != "hq\r\n") {
        Fuzz::Fail("nothing was drawn, but the command file is not \"hq\"", context);
    }
    CheckCommandFile(commands, context);

    const bool settingsExist = fs::exists(settings);
    if (cancel || code == Cli::kExitRefused) {
        if (settingsExist != haveSettings ||
            (haveSettings && Fuzz::ReadWholeFile(settings) != settingsBytes)) {
            Fuzz::Fail("the settings file changed although nothing was accepted", context);
        }
    } else {
        if (!settingsExist) Fuzz::Fail("accepted values were not saved", context);
        CheckSavedSettings(Fuzz::ReadWholeFile(settings), context);
    }
    return 0;
}
