#include "colouring_pictures.h"

#include "model/colouring/pixel_engine.h"

#include <algorithm>
#include <array>

namespace faces {

namespace {

// A round dot in the middle of a tool picture; the three sizes differ
// enough to tell apart at a glance.
void Dot(QPainter& p, int diameter) {
    p.setPen(Qt::NoPen);
    p.setBrush(C(kBlack));
    p.drawEllipse(QRect(15 - diameter / 2, 32 - diameter / 2, diameter, diameter));
}

// A small book lying open: the cover under two white pages, a sun on the
// left page and a house on the right one.
void OpenBook(QPainter& p) {
    Shape(p,
          QPolygon({QPoint(5, 35), QPoint(32, 40), QPoint(59, 35), QPoint(59, 65), QPoint(32, 68),
                    QPoint(5, 65)}),
          kBlue);
    Shape(p, QPolygon({QPoint(9, 32), QPoint(32, 37), QPoint(32, 63), QPoint(9, 60)}), kWhite);
    Shape(p, QPolygon({QPoint(32, 37), QPoint(55, 32), QPoint(55, 60), QPoint(32, 63)}), kWhite);
    p.setPen(Outline(1));
    p.setBrush(C(kYellow));
    p.drawEllipse(QRect(14, 42, 11, 11));
    p.setBrush(C(kRed));
    p.drawRect(QRect(39, 48, 11, 9));
    p.drawPolygon(QPolygon({QPoint(37, 48), QPoint(44, 41), QPoint(52, 48)}));
}

} // namespace

void DrawFillTool(QPainter& p) {
    // The wire from the roller's right end round to the handle.
    QPainterPath wire;
    wire.moveTo(22, 15);
    wire.lineTo(26, 15);
    wire.lineTo(26, 31);
    wire.lineTo(15, 31);
    wire.lineTo(15, 38);
    Stroke(p, wire, kGrey, 2);
    // The roller, red with paint, its left end showing.
    p.setPen(Outline());
    p.setBrush(C(kRed));
    p.drawRoundedRect(QRect(3, 7, 20, 16), 3, 3);
    p.setBrush(C(kMaroon));
    p.drawEllipse(QRect(3, 7, 6, 16));
    // The handle.
    p.setBrush(C(kYellow));
    p.drawRoundedRect(QRect(11, 37, 8, 23), 3, 3);
}

void DrawBrushTool(QPainter& p) {
    Shape(p, QPolygon({QPoint(12, 5), QPoint(18, 5), QPoint(19, 32), QPoint(11, 32)}), kMaroon);
    Shape(p, QPolygon(QRect(9, 32, 12, 11)), kSilver);
    Shape(p,
          QPolygon({QPoint(9, 43), QPoint(21, 43), QPoint(22, 52), QPoint(18, 58), QPoint(15, 62),
                    QPoint(12, 58), QPoint(8, 52)}),
          kRed);
}

void DrawLineTool(QPainter& p) {
    QPainterPath line;
    line.moveTo(8, 55);
    line.lineTo(22, 10);
    Stroke(p, line, kBlue, 3);
    p.setPen(Outline());
    p.setBrush(C(kRed));
    p.drawEllipse(QRect(3, 50, 10, 10));
    p.drawEllipse(QRect(17, 5, 10, 10));
}

void DrawLargeBrush(QPainter& p) {
    Dot(p, 24);
}

void DrawMediumBrush(QPainter& p) {
    Dot(p, 14);
}

void DrawSmallBrush(QPainter& p) {
    Dot(p, 6);
}

void DrawUndo(QPainter& p) {
    // The shaft: from the arrow head to the right, round and back over the
    // top. Its black edge goes under the head, its colour over the head's
    // outline, so head and shaft read as one arrow.
    QPainterPath shaft;
    shaft.moveTo(13, 48);
    shaft.lineTo(20, 48);
    shaft.arcTo(QRectF(9, 20, 24, 28), 270, 180);
    shaft.lineTo(13, 20);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(C(kBlack), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shaft);
    Shape(p, QPolygon({QPoint(4, 48), QPoint(16, 37), QPoint(16, 59)}), kAqua);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(C(kAqua), 6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(shaft);
}

void DrawDone(QPainter& p) {
    OpenBook(p);
    QPainterPath tick;
    tick.moveTo(20, 28);
    tick.lineTo(31, 42);
    tick.lineTo(57, 10);
    Stroke(p, tick, kLime, 7);
}

QImage PointerFromArt(const char* const* art) {
    QImage pointer(32, 64, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            char c = art[y][x];
            pointer.setPixel(x, y, c == 'X' ? kPalette[kBlack] : kPalette[kWhite]);
            pointer.setPixel(x, y + 32, c == '.' ? kPalette[kWhite] : kPalette[kBlack]);
        }
    }
    return pointer;
}

// The paint roller: its frame from the roller's left end down to the
// handle, whose tip (0, 28) is the hot spot.
const char* const kRoller[32] = {
    "................................", ".............XXXXXXXXXXXXXXXXXX.",
    "............XoXooooooooooooooooX", "............XoXooooXoooXoooXoooX",
    "............XoXooooooooooooooooX", "......XXXXXXXoXooooooooooooooooX",
    "......XoooooXoXooXoooXoooXoooXoX", "......XoXXXXXoXooooooooooooooooX",
    "......XoX...XoXooooooooooooooooX", "......XoX...XoXooooXoooXoooXoooX",
    "......XoX...XoXooooooooooooooooX", "......XoX....XXXXXXXXXXXXXXXXXX.",
    "......XoX.......................", "......XoX.......................",
    "......XoXXXXXXXXXXX.............", "......XoooooooooooX.............",
    "......XXXXXXXXXXXoX.............", "................XoX.............",
    "...............XXoX.............", ".............XXooXX.............",
    "...........XXoooooX.............", "..........XoooooooX.............",
    "........XXoooooooX..............", "......XXoooooooXX...............",
    "....XXoooooooXX.................", "...XooooooooX...................",
    ".XXoooooooXX....................", "XoooooooXX......................",
    "XoooooXX........................", "XoooXX..........................",
    ".XXX............................", "................................",
};

QImage DrawRollerPointer() {
    return PointerFromArt(kRoller);
}

namespace {

// A 32 x 32 set of pixels; asking outside it answers false.
class PixelSet {
public:
    bool Has(int x, int y) const {
        return x >= 0 && y >= 0 && x < 32 && y < 32 && m_bits[y * 32 + x];
    }
    void Add(int x, int y) { m_bits[y * 32 + x] = true; }
    bool Empty() const {
        return std::none_of(m_bits.begin(), m_bits.end(), [](bool b) { return b; });
    }
    // Whether one of the eight pixels around (x, y) is in the set.
    bool Near(int x, int y) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx || dy) && Has(x + dx, y + dy))
                    return true;
        return false;
    }

private:
    std::array<bool, 32 * 32> m_bits{};
};

// What the brush paints for a dot at (16, 16), asked of the pixel engine
// itself so the pointer cannot drift from the brush.
PixelSet Footprint(int brushSize) {
    const Pixel white = MakePixel(255, 255, 255);
    PixelBuffer picture(32, 32, white);
    PixelEngine engine;
    engine.EnterColouring(picture, picture);
    engine.PaintDot(picture, 16, 16, PixelEngine::BrushRadius(brushSize), 0);
    PixelSet foot;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!SameColour(picture.At(x, y), white))
                foot.Add(x, y);
    return foot;
}

} // namespace

// The pointer shows the covered area without inverting the screen:
//   black: the footprint's pixels with a 4-neighbour outside it (its edge, an
//          8-connected ring that nothing 4-connected crosses);
//   white: its other pixels with an 8-neighbour in the edge (a closed ring
//          just inside, so the edge shows on black too);
//   see-through: everything else, the rest of the footprint included.
// The smallest dot is all edge; the pixels 8-next to it outside are white
// instead, so it shows on black as well.
QImage DrawBrushPointer(int brushSize) {
    const PixelSet foot = Footprint(brushSize);
    PixelSet edge, inner, halo;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // Beyond the square counts as outside the footprint.
            bool side = !foot.Has(x - 1, y) || !foot.Has(x + 1, y) || !foot.Has(x, y - 1) ||
                        !foot.Has(x, y + 1);
            if (foot.Has(x, y) && side)
                edge.Add(x, y);
        }
    }
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (foot.Has(x, y) && !edge.Has(x, y) && edge.Near(x, y))
                inner.Add(x, y);
            if (!foot.Has(x, y) && foot.Near(x, y))
                halo.Add(x, y);
        }
    }
    const PixelSet& white = inner.Empty() ? halo : inner;
    std::array<std::array<char, 33>, 32> rows{};
    std::array<const char*, 32> art{};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            rows[y][x] = edge.Has(x, y) ? 'X' : white.Has(x, y) ? 'o' : '.';
        art[y] = rows[y].data();
    }
    return PointerFromArt(art.data());
}

} // namespace faces
