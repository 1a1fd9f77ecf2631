#include "model/display/print_layout.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct LayoutCase {
    const char* what;
    int width, height, printableWidth, printableHeight;
    PixelRect expected;
};

const LayoutCase kCases[] = {
    // 4800 / 640 = 7, 6600 / 480 = 13: enlarged 7 times, centred on (2400, 3300).
    {"a page on a high-resolution sheet", 640, 480, 4800, 6600, {160, 1620, 4640, 4980}},
    {"an exact fit", 640, 480, 640, 480, {0, 0, 640, 480}},
    {"an exact fit twice over", 320, 240, 640, 480, {0, 0, 640, 480}},
    {"a tall picture: the height decides", 100, 400, 1000, 1000, {400, 100, 600, 900}},
    {"a wide picture: the width decides", 400, 100, 1000, 1000, {100, 400, 900, 600}},
    {"just short of the next factor", 100, 100, 299, 1000, {49, 400, 249, 600}},
    // 641 x 481 at 1: the odd printed size keeps its last column and row.
    {"an odd size keeps every pixel", 641, 481, 641, 481, {0, 0, 641, 481}},
    {"an odd size on an even area", 3, 3, 10, 10, {1, 1, 10, 10}},
    // Larger than the sheet: reduced to fit, proportions kept, centred.
    {"too wide: reduced to the width", 2000, 1000, 1000, 1000, {0, 250, 1000, 750}},
    {"too tall: reduced to the height", 1000, 3000, 2000, 1500, {750, 0, 1250, 1500}},
    {"too large both ways", 9000, 6000, 4800, 6600, {0, 1700, 4800, 4900}},
    {"a hairline too long keeps one pixel", 100000, 1, 1000, 1000, {0, 500, 1000, 501}},
    // 131071 times, without overflow on the way.
    {"the largest picture on the largest area",
     16384,
     16384,
     std::numeric_limits<int>::max(),
     std::numeric_limits<int>::max(),
     {8191, 8191, 2147475455, 2147475455}},
    {"no picture width", 0, 480, 4800, 6600, {}},
    {"a negative height", 640, -480, 4800, 6600, {}},
    {"no printable area", 640, 480, 0, 0, {}},
    {"a negative printable height", 640, 480, 4800, -1, {}},
};

TEST(PrintLayoutTest, PlacesThePictureOnTheSheet) {
    for (const LayoutCase& c : kCases) {
        PixelRect r = PrintLayout(c.width, c.height, c.printableWidth, c.printableHeight);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(r, c.expected);
    }
}

} // namespace
