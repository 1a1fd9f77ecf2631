// The pictures on the viewer bar's buttons, drawn in the sixteen colours of
// the button bitmaps. Each picture is drawn on a transparent layer the size
// of its button, inside the button's frame; black marks its outlines, which
// are all that a greyed (disabled) face keeps.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <array>

namespace faces {

// The sixteen colours, in the order of the bitmaps' colour table.
enum Colour {
    kBlack,
    kMaroon,
    kGreen,
    kOlive,
    kNavy,
    kPurple,
    kTeal,
    kSilver,
    kGrey,
    kRed,
    kLime,
    kYellow,
    kBlue,
    kFuchsia,
    kAqua,
    kWhite,
};

inline constexpr std::array<QRgb, 16> kPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

inline QColor C(Colour c) {
    return QColor::fromRgb(kPalette[c]);
}

// The drawing helpers every picture shares. A black outline `width` pixels
// wide.
QPen Outline(int width = 2);
// A polygon filled with `fill` inside a black outline.
void Shape(QPainter& p, const QPolygon& shape, Colour fill, int line = 2);
// A thick stroke `width` pixels wide with round ends and a black edge two
// pixels wide on either side.
void Stroke(QPainter& p, const QPainterPath& path, Colour colour, int width);

// Each draws one picture; the painter has no antialiasing, so every pixel
// it sets is one of the sixteen colours.
void DrawPrevious(QPainter& p);     // 38 x 73: an arrow to the left
void DrawNext(QPainter& p);         // 38 x 73: an arrow to the right
void DrawColourPage(QPainter& p);   // 102 x 73: a brush colouring a picture
void DrawPlaySound(QPainter& p);    // 70 x 73: a loudspeaker sending out sound
void DrawStopSound(QPainter& p);    // 70 x 73: a stop sign
void DrawSlideShow(QPainter& p);    // 84 x 73: a screen with a picture, slides beside it
void DrawPrint(QPainter& p);        // 89 x 73: a printer with a printed page
void DrawUpdate(QPainter& p);       // 79 x 37: a coloured picture
void DrawRestore(QPainter& p);      // 79 x 37: the same picture uncoloured
void DrawExit(QPainter& p);         // 66 x 37: an open door and the way out
void DrawInstructions(QPainter& p); // 66 x 37: an open book with a question mark

} // namespace faces
