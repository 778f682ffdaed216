// korvane-preview: a picture of one run, standing in for the host, which draws the command lines
// only after the tool has ended.
//
// Both inputs are read with the exchange reader: the host's exchange file (its drawing state and
// the selection) and the command file the tool wrote back (the command language is a subset of
// the exchange file's line forms: attribute lines, "z3", four-number lines, "pt", text lines,
// "msg" + line + "cs" text). The command file has no header of its own, so its model takes the
// text kinds and layer-group scales of the input before it is read.
//
// The models become a list of shapes in drawing coordinates (preview_shapes.hpp), which any back
// end can draw; the program writes them as one SVG document (preview_svg.hpp): the selection in
// a muted colour, the run in strong colours.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/drawing_model.hpp"
#include "preview/preview_shapes.hpp"
#include "preview/preview_svg.hpp"

namespace Preview {

// Reads the exchange file into input and the command file into commands (fresh models). False,
// with a message, when either file cannot be read.
bool LoadPreviewModels(const std::filesystem::path& inputPath,
                       const std::filesystem::path& commandPath, RidEdaza::DrawingModel& input,
                       RidEdaza::DrawingModel& commands, std::string& problem);

// Reads a command file held in memory into commands (a fresh model), for the input it answers:
// its bytes as the tool writes them (CR LF, joined lines), read line for line as
// LoadPreviewModels reads the same bytes from the file. Never fails. `stop`, when given, is asked
// every few thousand lines; once it answers true the reading ends with only the lines before it.
void ReadCommandModel(const RidEdaza::DrawingModel& input, std::string_view commandFile,
                      RidEdaza::DrawingModel& commands, const std::function<bool()>& stop = {});

// The state a command model needs before its file is read: the input's text kinds (the sizes of
// "cn1".."cn10") and layer-group scales (paper mm to drawing units).
void PrepareCommandModel(const RidEdaza::DrawingModel& input, RidEdaza::DrawingModel& commands);

// The whole SVG document of the two models. Never fails: elements whose geometry is not finite
// are left out.
std::string RenderPreviewSvg(const RidEdaza::DrawingModel& input,
                             const RidEdaza::DrawingModel& commands,
                             const PreviewOptions& options);

// The program: korvane-preview INPUT COMMANDS [-o OUT.svg] [--grid] [--labels] [V | HV]. Writes the
// SVG to OUT.svg, or to out without -o; V draws the run as a vertical one. Exit codes: 0
// written, 2 a file could not be read, 3 the picture could not be written, 64 usage. Messages go
// to err.
int RunPreview(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& err);

}  // namespace Preview
