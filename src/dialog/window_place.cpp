#include "dialog/window_place.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace Unit1 {
namespace {

// Sums of coordinates and sizes are formed in 64 bits: a saved position may be any 32-bit value.
using Wide = std::int64_t;

std::int32_t Narrow(Wide value)
{
    return static_cast<std::int32_t>(std::clamp<Wide>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

Wide Width(const ScreenRect& r) { return Wide{r.right} - r.left; }
Wide Height(const ScreenRect& r) { return Wide{r.bottom} - r.top; }

// A candidate place, in 64 bits until it is known to lie inside the work area.
struct Place {
    Wide left = 0;
    Wide top = 0;
    Wide right = 0;
    Wide bottom = 0;
};

bool Inside(const Place& r, const ScreenRect& work)
{
    return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
           r.bottom <= work.bottom;
}

ScreenRect ToScreen(const Place& r)
{
    return {Narrow(r.left), Narrow(r.top), Narrow(r.right), Narrow(r.bottom)};
}

// The largest window of at most `size` that fits into the work area to the right of `obstacle`,
// to its left, below or above it, level with `levelTop` where that place allows; empty (all
// zero) when no place holds at least `least`.
Place LargestPlaceBeside(const ScreenRect& obstacle, const ScreenRect& work, ScreenSize size,
                         Wide levelTop, ScreenSize least)
{
    const std::array<Place, 4> places = {{
        {obstacle.right, work.top, work.right, work.bottom},
        {work.left, work.top, obstacle.left, work.bottom},
        {work.left, obstacle.bottom, work.right, work.bottom},
        {work.left, work.top, work.right, obstacle.top},
    }};
    Place best{};
    Wide bestArea = 0;
    for (const Place& place : places) {
        // An obstacle partly off its monitor leaves places that reach past the work area.
        const Place free{std::max<Wide>(place.left, work.left), std::max<Wide>(place.top, work.top),
                         std::min<Wide>(place.right, work.right),
                         std::min<Wide>(place.bottom, work.bottom)};
        const Wide width = std::min<Wide>(free.right - free.left, size.width);
        const Wide height = std::min<Wide>(free.bottom - free.top, size.height);
        if (width < std::max(1, least.width) || height < std::max(1, least.height)) continue;
        if (width * height > bestArea) {
            const Wide top = std::max(free.top, std::min(levelTop, free.bottom - height));
            bestArea = width * height;
            best = Place{free.left, top, free.left + width, top + height};
        }
    }
    return best;
}

bool IsEmpty(const Place& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

ScreenRect WindowRectAt(std::int32_t left, std::int32_t top, ScreenSize size)
{
    return {left, top, Narrow(Wide{left} + size.width), Narrow(Wide{top} + size.height)};
}

DialogPlace PlaceDialog(std::int32_t left, std::int32_t top, ScreenSize full,
                        std::int32_t stripGive, const ScreenRect& work)
{
    const Wide least = std::max<Wide>(0, Wide{full.height} - std::max(0, stripGive));
    Wide height = full.height;
    // The strip gives way just as far as the work area asks, and no further than it can.
    if (height > Height(work)) height = std::max(least, Height(work));
    if (full.width > Width(work) || height > Height(work)) {
        return {work.left, work.top, Narrow(height)};
    }
    // Inside the work area, as near the wanted place as that allows.
    const Wide x = std::clamp<Wide>(left, work.left, Wide{work.right} - full.width);
    const Wide y = std::clamp<Wide>(top, work.top, Wide{work.bottom} - height);
    return {Narrow(x), Narrow(y), Narrow(height)};
}

ScreenRect PlacePictureWindow(const ScreenRect& dialog, const ScreenRect& buttons,
                              const ScreenRect& work, ScreenSize size, ScreenSize least)
{
    // Where the work area is smaller than the least size, the work area wins.
    least.width = Narrow(std::min<Wide>(least.width, Width(work)));
    least.height = Narrow(std::min<Wide>(least.height, Height(work)));
    // Beside the dialog, moved along that side as far as the work area asks.
    const Wide top =
        std::max<Wide>(work.top, std::min<Wide>(dialog.top, Wide{work.bottom} - size.height));
    const Wide left =
        std::max<Wide>(work.left, std::min<Wide>(dialog.left, Wide{work.right} - size.width));
    const std::array<Place, 3> beside = {{
        {dialog.right, top, Wide{dialog.right} + size.width, top + size.height},
        {Wide{dialog.left} - size.width, top, dialog.left, top + size.height},
        {left, dialog.bottom, left + size.width, Wide{dialog.bottom} + size.height},
    }};
    for (const Place& r : beside) {
        if (Inside(r, work)) return ToScreen(r);
    }
    // Shrunk into the largest free place beside the dialog, if it holds the least size.
    const Place shrunk = LargestPlaceBeside(dialog, work, size, dialog.top, least);
    if (!IsEmpty(shrunk)) return ToScreen(shrunk);
    // The dialog leaves no such room: over part of it, but never over OK and Cancel; at the
    // least size where the room beside them allows, else as large as it allows.
    for (const ScreenSize atLeast : {least, ScreenSize{1, 1}}) {
        const Place overDialog = LargestPlaceBeside(buttons, work, size, dialog.top, atLeast);
        if (!IsEmpty(overDialog)) return ToScreen(overDialog);
    }
    return ToScreen(Place{work.left, work.top,
                          std::min<Wide>(work.right, Wide{work.left} + size.width),
                          std::min<Wide>(work.bottom, Wide{work.top} + size.height)});
}

}  // namespace Unit1
