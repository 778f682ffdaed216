// The picture of a run painted with GDI: the second back end of the preview's shape list (the
// first writes SVG), for the dialog's strip and the larger picture window.
//
// Each direction of the run is placed by the shared fitting (preview/picture_fit.hpp): turned so
// that its dimension line lies horizontal and every value text reads upright, its whole band of
// lines, markers, texts and leaders inside its part of the area (lines across the dimension line
// may run off the edge). Both directions drawn: two parts with a light line between them. The
// selection is drawn faintly under each run, as far as it lies within the part. A value text too
// small to read (under seven pixels high at 96 DPI) is a light bar of its size instead. Where
// the picture holds no run, its message stands in the middle.
#pragma once

#include <windows.h>

#include <functional>

#include "dialog/run_picture.hpp"

namespace Unit1 {

enum class PictureFit { Strip, Window };

// A 32-bit top-down image of the given size for `dc`, its pixels (0x00RRGGBB, row by row) at
// `bits`; null when Windows has no room for one.
HBITMAP MakeImage(HDC dc, SIZE size, void** bits);

// Margins, marks, the smallest legible text and the message's font are sized for `dpi`, as the
// dialog is. `stop`, when given, is asked now and then while the shapes are painted; once it
// answers true the painting ends early and the image is incomplete (the caller throws it away).
void PaintRunPicture(HDC dc, const RECT& area, const RunPicture& picture, PictureFit fit, int dpi,
                     const std::function<bool()>& stop = {});

}  // namespace Unit1
