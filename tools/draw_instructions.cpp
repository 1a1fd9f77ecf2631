// Draws the pages of the colouring instructions: seven pictures without
// words, each the program's screen in miniature showing one step of
// colouring a page, with the hand pointer where the child presses. The same
// little picture (a house, the sun, the grass) gets coloured step by step.
//
//   draw_instructions FACES_FOLDER OUT_FOLDER
//     (src/resources/bitmaps, data/books/instructions)
//
// The pages are 640 x 480, 8-bit files whose colour table starts with the
// thirty paint colours, like the sample book's 8-bit pages. They are drawn
// without antialiasing in colours of that table only; a page that would
// change in the conversion is not written.
#include "instruction_screen.h"

#include "model/controls/color_table.h"
#include "model/display/dib.h"

#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace howto;

// ---- the little picture that gets coloured ------------------------------------
//
// Drawn in 400 x 300 units into a rectangle of that shape.

struct Scene {
    bool redRoof = false;
    double grass = 0; // how much of the grass stroke is painted, 0..1
    int rays = 0;     // how many of the sun's eight rays are drawn
    bool scribble = false;
    bool coloured = false; // walls, door, windows and sun coloured too
};

constexpr double kOutline = 6;
const QPointF kSun(318, 78);
constexpr double kRayInner = 44;
constexpr double kRayOuter = 70;
// The rays in the order they are drawn. The fifth, the one the line page
// shows being drawn, points down to the left: the hand at its end reaches
// down and to the right, away from it.
constexpr double kRayDegrees[8] = {-90, -45, 0, 180, 135, -135, 90, 45};

QPointF RayPoint(int ray, double radius) {
    const double a = kRayDegrees[ray] * std::numbers::pi / 180;
    return kSun + QPointF(radius * std::cos(a), radius * std::sin(a));
}

QPointF GrassPoint(double x) {
    return {x, 278 + 8 * std::sin(x / 18)};
}

QTransform SceneToPage(const QRect& place) {
    const double scale = place.width() / 400.0;
    return QTransform::fromTranslate(place.x(), place.y()).scale(scale, scale);
}

QPoint At(const QRect& place, QPointF scenePoint) {
    return SceneToPage(place).map(scenePoint).toPoint();
}

void Shape(QPainter& p, const QPolygonF& shape, const QColor& fill) {
    p.setPen(QPen(Qt::black, kOutline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

void Line(QPainter& p, QPointF a, QPointF b, const QColor& colour, double width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

QPolygonF Box(double x, double y, double w, double h) {
    return QPolygonF(QRectF(x, y, w, h));
}

void DrawScene(QPainter& p, const QRect& place, const Scene& s) {
    p.fillRect(place, Qt::white);
    p.save();
    p.setClipRect(place);
    p.setTransform(SceneToPage(place));
    const QColor white = Qt::white;
    if (s.grass > 0) {
        QPainterPath grass(GrassPoint(20));
        for (double x = 20; x <= 20 + 360 * s.grass; x += 4)
            grass.lineTo(GrassPoint(x));
        p.setPen(QPen(PaintColour(9), 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(grass);
    }
    Line(p, {0, 250}, {400, 250}, Qt::black, kOutline);                      // the ground
    Shape(p, Box(110, 140, 150, 110), s.coloured ? PaintColour(16) : white); // walls
    Shape(p, QPolygonF({{95, 145}, {185, 70}, {275, 145}}),
          s.redRoof ? PaintColour(4) : white);                             // roof
    Shape(p, Box(165, 185, 40, 65), s.coloured ? PaintColour(27) : white); // door
    for (double x : {125.0, 220.0}) {                                      // windows
        Shape(p, Box(x, 165, 30, 30), s.coloured ? PaintColour(20) : white);
        Line(p, {x + 15, 165}, {x + 15, 195}, Qt::black, 3);
        Line(p, {x, 180}, {x + 30, 180}, Qt::black, 3);
    }
    p.setPen(QPen(Qt::black, kOutline));
    p.setBrush(s.coloured ? PaintColour(6) : white);
    p.drawEllipse(kSun, 32, 32); // the sun
    for (int i = 0; i < std::min(s.rays, 8); ++i)
        Line(p, RayPoint(i, kRayInner), RayPoint(i, kRayOuter), PaintColour(26), 8);
    if (s.scribble) {
        p.setPen(QPen(PaintColour(15), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(
            QPolygonF({{120, 160}, {150, 225}, {172, 150}, {198, 232}, {226, 152}, {252, 218}}));
    }
    p.restore();
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(place.adjusted(-1, -1, 0, 0));
}

// ---- the pages ------------------------------------------------------------------

// One picture in the middle of the sky, or two smaller ones side by side
// (before and after) with an arrow between them.
const QRect kSingle(120, 36, 400, 300);
const QRect kBefore(20, 90, 260, 195);
const QRect kAfter(360, 90, 260, 195);
const QRect kBetween(290, 152, 60, 70);

// Where a hand from above presses a button of the bar: just inside its top
// edge, so the hand hides none of the face.
QPoint PressPoint(const QRect& button, int dx = 0) {
    return QPoint(button.center().x() + dx, button.top() + 6);
}

// 1: the viewer; the button with the house and the brush turns the page
// into a colouring page.
void PageColourButton(QPainter& p, const Faces& f) {
    DrawScene(p, kSingle, {});
    DrawViewerBar(p, f);
    DrawGlow(p, ColourPageButton());
    DrawHand(p, f, PressPoint(ColourPageButton(), -14), true);
}

// 2: colouring mode; a well chooses the colour.
void PageColourWell(QPainter& p, const Faces& f) {
    DrawScene(p, kSingle, {});
    DrawColouringBar(p, f, {.colour = 4, .tool = Tool::Fill});
    DrawGlow(p, WellRect(4));
    DrawHand(p, f, PressPoint(WellRect(4)), true);
}

// 3: a press inside the roof fills it.
void PageFill(QPainter& p, const Faces& f) {
    DrawColouringBar(p, f, {.colour = 4, .tool = Tool::Fill});
    DrawGlow(p, ToolRect(Tool::Fill));
    DrawScene(p, kBefore, {});
    DrawArrow(p, kBetween);
    DrawScene(p, kAfter, {.redRoof = true});
    const QPoint inRoof = At(kBefore, {185, 118});
    DrawClick(p, inRoof);
    DrawHand(p, f, inRoof);
}

// 4: the brush paints where the hand moves with the button held down.
void PageBrush(QPainter& p, const Faces& f) {
    DrawColouringBar(p, f, {.colour = 9, .tool = Tool::Brush});
    DrawGlow(p, ToolRect(Tool::Brush));
    constexpr double kPainted = 0.6;
    DrawScene(p, kSingle, {.redRoof = true, .grass = kPainted});
    DrawHand(p, f, At(kSingle, GrassPoint(20 + 360 * kPainted)));
}

// 5: the line tool draws a straight ray from where the press began to where
// the hand lets go.
void PageLine(QPainter& p, const Faces& f) {
    DrawColouringBar(p, f, {.colour = 26, .tool = Tool::Line});
    DrawGlow(p, ToolRect(Tool::Line));
    DrawScene(p, kSingle, {.redRoof = true, .grass = 1, .rays = 5});
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::black);
    p.drawEllipse(At(kSingle, RayPoint(4, kRayInner)), 5, 5); // where the press began
    DrawHand(p, f, At(kSingle, RayPoint(4, kRayOuter)));
}

// 6: Undo takes the scribble away again.
void PageUndo(QPainter& p, const Faces& f) {
    DrawColouringBar(p, f, {.colour = 15, .tool = Tool::Brush});
    const Scene done{.redRoof = true, .grass = 1, .rays = 8};
    Scene scribbled = done;
    scribbled.scribble = true;
    DrawScene(p, kBefore, scribbled);
    DrawArrow(p, kBetween);
    DrawScene(p, kAfter, done);
    DrawGlow(p, UndoButton());
    DrawHand(p, f, PressPoint(UndoButton(), -4), true);
}

// 7: Done keeps the coloured picture.
void PageDone(QPainter& p, const Faces& f) {
    DrawScene(p, kSingle, {.redRoof = true, .grass = 1, .rays = 8, .coloured = true});
    DrawColouringBar(p, f, {.colour = 6, .tool = Tool::Fill});
    DrawGlow(p, DoneButton());
    DrawHand(p, f, PressPoint(DoneButton(), 2), true);
}

struct InstructionPage {
    const char* file;
    void (*draw)(QPainter&, const Faces&);
};

const InstructionPage kPages[] = {
    {"STEP1.BMP", PageColourButton}, {"STEP2.BMP", PageColourWell}, {"STEP3.BMP", PageFill},
    {"STEP4.BMP", PageBrush},        {"STEP5.BMP", PageLine},       {"STEP6.BMP", PageUndo},
    {"STEP7.BMP", PageDone},
};

// ---- the files ----------------------------------------------------------------

// The thirty paint colours in table order, the sky, then a 6 x 6 x 6 cube and
// greys, without repeats, 256 in all.
LogPalette PagePalette() {
    LogPalette palette = CreateColorTablePalette();
    auto add = [&](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        const PaletteEntry e{r, g, b, 0};
        if (palette.entries.size() < 256 &&
            std::find(palette.entries.begin(), palette.entries.end(), e) == palette.entries.end())
            palette.entries.push_back(e);
    };
    add(std::uint8_t(qRed(kSky)), std::uint8_t(qGreen(kSky)), std::uint8_t(qBlue(kSky)));
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                add(std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51));
    for (int v = 8; palette.entries.size() < 256; v += 10)
        add(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
    return palette;
}

PixelBuffer ToPixels(const QImage& image) {
    PixelBuffer pixels(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.Set(x, y, image.pixel(x, y) & 0xFFFFFF);
    return pixels;
}

// The page file, or nothing when a pixel is not one of the table's colours
// (it would come out changed).
std::vector<std::uint8_t> PageFile(const QImage& image) {
    const PixelBuffer pixels = ToPixels(image);
    const DibHandle dib = ChangeBitmapFormat(pixels, 8, kDibRgb, PagePalette());
    if (!dib || DIBToBitmap(*dib) != pixels)
        return {};
    return EncodeDIB(*dib);
}

bool WriteFile(const std::string& file, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FACES_FOLDER OUT_FOLDER\n", argv[0]);
        return 64;
    }
    const Faces faces(QString::fromLocal8Bit(argv[1]));
    for (const InstructionPage& page : kPages) {
        QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        DrawSky(p);
        page.draw(p, faces);
        p.end();
        if (!faces.Missing().isEmpty()) {
            std::fprintf(stderr, "cannot read the button faces %s in %s\n",
                         qPrintable(faces.Missing().join(", ")), argv[1]);
            return 1;
        }
        const std::vector<std::uint8_t> bytes = PageFile(image);
        const std::string file = std::string(argv[2]) + "/" + page.file;
        if (bytes.empty()) {
            std::fprintf(stderr, "%s holds a colour outside its colour table\n", page.file);
            return 1;
        }
        if (!WriteFile(file, bytes)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    std::printf("wrote %zu pages to %s\n", std::size(kPages), argv[2]);
    return 0;
}
