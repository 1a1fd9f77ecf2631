#include "controls/color_palette.h"

#include "model/controls/color_table.h"
#include "model/mainframe/running_state.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>

#include <string>
#include <vector>

namespace {

constexpr int kCellW = 18;
constexpr int kCellH = 36;

QRect Cell(int index) {
    return QRect((index / 2) * kCellW, (index % 2) * kCellH, kCellW, kCellH);
}

// The pixels the selection mark of cell `index` inverts: a 2-pixel band
// around (L + 1, T) .. (R + 2, B + 1).
bool UnderMark(int index, QPoint p) {
    QRect c = Cell(index);
    QRect outer(QPoint(c.left() + 1, c.top()), QPoint(c.right() + 2, c.bottom() + 1));
    return outer.contains(p) && !outer.adjusted(2, 2, -2, -2).contains(p);
}

QRgb Rgb(Pixel p) {
    return qRgb(PixelRed(p), PixelGreen(p), PixelBlue(p));
}

// A palette that records what it speaks and the regions it paints.
class TestPalette : public CColorPalette {
public:
    explicit TestPalette(RunningState& state)
        : CColorPalette(state, [this](std::string_view f) { spoken.emplace_back(f); }) {}

    QImage Shot() { return grab().toImage().convertToFormat(QImage::Format_RGB32); }

    std::vector<std::string> spoken;
    std::vector<QRegion> painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted.push_back(event->region());
        CColorPalette::paintEvent(event);
    }
};

TEST(ColorPaletteTest, CellsRunDownEachColumnOfTwo) {
    RunningState state;
    TestPalette palette(state);
    EXPECT_EQ(palette.size(), QSize(271, 73));
    EXPECT_EQ(palette.CellCount(), 30);
    struct Case {
        int index, left, top, right, bottom;
    };
    for (Case c :
         {Case{0, 0, 0, 17, 35}, {1, 0, 36, 17, 71}, {2, 18, 0, 35, 35}, {29, 252, 36, 269, 71}}) {
        QRect r = palette.GetCellRect(c.index);
        EXPECT_EQ(r, QRect(QPoint(c.left, c.top), QPoint(c.right, c.bottom))) << c.index;
    }
}

TEST(ColorPaletteTest, APressSelectsTheWellUnderItAndSpeaksItsName) {
    struct Case {
        QPoint at;
        Qt::MouseButton button;
        int selected; // -1: nothing changes
        const char* spoken;
    } cases[] = {
        {{20, 40}, Qt::LeftButton, 3, "DKGRAY.WAV"}, // lower well of the second column
        {{269, 71}, Qt::LeftButton, 29, "BEIGE.WAV"},
        {{1, 1}, Qt::LeftButton, 0, "WHITE.WAV"}, // (0, 0) would mean the centre to QTest
        {{5, 40}, Qt::LeftButton, -1, ""},        // the well already selected
        {{270, 40}, Qt::LeftButton, -1, ""},
        {{100, 72}, Qt::LeftButton, -1, ""},
        {{20, 40}, Qt::RightButton, -1, ""},
    };
    for (const Case& c : cases) {
        RunningState state;
        state.m_nColor = 1;
        TestPalette palette(state);
        QTest::mousePress(&palette, c.button, {}, c.at);
        int expected = c.selected < 0 ? 1 : c.selected;
        EXPECT_EQ(palette.GetCurrentIndex(), expected) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(state.m_nColor, expected) << c.at.x() << "," << c.at.y();
        std::vector<std::string> spoken;
        if (c.selected >= 0)
            spoken.push_back(c.spoken);
        EXPECT_EQ(palette.spoken, spoken) << c.at.x() << "," << c.at.y();
    }
}

TEST(ColorPaletteTest, WellsAreSunkenAndTheMarkInvertsThePixelsAroundTheSelection) {
    RunningState state;
    TestPalette marked(state);
    TestPalette other(state);
    other.SetCurrentIndex(20);
    QImage a = marked.Shot();
    QImage b = other.Shot();
    ASSERT_EQ(a.size(), QSize(271, 73));

    // Exactly the pixels under a mark differ, and they are inverted.
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            bool inverted = UnderMark(1, {x, y}) != UnderMark(20, {x, y});
            QRgb expected = inverted ? (~b.pixel(x, y) | 0xFF000000u) : b.pixel(x, y);
            ASSERT_EQ(a.pixel(x, y), expected) << x << "," << y;
        }
    }

    const QRgb white = qRgb(255, 255, 255), dark = qRgb(128, 128, 128);
    const QRgb light = qRgb(192, 192, 192), black = qRgb(0, 0, 0);
    for (int i = 0; i < 30; ++i) {
        QRect c = Cell(i);
        int l = c.left(), t = c.top(), r = c.right(), bot = c.bottom();
        QRgb colour = Rgb(ColorTablePixel(i));
        for (int y = t + 2; y <= bot - 2; ++y) {
            for (int x = l + 3; x <= r - 1; ++x)
                ASSERT_EQ(a.pixel(x, y), colour) << "well " << i << " at " << x << "," << y;
        }
        struct Probe {
            QPoint at;
            QRgb colour;
        } probes[] = {
            {{l, t}, white},           {{l, bot}, white},         {{r, bot}, white},
            {{l + 1, t}, dark},        {{l + 1, bot - 1}, dark},  {{r, t}, dark},
            {{l + 2, t + 1}, black},   {{l + 2, bot - 2}, black}, {{r - 1, t + 1}, black},
            {{l + 2, bot - 1}, light}, {{r, bot - 1}, light},     {{r, t + 2}, light},
            {{l + 5, 72}, light}, // the bar's face below the wells
        };
        for (const Probe& p : probes) {
            const QImage& shot = UnderMark(1, p.at) ? b : a;
            EXPECT_EQ(shot.pixel(p.at), p.colour)
                << "well " << i << " at " << p.at.x() << "," << p.at.y();
        }
    }
    for (int y = 0; y < 72; ++y)
        EXPECT_EQ(a.pixel(270, y), white) << y; // outer edge of the last column
}

TEST(ColorPaletteTest, ShowsItsOwnCopyOfTheLastPaletteHandedOver) {
    RunningState state;
    TestPalette palette(state);
    EXPECT_EQ(palette.GetPalette(), nullptr);
    LogPalette expected = CreateColorTablePalette();
    {
        LogPalette working = CreateColorTablePalette();
        for (int i = 16; i < 30; ++i)
            working.entries[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 5), 7,
                                                            200, 0};
        palette.SetPalette(working);
        expected = working;
    } // the view's palette goes away with it
    ASSERT_NE(palette.GetPalette(), nullptr);
    EXPECT_EQ(*palette.GetPalette(), expected);

    QImage shot = palette.Shot();
    for (int i = 0; i < 30; ++i) {
        QPoint inside = Cell(i).center();
        QRgb want = i < 16 ? Rgb(ColorTablePixel(i)) : qRgb(i * 5, 7, 200);
        EXPECT_EQ(shot.pixel(inside), want) << "well " << i;
    }
}

TEST(ColorPaletteTest, ASelectionChangeRepaintsOnlyTheTwoWells) {
    RunningState state;
    TestPalette palette(state);
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    QCoreApplication::processEvents();
    palette.painted.clear();

    QTest::mousePress(&palette, Qt::LeftButton, {}, {20, 40});
    QCoreApplication::processEvents();
    QRegion expected = QRegion(QRect(QPoint(1, 36), QPoint(19, 72))) +
                       QRegion(QRect(QPoint(19, 36), QPoint(37, 72)));
    ASSERT_EQ(palette.painted.size(), 1u);
    EXPECT_EQ(palette.painted[0], expected);

    palette.painted.clear();
    QTest::mousePress(&palette, Qt::LeftButton, {}, {30, 50});
    QCoreApplication::processEvents();
    EXPECT_TRUE(palette.painted.empty());
}

} // namespace
