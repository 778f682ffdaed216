// The shapes of a run written as one SVG document: UTF-8, Y axis down, the drawing fitted into
// at most 1120 x 800 pixels with a 40-pixel margin around it.
//
// The selection is drawn in a group under the run. Every element carries a class per kind so
// that the picture can be counted: "sel-*" for the selection ("sel-line", ..., "sel-height-point",
// "sel-indicated" with data-number), "run-line", "run-text", "run-point", "run-marker" (with
// data-code), "run-dimension" for the run, "label" for the measuring-point labels. Numbers have
// a fixed number of decimals at most, no trailing zeros, and stay within +-1e7, so that the text
// is the same on every target.
#pragma once

#include <string>

#include "preview/preview_shapes.hpp"

namespace Preview {

struct PreviewOptions {
    bool grid = false;    // a light grid behind the drawing
    bool labels = false;  // the measuring points' positions along the dimension line
    // The runs the host asked for (their directions): the labels follow each.
    Dimension::RequestedRuns runs = Dimension::RequestedRuns::Horizontal;
};

// The whole SVG document. Never fails: the shapes are finite, and a number the fitting makes too
// large is clamped.
std::string WritePreviewSvg(const PreviewShapes& shapes, const PreviewOptions& options);

}  // namespace Preview
