// Loading the two models of a picture, and the picture of them as SVG.
#include "preview/preview.hpp"

#include <string>

#include "exchange/exchange_reader.hpp"

namespace Preview {

using RidEdaza::DrawingModel;

void PrepareCommandModel(const DrawingModel& input, DrawingModel& commands)
{
    commands.state.textKinds = input.state.textKinds;
    commands.state.layerGroupScale = input.state.layerGroupScale;
}

bool LoadPreviewModels(const std::filesystem::path& inputPath,
                       const std::filesystem::path& commandPath, DrawingModel& input,
                       DrawingModel& commands, std::string& problem)
{
    auto name = [](const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    };
    input = DrawingModel{};
    commands = DrawingModel{};
    if (!RidEdaza::ReadExchangeFile(input, inputPath)) {
        problem = "cannot read the exchange file " + name(inputPath);
        return false;
    }
    PrepareCommandModel(input, commands);
    if (!RidEdaza::ReadExchangeFile(commands, commandPath)) {
        problem = "cannot read the command file " + name(commandPath);
        return false;
    }
    return true;
}

void ReadCommandModel(const DrawingModel& input, std::string_view commandFile,
                      DrawingModel& commands, const std::function<bool()>& stop)
{
    commands = DrawingModel{};
    PrepareCommandModel(input, commands);
    RidEdaza::ReadExchangeText(commands, commandFile, stop);
}

std::string RenderPreviewSvg(const DrawingModel& input, const DrawingModel& commands,
                             const PreviewOptions& options)
{
    return WritePreviewSvg(BuildPreviewShapes(input, commands, options.runs), options);
}

}  // namespace Preview
