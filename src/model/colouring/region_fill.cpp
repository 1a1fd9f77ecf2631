#include "model/colouring/region_fill.h"

#include "model/colouring/fill_rows.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace {

using namespace fill_rows;
// Flags of FillScratch::wordState.
constexpr std::uint8_t kRead = 1;         // the word's available bits were read
constexpr std::uint8_t kAroundRead = 2;   // and those of its four neighbours
constexpr std::uint8_t kPaintedWhole = 4; // the search painted it whole
// Words of a row the bit search reads one at a time before it reads the rest.
constexpr std::uint32_t kWordsBeforeRow = 2;

// The bits of `m` in runs that hold a bit of `seeds` (seeds within m),
// within one word: upwards by the carry of an addition, downwards by a
// doubling smear (each step lets bits move twice as far through m).
FILL_INLINE Word ExpandInRuns(Word seeds, Word m) {
    const Word up = m & (((m + seeds) ^ m) | seeds);
    Word down = seeds;
    Word pass = m;
    for (int shift = 1; shift < kBits; shift *= 2) {
        down |= pass & (down >> shift);
        pass &= pass >> shift;
    }
    return up | down;
}

// The search: a word of 64 pixels at a time. A word reached at some bits
// takes every available run of its own that holds one of them, and passes
// the taken bits on to the words above and below and, across its ends, to its
// neighbours in the row. A word waits on the stack at most once however often
// it is reached, so one visit takes runs reached from many sides; pushing is
// branch-free, since on thin shapes such branches are unpredictable.
//
// A word taken whole in one visit is painted at once: the search walks such
// words along their row, just after reading the words round it, so its pixels
// are still in the cache, where a later pass would read them from memory
// again. Words taken in parts are left to the paint pass, which goes in the
// order of the rows (see Search).
template <class Match> class WordSearch {
public:
    WordSearch(const Match& match, const Painter& painter, FillScratch& scratch)
        : m_match(match), m_painter(painter), m_s(scratch) {}

    // Searches from the runs the scan-line stage left; returns the bounding
    // box of the pixels taken, which are left in `searched`.
    PixelRect Run() {
        const std::size_t stride = static_cast<std::size_t>(m_s.stride);
        // The row by a multiply with the reciprocal of the stride, exact for
        // indices below 2^32.
        const std::uint64_t reciprocal = ~std::uint64_t{0} / stride + 1;
        Word* avail = m_s.available.data();
        Word* pending = m_s.pending.data();
        Word* searched = m_s.searched.data();
        std::uint8_t* state = m_s.wordState.data();
        std::uint32_t* stack = m_s.stack.data();
        std::size_t top = 0;
        std::size_t lowest = ~std::size_t{0};
        std::size_t highest = 0;
        const auto reach = [&](std::size_t at, Word bits) {
            const Word was = pending[at];
            pending[at] = was | bits;
            stack[top] = static_cast<std::uint32_t>(at);
            top += static_cast<std::size_t>((bits != 0) & (was == 0));
        };
        for (const FillScratch::Span& run : m_s.narrow) {
            for (int w = run.left / kBits; w <= (run.right - 1) / kBits; ++w)
                reach(Index(w, run.y), BitRange(std::max(run.left - w * kBits, 0),
                                                std::min(run.right - w * kBits, kBits)));
        }
        if (top == 0)
            return {};
        std::size_t at = stack[--top];
        std::size_t prow = Row(at, reciprocal);
        std::size_t pw = at - prow * stride; // padded word of `at` in its row
        for (;;) {
            if ((state[at] & kAroundRead) == 0)
                ReadAround(at, prow, pw);
            const Word m = avail[at];
            const Word seeds = pending[at] & m;
            const Word taken = m == ~Word{0} && seeds != 0 ? m : ExpandInRuns(seeds, m);
            pending[at] = 0;
            avail[at] = m & ~taken;
            searched[at] |= taken;
            lowest = std::min(lowest, at);
            highest = std::max(highest, at);
            if (taken == ~Word{0}) {
                m_painter.PaintWhole(static_cast<int>(pw) - 1, static_cast<int>(prow) - 1);
                state[at] |= kPaintedWhole;
            }
            reach(at - stride, taken & avail[at - stride]);
            reach(at + stride, taken & avail[at + stride]);
            reach(at - 1, (taken << (kBits - 1)) & avail[at - 1]);
            // A run going on into the next word is followed at once, as a
            // scan-line fill follows a row, rather than through the stack.
            const Word right = (taken >> (kBits - 1)) & avail[at + 1] & 1;
            if (right != 0) {
                pending[at + 1] |= right;
                ++at;
                ++pw;
            } else if (top > 0) {
                at = stack[--top];
                prow = Row(at, reciprocal);
                pw = at - prow * stride;
            } else {
                break;
            }
        }
        return Box(lowest / stride - 1, highest / stride - 1);
    }

private:
    std::size_t Index(int word, int y) const {
        return static_cast<std::size_t>(y + 1) * m_s.stride + word + 1;
    }
    static std::size_t Row(std::size_t at, std::uint64_t reciprocal) {
        return static_cast<std::size_t>((static_cast<unsigned __int128>(reciprocal) * at) >> 64);
    }

    // Reads the available bits of word `at` (padded row prow, padded word
    // pw) and of its four neighbours, those not read yet. Words are read
    // where the search comes, so that a thin strip of a wide picture costs
    // no more than its own words, until a row has had kWordsBeforeRow read
    // that way: then the rest of it is read in one sweep, which the cache
    // serves far better than words taken one at a time down the picture, as
    // a search of many thin runs side by side would. The padding counts as
    // read, as it stays clear.
    void ReadAround(std::size_t at, std::size_t prow, std::size_t pw) {
        const std::size_t stride = static_cast<std::size_t>(m_s.stride);
        ReadWord(at, prow, pw);
        ReadWord(at - 1, prow, pw - 1);
        ReadWord(at + 1, prow, pw + 1);
        ReadWord(at - stride, prow - 1, pw);
        ReadWord(at + stride, prow + 1, pw);
        m_s.wordState[at] |= kAroundRead;
    }
    FILL_INLINE void ReadWord(std::size_t at, std::size_t prow, std::size_t pw) {
        if ((m_s.wordState[at] & kRead) != 0)
            return;
        if (++m_s.rowWordsRead[prow] < kWordsBeforeRow) {
            Read(at, prow, pw);
            return;
        }
        const std::size_t first = prow * static_cast<std::size_t>(m_s.stride);
        for (std::size_t w = 1; w + 1 < static_cast<std::size_t>(m_s.stride); ++w)
            if ((m_s.wordState[first + w] & kRead) == 0)
                Read(first + w, prow, w);
    }
    void Read(std::size_t at, std::size_t prow, std::size_t pw) {
        m_s.wordState[at] |= kRead;
        const int x = (static_cast<int>(pw) - 1) * kBits;
        m_s.available[at] =
            m_match.Bits(static_cast<int>(prow) - 1, x, std::min(kBits, m_s.width - x));
    }

    // The exact bounding box of the region, which lies in rows [top, bottom].
    PixelRect Box(std::size_t top, std::size_t bottom) const {
        const int words = m_s.stride - 2;
        PixelRect box{m_s.width, static_cast<int>(top), 0, static_cast<int>(bottom) + 1};
        for (int y = box.top; y < box.bottom; ++y) {
            const Word* row =
                m_s.searched.data() + static_cast<std::size_t>(y + 1) * m_s.stride + 1;
            for (int w = 0; w < words; ++w)
                if (row[w] != 0) {
                    box.left = std::min(box.left, w * kBits + std::countr_zero(row[w]));
                    break;
                }
            for (int w = words - 1; w >= 0; --w)
                if (row[w] != 0) {
                    box.right = std::max(box.right, w * kBits + kBits - std::countl_zero(row[w]));
                    break;
                }
        }
        return box;
    }

    const Match& m_match;
    const Painter& m_painter;
    FillScratch& m_s;
};

// The scan-line stage: a seed fill over runs, as the textbook gives it, that
// finds each run's ends four pixels at a time and paints it whole when it is
// at least kWideRun long, setting its bits in `region`. A painted pixel no longer
// matches (the fill's colour is never the region's), so the picture itself
// records what is taken. A narrower run is neither painted nor followed but
// kept in `narrow` for the bit search: maximal runs only ever split as pixels
// are painted, so such a run stays whole and untaken until then.
template <class Match> class ScanLineStage {
    // Right tells a wide run within the first 64 pixels it looks at.
    static_assert(kWideRun >= 1 && kWideRun <= kBits);

public:
    ScanLineStage(const Match& match, const Painter& painter, FillScratch& scratch)
        : m_match(match), m_painter(painter), m_s(scratch), m_width(scratch.width) {}

    // Fills from (x, y), inside the picture; returns the bounding box of the
    // pixels painted.
    PixelRect Run(int x, int y) {
        m_s.spans.clear();
        m_s.narrow.clear();
        if (m_match.Bits(y, x, 1) == 0)
            return {};
        m_box = {m_width, y, 0, y};
        const int left = m_match.RunStart(y, x);
        Found(y, left, Right(y, left, x), {y, x, x, 0});
        while (!m_s.spans.empty()) {
            const FillScratch::Span from = m_s.spans.back();
            m_s.spans.pop_back();
            const int row = from.y + from.dy;
            for (int at = m_match.First(row, from.left, from.right); at < from.right;
                 at = m_match.First(row, at, from.right)) {
                const int left = at == from.left ? m_match.RunStart(row, at) : at;
                at = Right(row, left, at);
                Found(row, left, at, from);
            }
        }
        return m_box.IsEmpty() ? PixelRect{} : m_box;
    }

private:
    // Takes or leaves the maximal run [left, right) of row y, painted by
    // Right when wide, reached from the run `from` of the row before it (dy
    // 0 for the seed's own run).
    FILL_INLINE void Found(int y, int left, int right, const FillScratch::Span& from) {
        if (right - left < kWideRun) {
            m_s.narrow.push_back({y, left, right, 0});
            return;
        }
        Word* bits = m_s.region.data() + static_cast<std::size_t>(y + 1) * m_s.stride + 1;
        const int first = left / kBits;
        const int last = (right - 1) / kBits;
        const Word head = ~Word{0} << (left % kBits);
        const Word tail = ~Word{0} >> (kBits - 1 - (right - 1) % kBits);
        if (first == last) {
            bits[first] |= head & tail;
        } else {
            bits[first] |= head;
            std::fill(bits + first + 1, bits + last, ~Word{0});
            bits[last] |= tail;
        }
        m_box.left = std::min(m_box.left, left);
        m_box.right = std::max(m_box.right, right);
        m_box.top = std::min(m_box.top, y);
        m_box.bottom = std::max(m_box.bottom, y + 1);
        if (from.dy == 0) {
            Push(y, left, right, 1);
            Push(y, left, right, -1);
            return;
        }
        Push(y, left, right, from.dy);
        // Where the run reaches past the run it came from, the row beyond
        // that one was not searched there yet.
        if (left < from.left)
            Push(y, left, from.left, -from.dy);
        if (right > from.right)
            Push(y, from.right, right, -from.dy);
    }

    void Push(int y, int left, int right, int dy) {
        if (y + dy >= 0 && y + dy < m_s.height)
            m_s.spans.push_back({y, left, right, dy});
    }

    // The end of the run of row y that starts at `left` and holds pixel x;
    // paints the run if it is wide. Most runs end within 64 pixels of x and
    // are found, then painted; the rest of a longer one is read and painted
    // in one pass for as long as it holds exactly the seed's value.
    int Right(int y, int left, int x) const {
        int end = std::min(m_width, x + kBits);
        x = m_match.RunEnd(y, x, end);
        if (x - left < kWideRun)
            return x;
        m_painter.PaintRun(y, left, x);
        while (x == end && x < m_width) {
            x = m_painter.PaintWhileExact(y, x, m_match.ColourDecidesUntil(y, x));
            end = std::min(m_width, x + kBits);
            const int runEnd = m_match.RunEnd(y, x, end);
            m_painter.PaintRun(y, x, runEnd);
            x = runEnd;
        }
        return x;
    }

    const Match& m_match;
    const Painter& m_painter;
    FillScratch& m_s;
    int m_width;
    PixelRect m_box;
};

// Makes the scratch fit the picture with an empty region. Only the rows of
// the previous region are cleared; the available bits are read afresh, and
// every pending word, searched bit, word flag and row count was cleared by
// the search that set it.
void Prepare(FillScratch& s, int width, int height) {
    const int words = (width + kBits - 1) / kBits;
    const std::size_t padded = static_cast<std::size_t>(words + 2) * (height + 2);
    if (s.width != width || s.height != height) {
        s.width = width;
        s.height = height;
        s.stride = words + 2;
        s.region.assign(padded, 0);
        s.searched.assign(padded, 0);
        s.available.assign(padded, 0);
        s.pending.assign(padded, 0);
        // The padding counts as read (see ReadAround).
        s.wordState.assign(padded, kRead);
        s.rowWordsRead.assign(static_cast<std::size_t>(height) + 2, 0);
        for (int y = 0; y < height; ++y)
            std::fill_n(s.wordState.begin() + (static_cast<std::ptrdiff_t>(y) + 1) * s.stride + 1,
                        words, std::uint8_t{0});
        // A word waits at most once, and a word followed into along its row
        // may leave one stale entry behind: twice the words always suffice.
        s.stack.assign(2 * padded, 0);
    } else if (!s.box.IsEmpty()) {
        for (int y = s.box.top; y < s.box.bottom; ++y) {
            Word* row = s.region.data() + static_cast<std::size_t>(y + 1) * s.stride;
            std::fill(row + 1 + s.box.left / kBits, row + 2 + (s.box.right - 1) / kBits, Word{0});
        }
    }
    s.box = {};
}

template <class Match>
PixelRect Search(const Match& match, const Painter& painter, int x, int y, FillScratch& s) {
    Prepare(s, painter.picture.Width(), painter.picture.Height());
    if (!painter.picture.Contains(x, y))
        return {};
    const PixelRect wide = ScanLineStage<Match>(match, painter, s).Run(x, y);
    const PixelRect thin = WordSearch<Match>(match, painter, s).Run();
    s.box = UnionRect(wide, thin);
    // The words the bit search took in parts are painted in the order of the
    // rows, not of the search: on thin shapes the search jumps about the
    // picture, and painting as it goes would miss the cache at nearly every
    // word.
    const int w0 = thin.left / kBits;
    const int w1 = (thin.right - 1) / kBits;
    for (int row = thin.top; row < thin.bottom; ++row) {
        const std::size_t start = static_cast<std::size_t>(row + 1) * s.stride + 1;
        Word* bits = s.searched.data() + start;
        Word* region = s.region.data() + start;
        const std::uint8_t* state = s.wordState.data() + start;
        for (int w = w0; w <= w1; ++w) {
            if (bits[w] == 0)
                continue;
            region[w] |= bits[w];
            if ((state[w] & kPaintedWhole) == 0)
                painter.Paint(w, row, bits[w]);
            bits[w] = 0;
        }
    }
    // The search read words only in the rows of those it took and the rows
    // next to them.
    for (int row = std::max(thin.top - 1, 0); row < std::min(thin.bottom + 1, s.height); ++row) {
        std::fill_n(s.wordState.begin() + (static_cast<std::ptrdiff_t>(row) + 1) * s.stride + 1,
                    s.stride - 2, std::uint8_t{0});
        s.rowWordsRead[static_cast<std::size_t>(row) + 1] = 0;
    }
    return s.box;
}

} // namespace

PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour, FillScratch& scratch,
                      std::vector<PixelPatch>* patches) {
    colour &= kRgbMask;
    if (!picture.Contains(x, y) || SameColour(picture.At(x, y), colour)) {
        Prepare(scratch, picture.Width(), picture.Height());
        return {};
    }
    const Pixel seed = picture.At(x, y);
    return Search(SurfaceMatch(picture, seed & kRgbMask), Painter{picture, colour, seed, patches},
                  x, y, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour, FillScratch& scratch, std::vector<PixelPatch>* patches) {
    colour &= kRgbMask;
    if (overlayWhite.Width() != picture.Width() || overlayWhite.Height() != picture.Height() ||
        !picture.Contains(x, y) || colour == kBlack) {
        Prepare(scratch, picture.Width(), picture.Height());
        return {};
    }
    return Search(BlackAreaMatch(picture, overlayWhite),
                  Painter{picture, colour, picture.At(x, y), patches}, x, y, scratch);
}

PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour) {
    FillScratch scratch;
    return SurfaceFill(picture, x, y, colour, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour) {
    FillScratch scratch;
    return BlackAreaFill(picture, overlayWhite, x, y, colour, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour) {
    if (overlay.Width() != picture.Width() || overlay.Height() != picture.Height())
        return {};
    return BlackAreaFill(picture, PixelMask(overlay, kRgbMask), x, y, colour);
}
