#include "controls/colouring_cursors.h"

#include "controls/hand_button.h"
#include "model/colouring/pixel_engine.h"
#include "model/display/dib.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QFile>

#include <array>
#include <string>
#include <vector>

namespace {

using PixelSet = std::array<std::array<bool, 32>, 32>; // [y][x]

struct FaceSize {
    const char* name;
    int width;
    int height;
};

TEST(ColouringBarArtTest, StripAndFacesAreCompiledInAtTheirSizesInSixteenColours) {
    constexpr FaceSize kArt[] = {{"COLTOOLS", 180, 65}, {"UNDOU", 42, 73}, {"UNDOD", 42, 73},
                                 {"UNDOX", 42, 73},     {"DONEU", 71, 73}, {"DONED", 71, 73}};
    for (const FaceSize& f : kArt) {
        EXPECT_EQ(LoadBarBitmap(f.name).size(), QSize(f.width, f.height)) << f.name;
        QFile file(":/bitmaps/" + QString(f.name).toLower() + ".bmp");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f.name;
        QByteArray bytes = file.readAll();
        DibHandle dib = LoadDIB(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size())));
        ASSERT_TRUE(dib) << f.name;
        EXPECT_EQ(dib->header.bitCount, 4) << f.name;
    }
    QImage up = LoadBarBitmap("UNDOU").toImage();
    EXPECT_NE(up, LoadBarBitmap("UNDOD").toImage());
    // Greyed: only the greys of the button are left.
    QImage greyed = LoadBarBitmap("UNDOX").toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < greyed.height(); ++y) {
        for (int x = 0; x < greyed.width(); ++x) {
            QRgb c = greyed.pixel(x, y);
            ASSERT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) << x << "," << y;
        }
    }
}

TEST(ColouringCursorsTest, HotSpotsAtTheHandleTipAndTheBrushCentre) {
    QCursor roller = RollerCursor();
    ASSERT_EQ(roller.shape(), Qt::BitmapCursor);
    EXPECT_EQ(roller.hotSpot(), QPoint(0, 28));
    // The hot spot lies on the handle's black tip.
    EXPECT_EQ(roller.bitmap().toImage().pixelIndex(0, 28), 1);
    EXPECT_EQ(roller.mask().toImage().pixelIndex(0, 28), 1);
    for (int size : {-1, 0, 1, 2, 3}) {
        QCursor brush = BrushCursor(size);
        ASSERT_EQ(brush.shape(), Qt::BitmapCursor) << size;
        EXPECT_EQ(brush.hotSpot(), QPoint(16, 16)) << size;
    }
    // Sizes outside 0 to 2 show the nearest brush.
    EXPECT_EQ(BrushCursor(-1).mask().toImage(), BrushCursor(0).mask().toImage());
    EXPECT_EQ(BrushCursor(3).mask().toImage(), BrushCursor(2).mask().toImage());
}

// What the brush paints for a dot on the pointer's hot spot.
PixelSet BrushFootprint(int brushSize) {
    const Pixel white = MakePixel(255, 255, 255);
    PixelBuffer picture(32, 32, white);
    PixelEngine engine;
    engine.EnterColouring(picture, picture);
    engine.PaintDot(picture, 16, 16, PixelEngine::BrushRadius(brushSize), 0);
    PixelSet foot{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            foot[y][x] = !SameColour(picture.At(x, y), white);
    return foot;
}

// Everything the black ring closes in, itself included: the pixels that
// cannot be reached from the corner by steps to the side through non-black
// pixels.
PixelSet Enclosed(const PixelSet& black) {
    PixelSet reached{};
    std::vector<QPoint> todo{{0, 0}};
    while (!todo.empty()) {
        QPoint p = todo.back();
        todo.pop_back();
        if (p.x() < 0 || p.y() < 0 || p.x() > 31 || p.y() > 31 || reached[p.y()][p.x()] ||
            black[p.y()][p.x()])
            continue;
        reached[p.y()][p.x()] = true;
        todo.insert(todo.end(),
                    {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    PixelSet enclosed{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            enclosed[y][x] = !reached[y][x];
    return enclosed;
}

// The set as rows of '#' and '.', so that a failure shows the two shapes.
std::string Rows(const PixelSet& set) {
    std::string rows;
    for (const auto& row : set) {
        for (bool in : row)
            rows += in ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

TEST(ColouringCursorsTest, BrushRingClosesInExactlyWhatTheBrushPaints) {
    for (int size = 0; size <= 2; ++size) {
        SCOPED_TRACE(size);
        QImage picture = BrushCursor(size).bitmap().toImage();
        QImage mask = BrushCursor(size).mask().toImage();
        ASSERT_EQ(picture.size(), QSize(32, 32));
        PixelSet black{}, white{};
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                bool shown = mask.pixelIndex(x, y) == 1;
                black[y][x] = shown && picture.pixelIndex(x, y) == 1;
                white[y][x] = shown && picture.pixelIndex(x, y) == 0;
            }
        }
        const PixelSet foot = BrushFootprint(size);
        EXPECT_EQ(Rows(Enclosed(black)), Rows(foot));
        auto nextTo = [](const PixelSet& set, int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 0 && y + dy >= 0 && x + dx < 32 && y + dy < 32 &&
                        set[y + dy][x + dx])
                        return true;
            return false;
        };
        // A tight black and white ring: shows on black, hides nothing beyond it.
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (black[y][x]) {
                    EXPECT_TRUE(nextTo(white, x, y)) << x << "," << y;
                }
                if (white[y][x]) {
                    EXPECT_TRUE(nextTo(black, x, y)) << x << "," << y;
                }
            }
        }
        // The larger brushes are see-through in the middle.
        EXPECT_EQ(mask.pixelIndex(16, 16) == 0, size > 0);
    }
}

} // namespace
