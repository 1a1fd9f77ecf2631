#include "model/colouring/round_stroke.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using i64 = std::int64_t;
using i128 = __int128;

// The covered set, decided exactly in integers. Coordinates are doubled so
// that pixel centres (2i + 1, 2j + 1) are integers too. With coordinates
// clamped to 2^24 every product below fits: lengths stay under 2^27, their
// squares under 2^54, and the one product of squares is taken in 128 bits.
class Capsule {
public:
    Capsule(PixelPoint a, PixelPoint b, int radius)
        : m_ax(2 * i64{a.x}), m_ay(2 * i64{a.y}), m_bx(2 * i64{b.x}), m_by(2 * i64{b.y}),
          m_dx(m_bx - m_ax), m_dy(m_by - m_ay), m_length2(m_dx * m_dx + m_dy * m_dy),
          m_radius2(4 * i64{radius} * radius) {}

    bool Covers(i64 i, i64 j) const {
        const i64 px = 2 * i + 1 - m_ax;
        const i64 py = 2 * j + 1 - m_ay;
        const i64 along = px * m_dx + py * m_dy;
        if (along <= 0)
            return px * px + py * py <= m_radius2;
        if (along >= m_length2) {
            const i64 qx = 2 * i + 1 - m_bx;
            const i64 qy = 2 * j + 1 - m_by;
            return qx * qx + qy * qy <= m_radius2;
        }
        const i128 across = i128{px} * m_dy - i128{py} * m_dx;
        return across * across <= i128{m_radius2} * m_length2;
    }

    // Doubled x of the point of row j that lies nearest the segment: where the
    // segment crosses the row, else below or above the endpoint nearest in y.
    // Distance to a convex set is convex along the row, so when any pixel of
    // the row is covered, one of the two whose centres bracket this x is.
    double NearestX2(i64 j) const {
        const i64 y = 2 * j + 1;
        if (m_dy != 0 && y >= std::min(m_ay, m_by) && y <= std::max(m_ay, m_by))
            return static_cast<double>(m_ax) + static_cast<double>(y - m_ay) *
                                                   static_cast<double>(m_dx) /
                                                   static_cast<double>(m_dy);
        return static_cast<double>(std::abs(y - m_ay) <= std::abs(y - m_by) ? m_ax : m_bx);
    }

private:
    i64 m_ax, m_ay, m_bx, m_by;
    i64 m_dx, m_dy, m_length2, m_radius2;
};

// Smallest k in [lo, seed] with covered(k), given covered(seed), that the
// covered indices form one run and that lo - 1 is not covered. Gallops from
// `guess` (the previous row's answer), so a slowly moving edge costs a few
// tests and a jumping one O(log distance).
template <class Covered> i64 FirstCovered(const Covered& covered, i64 lo, i64 seed, i64 guess) {
    guess = std::clamp(guess, lo, seed);
    i64 in = seed;
    i64 out = lo - 1;
    if (covered(guess)) {
        in = guess;
        for (i64 step = 1; in - step >= lo; step *= 2) {
            if (!covered(in - step)) {
                out = in - step;
                break;
            }
            in -= step;
        }
    } else {
        out = guess;
        for (i64 step = 1; out + step < in; step *= 2) {
            if (covered(out + step)) {
                in = out + step;
                break;
            }
            out += step;
        }
    }
    while (in - out > 1) {
        const i64 mid = out + (in - out) / 2;
        (covered(mid) ? in : out) = mid;
    }
    return in;
}

struct RowSpan {
    i64 first = 0;
    i64 last = -1; // inclusive; last < first means the row has no covered pixel
};

// Covered pixels of row j, searched within the stroke's columns [lo, hi].
RowSpan FindRowSpan(const Capsule& capsule, i64 j, i64 lo, i64 hi, const RowSpan& previous) {
    auto covered = [&](i64 i) { return capsule.Covers(i, j); };
    const i64 near = static_cast<i64>(std::floor((capsule.NearestX2(j) - 1.0) / 2.0));
    i64 seed = 0;
    bool found = false;
    for (i64 k : {near, near + 1, near - 1, near + 2}) {
        if (k >= lo && k <= hi && covered(k)) {
            seed = k;
            found = true;
            break;
        }
    }
    if (!found)
        return {};
    auto mirrored = [&](i64 i) { return capsule.Covers(-i, j); };
    const i64 guessFirst = previous.last >= previous.first ? previous.first : seed;
    const i64 guessLast = previous.last >= previous.first ? previous.last : seed;
    return {FirstCovered(covered, lo, seed, guessFirst),
            -FirstCovered(mirrored, -hi, -seed, -guessLast)};
}

} // namespace

PixelPoint ClampStrokePoint(PixelPoint p) {
    return {std::clamp(p.x, -kMaxStrokeCoordinate, kMaxStrokeCoordinate),
            std::clamp(p.y, -kMaxStrokeCoordinate, kMaxStrokeCoordinate)};
}

int ClampStrokeRadius(int radius) {
    return std::clamp(radius, 1, kMaxStrokeRadius);
}

PixelRect RoundStrokeBounds(PixelPoint a, PixelPoint b, int radius) {
    a = ClampStrokePoint(a);
    b = ClampStrokePoint(b);
    radius = ClampStrokeRadius(radius);
    return {std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius, std::max(a.x, b.x) + radius,
            std::max(a.y, b.y) + radius};
}

PixelRect DrawRoundStroke(PixelBuffer& picture, PixelPoint a, PixelPoint b, int radius,
                          Pixel colour) {
    a = ClampStrokePoint(a);
    b = ClampStrokePoint(b);
    radius = ClampStrokeRadius(radius);
    const PixelRect bounds = RoundStrokeBounds(a, b, radius);
    const PixelRect clip = IntersectRect(bounds, picture.Bounds());
    if (clip.IsEmpty())
        return {};
    const Capsule capsule(a, b, radius);
    RowSpan span;
    for (int j = clip.top; j < clip.bottom; ++j) {
        span = FindRowSpan(capsule, j, bounds.left, bounds.right - 1, span);
        const i64 from = std::max<i64>(span.first, clip.left);
        const i64 to = std::min<i64>(span.last + 1, clip.right);
        if (from < to)
            std::fill(picture.Row(j) + from, picture.Row(j) + to, colour);
    }
    return clip;
}
