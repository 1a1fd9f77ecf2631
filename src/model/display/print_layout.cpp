#include "model/display/print_layout.h"

#include <algorithm>
#include <cstdint>

namespace {

// A printed size of w x h centred on the printable area; both sides fit it.
PixelRect Centred(std::int64_t w, std::int64_t h, int printableWidth, int printableHeight) {
    int left = static_cast<int>(printableWidth / 2 - w / 2);
    int top = static_cast<int>(printableHeight / 2 - h / 2);
    // Right and bottom follow from the printed size rather than from the
    // centre, so an odd printed size keeps its last device pixel and no
    // picture column or row is squeezed out.
    return {left, top, left + static_cast<int>(w), top + static_cast<int>(h)};
}

} // namespace

PixelRect PrintLayout(int width, int height, int printableWidth, int printableHeight) {
    if (width <= 0 || height <= 0 || printableWidth <= 0 || printableHeight <= 0)
        return {};
    const std::int64_t w = width;
    const std::int64_t h = height;
    const std::int64_t pw = printableWidth;
    const std::int64_t ph = printableHeight;
    const std::int64_t scale = std::min(pw / w, ph / h);
    if (scale >= 1)
        return Centred(w * scale, h * scale, printableWidth, printableHeight);
    // Too large for the sheet: a blank page helps nobody, so the picture is
    // reduced to the largest size of its proportions that fits. The side
    // that limits the fit takes the whole printable length.
    if (pw * h <= ph * w)
        return Centred(pw, std::max<std::int64_t>(1, h * pw / w), printableWidth, printableHeight);
    return Centred(std::max<std::int64_t>(1, w * ph / h), ph, printableWidth, printableHeight);
}
