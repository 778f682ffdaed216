// The command line of korvane-preview.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"
#include "preview/preview.hpp"

namespace Preview {
namespace {

constexpr int kExitWritten = 0;
constexpr int kExitUnreadable = 2;
constexpr int kExitNotWritten = 3;
constexpr int kExitUsage = 64;

constexpr const char* kUsage =
    "usage: korvane-preview INPUT COMMANDS [-o OUT.svg] [--grid] [--labels] [V | HV]\n"
    "  INPUT     the host's exchange file as it was before the tool ran\n"
    "  COMMANDS  the command file the tool wrote back\n"
    "  V         the run was a vertical one (the tool's argument V)\n"
    "  HV        both runs, horizontal and vertical (the tool's argument HV)\n"
    "  -o FILE   write the SVG picture to FILE (default: standard output)\n"
    "  --grid    draw a light grid behind the drawing\n"
    "  --labels  label the measuring points with their positions along the run\n";

std::string Utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

int RunPreview(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& err)
{
    std::vector<std::filesystem::path> files;
    std::filesystem::path output;
    bool toFile = false;
    PreviewOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = Utf8(args[i]);
        if (arg == "--grid") {
            options.grid = true;
        } else if (arg == "--labels") {
            options.labels = true;
        } else if (arg == "-h" || arg == "--help") {
            out << kUsage;
            return kExitWritten;
        } else if (arg == "-o") {
            if (toFile || i + 1 == args.size()) {
                err << kUsage;
                return kExitUsage;
            }
            output = args[++i];
            toFile = true;
        } else if (arg.size() > 1 && arg.front() == '-') {
            err << "korvane-preview: unknown option " << arg << "\n" << kUsage;
            return kExitUsage;
        } else {
            files.push_back(args[i]);
        }
    }
    // A third word V (or v) says the run measured vertically, HV (or hv) that both runs were
    // drawn, as the tool's own arguments do.
    if (files.size() == 3 && Dimension::IsVerticalArgument(Utf8(files[2]))) {
        options.runs = Dimension::RequestedRuns::Vertical;
        files.pop_back();
    } else if (files.size() == 3 && Dimension::IsBothDirectionsArgument(Utf8(files[2]))) {
        options.runs = Dimension::RequestedRuns::Both;
        files.pop_back();
    }
    if (files.size() != 2) {
        err << kUsage;
        return kExitUsage;
    }

    RidEdaza::DrawingModel input;
    RidEdaza::DrawingModel commands;
    std::string problem;
    if (!LoadPreviewModels(files[0], files[1], input, commands, problem)) {
        err << "korvane-preview: " << problem << "\n";
        return kExitUnreadable;
    }
    const std::string svg = RenderPreviewSvg(input, commands, options);

    if (!toFile) {
        out << svg;
        out.flush();
        return out ? kExitWritten : kExitNotWritten;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    file.close();
    if (!file) {
        std::error_code ignored;
        std::filesystem::remove(output, ignored);  // no half picture left behind
        err << "korvane-preview: cannot write " << Utf8(output) << "\n";
        return kExitNotWritten;
    }
    return kExitWritten;
}

}  // namespace Preview
