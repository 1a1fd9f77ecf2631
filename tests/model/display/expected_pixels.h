// What a decoder must give for a picture of colour-table indices: each index
// looked up in the table, an index past the table read as black.
#pragma once

#include "model/pixel_buffer.h"

#include <cstdint>
#include <vector>

inline PixelBuffer Expected(const std::vector<std::uint8_t>& indices,
                            const std::vector<Pixel>& table, int width, int height) {
    PixelBuffer out(width, height);
    for (std::size_t i = 0; i < indices.size(); ++i)
        out.Data()[i] = indices[i] < table.size() ? table[indices[i]] : 0;
    return out;
}
