// One undo record of the colouring canvas: which pixels of a rectangle an
// operation changed, one bit each, and the values they held before, as runs
// of equal values in the order of the set bits (row by row, left to right).
// A fill changes pixels of one colour only, so its step is its region's bits
// and one run; a stroke's step holds only the pixels it really changed.
#pragma once

#include "model/colouring/pixel_mask.h"
#include "model/colouring/region_fill.h"
#include "model/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CUndoStep {
public:
    // A step that holds and restores nothing.
    CUndoStep() = default;

    // The step of a fill: the pixels of the region `scratch` holds (a search's result)
    // all held `value`, except the `patches`, which held their own values.
    static CUndoStep OfRegion(const FillScratch& scratch, Pixel value,
                              std::vector<PixelPatch> patches);
    // The pixels of `rect` that differ between `before` and `after` (whole
    // 32-bit values), with their values in `before`. The rectangle is clipped
    // to the buffers; buffers of different sizes give an empty step.
    static CUndoStep OfChanges(const PixelBuffer& before, const PixelBuffer& after,
                               const PixelRect& rect);

    // The rectangle the step covers, in picture coordinates (maybe empty).
    const PixelRect& Rect() const { return m_rect; }
    // Number of pixels whose old values the step holds.
    std::size_t PixelCount() const { return m_pixelCount; }
    // Bytes the step holds (bits, runs and patches).
    std::size_t Bytes() const;

    // Writes the held values back into `picture`, which must have the size
    // of the picture the step was made from; otherwise nothing is written and
    // the result is empty. Returns the step's rectangle.
    PixelRect Restore(PixelBuffer& picture) const;

    // Calls fn(y, x, bits) for every group of 64 picture pixels [x, x + 64)
    // of row y (x a multiple of 64) that holds pixels of the step, `bits`
    // telling which (pixel x + k in bit k). The pixels Restore writes all lie
    // in these groups, so only they can change when the step is undone.
    template <class Fn> void ForEachHeldWord(Fn&& fn) const {
        const PixelMask::Word* bits = m_bits.data();
        for (int y = m_rect.top; y < m_rect.bottom; ++y, bits += m_wordsPerRow)
            for (int k = 0; k < m_wordsPerRow; ++k)
                if (bits[k] != 0)
                    fn(y, (m_firstWord + k) * PixelMask::kWordBits, bits[k]);
    }

private:
    struct ValueRun {
        Pixel value;
        std::uint32_t count;
    };

    void AddValue(Pixel value, std::uint32_t count);

    PixelRect m_rect;
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    int m_firstWord = 0;   // word index of m_rect.left in a picture row
    int m_wordsPerRow = 0; // words held per row
    std::vector<PixelMask::Word> m_bits;
    std::vector<ValueRun> m_values;
    std::vector<PixelPatch> m_patches;
    std::size_t m_pixelCount = 0;
};
