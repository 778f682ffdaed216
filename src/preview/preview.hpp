// korvane-preview: a picture of one run, standing in for the host, which draws the command lines
// only after the tool has ended.
//
// Both files are read with the exchange reader: the host's exchange file (its drawing state and
// the selection) and the command file the tool wrote back (the command language is a subset of
// the exchange file's line forms: attribute lines, "z3", four-number lines, "pt", text lines,
// "msg" + line + "cs" text). The command file has no header of its own, so its model takes the
// text kinds and layer-group scales of the input before it is read.
//
// The picture is one SVG document (UTF-8, Y axis up, fitted with a margin): the selection in a
// muted colour, the run in strong colours. Elements carry a class per kind so that they can be
// counted: "sel-*" for the selection, "run-line", "run-text", "run-point", "run-marker" (with
// data-code), "run-dimension" for the run, "label" for the measuring-point labels.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/drawing_model.hpp"

namespace Preview {

struct PreviewOptions {
    bool grid = false;    // a light grid behind the drawing
    bool labels = false;  // the measuring points' positions along the dimension line
};

// Reads the exchange file into input and the command file into commands (fresh models). False,
// with a message, when either file cannot be read.
bool LoadPreviewModels(const std::filesystem::path& inputPath,
                       const std::filesystem::path& commandPath, RidEdaza::DrawingModel& input,
                       RidEdaza::DrawingModel& commands, std::string& problem);

// The state a command model needs before its file is read: the input's text kinds (the sizes of
// "cn1".."cn10") and layer-group scales (paper mm to drawing units).
void PrepareCommandModel(const RidEdaza::DrawingModel& input, RidEdaza::DrawingModel& commands);

// The whole SVG document. Never fails: elements whose geometry is not finite are left out.
std::string RenderPreviewSvg(const RidEdaza::DrawingModel& input,
                             const RidEdaza::DrawingModel& commands,
                             const PreviewOptions& options);

// Shift-JIS bytes as UTF-8: ASCII, half-width katakana, the symbol row (ideographic space,
// full-width punctuation, the marker symbols), full-width digits and letters, hiragana, katakana
// and the two full-width quotes of the IBM rows. Anything else, a lone lead byte and control
// bytes become U+FFFD.
std::string Utf8FromShiftJis(std::string_view text);

// The program: korvane-preview INPUT COMMANDS [-o OUT.svg] [--grid] [--labels]. Writes the SVG
// to OUT.svg, or to out without -o. Exit codes: 0 written, 2 a file could not be read, 3 the
// picture could not be written, 64 usage. Messages go to err.
int RunPreview(const std::vector<std::filesystem::path>& args, std::ostream& out,
               std::ostream& err);

}  // namespace Preview
