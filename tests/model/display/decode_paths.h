// The codec decodes a file in three ways: LoadDIB and DIBToBitmap, the
// colours alone (DecodeDIBPixels), and bitmap and colours together into
// memory a view already holds (LoadDIBInto). All must agree on every file,
// good or hostile, whether they start from nothing or from the leftovers of
// another picture of the same size, which they write over without clearing.
#pragma once

#include "model/display/dib.h"

#include <gtest/gtest.h>

#include <span>
#include <string>

// LoadDIB's result for `bytes`, after checking that the other two ways give
// the same picture (or fail with the same reason) from fresh memory and from
// memory a picture of the same size left behind.
inline DibHandle LoadAllWays(std::span<const std::uint8_t> bytes, std::string* why = nullptr,
                             const DibLimits& limits = {}) {
    std::string reason;
    DibHandle dib = LoadDIB(bytes, &reason, limits);
    const PixelBuffer want = dib ? DIBToBitmap(*dib) : PixelBuffer();
    for (const bool leftovers : {false, true}) {
        SCOPED_TRACE(leftovers ? "over leftovers" : "from nothing");
        PixelBuffer pixels;
        Dib into;
        if (leftovers && dib) {
            const int w = dib->header.width, h = dib->header.height;
            pixels = PixelBuffer(w, h, 0x00A5C3E1);
            into.header = dib->header;
            into.colorTable.assign(7, 0x123456);
            into.indices.assign(std::size_t(w) * std::size_t(h), 0xEE);
            into.pixels = PixelBuffer(w, h, 0x00654321);
        }
        PixelBuffer shown = pixels;
        std::string whyPixels, whyInto;
        EXPECT_EQ(DecodeDIBPixels(bytes, pixels, &whyPixels, limits), dib != nullptr);
        EXPECT_EQ(pixels, want);
        EXPECT_EQ(LoadDIBInto(bytes, into, shown, &whyInto, limits), dib != nullptr);
        EXPECT_EQ(shown, want);
        if (!dib) {
            EXPECT_EQ(whyPixels, reason);
            EXPECT_EQ(whyInto, reason);
            EXPECT_TRUE(into.indices.empty() && into.pixels.IsEmpty());
            continue;
        }
        EXPECT_EQ(into.header.width, dib->header.width);
        EXPECT_EQ(into.header.height, dib->header.height);
        EXPECT_EQ(into.header.bitCount, dib->header.bitCount);
        EXPECT_EQ(into.header.topDown, dib->header.topDown);
        EXPECT_EQ(into.colorTable, dib->colorTable);
        EXPECT_EQ(into.indices, dib->indices);
        EXPECT_EQ(into.pixels, dib->pixels);
    }
    if (why)
        *why = reason;
    return dib;
}
