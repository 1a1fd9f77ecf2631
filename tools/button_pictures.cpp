#include "button_pictures.h"

#include <QPainterPath>
#include <QPolygon>

namespace faces {

QPen Outline(int width) {
    return QPen(C(kBlack), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void Shape(QPainter& p, const QPolygon& shape, Colour fill, int line) {
    p.setPen(Outline(line));
    p.setBrush(C(fill));
    p.drawPolygon(shape);
}

void Stroke(QPainter& p, const QPainterPath& path, Colour colour, int width) {
    // The edge first, the colour inside it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(C(kBlack), width + 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    p.setPen(QPen(C(colour), width, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
}

namespace {

// A small picture in a frame: sky, sun, a hill and a house. Uncoloured, it
// is the same line drawing on white paper.
void Landscape(QPainter& p, const QRect& r, bool coloured) {
    auto fill = [&](Colour c) { return coloured ? C(c) : C(kWhite); };
    p.setPen(Outline());
    p.setBrush(fill(kAqua));
    p.drawRect(r);
    int w = r.width(), h = r.height();
    p.setBrush(fill(kYellow));
    int sun = h / 3;
    p.drawEllipse(QRect(r.right() - sun - w / 10, r.top() + h / 8, sun, sun));
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom() - h / 4);
    hill.quadTo(r.left() + w / 2, r.bottom() - h / 2, r.right(), r.bottom() - h / 5);
    hill.lineTo(r.right(), r.bottom());
    hill.lineTo(r.left(), r.bottom());
    hill.closeSubpath();
    p.setBrush(fill(kLime));
    p.drawPath(hill);
    int hx = r.left() + w / 5, hw = w / 4, hy = r.bottom() - h / 3;
    p.setBrush(fill(kRed));
    p.drawRect(QRect(hx, hy, hw, h / 3 - 1));
    p.setBrush(fill(kMaroon));
    p.drawPolygon(
        QPolygon({QPoint(hx - 2, hy), QPoint(hx + hw / 2, hy - h / 4), QPoint(hx + hw + 2, hy)}));
    p.setPen(Outline());
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

QPolygon LeftArrow() {
    return QPolygon({QPoint(5, 36), QPoint(21, 15), QPoint(21, 27), QPoint(32, 27), QPoint(32, 45),
                     QPoint(21, 45), QPoint(21, 57)});
}

} // namespace

void DrawPrevious(QPainter& p) {
    Shape(p, LeftArrow(), kLime);
}

void DrawNext(QPainter& p) {
    QPolygon arrow = LeftArrow();
    for (QPoint& pt : arrow)
        pt.setX(37 - pt.x());
    Shape(p, arrow, kLime);
}

void DrawColourPage(QPainter& p) {
    // The page: a house, its wall already yellow, its roof being painted red.
    p.setPen(Outline());
    p.setBrush(C(kWhite));
    p.drawRect(QRect(7, 9, 58, 54));
    p.setBrush(C(kYellow));
    p.drawRect(QRect(17, 36, 30, 21));
    p.setBrush(C(kWhite));
    p.drawRect(QRect(27, 44, 10, 13));
    p.setBrush(C(kRed));
    p.drawPolygon(QPolygon({QPoint(13, 36), QPoint(32, 17), QPoint(51, 36)}));
    // The brush, lying across the page from the top right.
    p.save();
    p.translate(60, 40);
    p.rotate(-45);
    Shape(p, QPolygon({QPoint(22, -5), QPoint(48, -4), QPoint(48, 4), QPoint(22, 5)}), kMaroon);
    Shape(p, QPolygon({QPoint(9, -7), QPoint(22, -7), QPoint(22, 7), QPoint(9, 7)}), kSilver);
    Shape(p,
          QPolygon({QPoint(9, -7), QPoint(-3, -8), QPoint(-11, -3), QPoint(-16, 0), QPoint(-11, 3),
                    QPoint(-3, 8), QPoint(9, 7)}),
          kRed);
    p.restore();
}

void DrawPlaySound(QPainter& p) {
    Shape(p,
          QPolygon({QPoint(8, 28), QPoint(17, 28), QPoint(30, 15), QPoint(30, 57), QPoint(17, 44),
                    QPoint(8, 44)}),
          kBlue);
    p.drawLine(17, 28, 17, 44);
    for (int radius : {9, 18, 27}) {
        QPainterPath wave;
        QRectF box(30 - radius, 36 - radius, 2 * radius, 2 * radius);
        wave.arcMoveTo(box, 40);
        wave.arcTo(box, 40, -80);
        Stroke(p, wave, kRed, 3);
    }
}

void DrawStopSound(QPainter& p) {
    QPolygon outer, inner;
    const int ox[] = {-11, 11, 26, 26, 11, -11, -26, -26};
    const int oy[] = {-26, -26, -11, 11, 26, 26, 11, -11};
    for (int i = 0; i < 8; ++i) {
        outer << QPoint(34 + ox[i], 36 + oy[i]);
        inner << QPoint(34 + ox[i] * 4 / 5, 36 + oy[i] * 4 / 5);
    }
    Shape(p, outer, kWhite);
    p.setPen(Qt::NoPen);
    p.setBrush(C(kRed));
    p.drawPolygon(inner);
    Shape(p, QPolygon(QRect(26, 28, 16, 16)), kWhite);
}

void DrawSlideShow(QPainter& p) {
    // The screen on its stand.
    p.setPen(Outline(3));
    p.drawLine(50, 47, 50, 64);
    p.drawLine(50, 56, 40, 66);
    p.drawLine(50, 56, 60, 66);
    Landscape(p, QRect(26, 8, 50, 38), true);
    // Slides waiting their turn, one behind the other.
    const Colour centres[] = {kBlue, kLime, kRed};
    for (int i = 0; i < 3; ++i) {
        QRect slide(6 + 3 * i, 38 + 4 * i, 16, 16);
        Shape(p, QPolygon(slide), kWhite);
        p.setPen(Qt::NoPen);
        p.setBrush(C(centres[i]));
        p.drawRect(slide.adjusted(4, 4, -3, -3));
    }
}

void DrawPrint(QPainter& p) {
    // The sheet going in at the back.
    Shape(p, QPolygon(QRect(28, 7, 34, 24)), kWhite);
    // The printer: its body, a slot, a green light.
    Shape(p, QPolygon({QPoint(10, 30), QPoint(79, 30), QPoint(79, 54), QPoint(10, 54)}), kGrey);
    Shape(p, QPolygon(QRect(22, 46, 46, 4)), kBlack);
    p.setPen(Outline());
    p.setBrush(C(kLime));
    p.drawEllipse(QRect(68, 35, 6, 6));
    // The printed page coming out at the front, with a picture on it.
    Shape(p, QPolygon({QPoint(25, 49), QPoint(65, 49), QPoint(68, 67), QPoint(22, 67)}), kWhite);
    p.setBrush(C(kRed));
    p.drawEllipse(QRect(32, 53, 10, 10));
    p.setBrush(C(kBlue));
    p.drawRect(QRect(47, 54, 12, 9));
}

void DrawUpdate(QPainter& p) {
    Landscape(p, QRect(20, 5, 38, 27), true);
}

void DrawRestore(QPainter& p) {
    Landscape(p, QRect(20, 5, 38, 27), false);
}

void DrawExit(QPainter& p) {
    // The doorway, dark behind the open door.
    Shape(p, QPolygon(QRect(10, 5, 20, 27)), kNavy);
    // The door swung open towards us, with its knob.
    Shape(p, QPolygon({QPoint(30, 5), QPoint(40, 9), QPoint(40, 36), QPoint(30, 32)}), kMaroon);
    p.setPen(Outline(1));
    p.setBrush(C(kYellow));
    p.drawRect(QRect(36, 19, 2, 3));
    // The way out.
    Shape(p,
          QPolygon({QPoint(44, 16), QPoint(51, 16), QPoint(51, 10), QPoint(60, 19), QPoint(51, 28),
                    QPoint(51, 22), QPoint(44, 22)}),
          kLime);
}

void DrawInstructions(QPainter& p) {
    // The cover under the pages, then the two pages.
    Shape(p,
          QPolygon({QPoint(6, 12), QPoint(33, 16), QPoint(60, 12), QPoint(60, 33), QPoint(33, 35),
                    QPoint(6, 33)}),
          kBlue);
    Shape(p, QPolygon({QPoint(9, 8), QPoint(33, 12), QPoint(33, 32), QPoint(9, 29)}), kWhite);
    Shape(p, QPolygon({QPoint(33, 12), QPoint(57, 8), QPoint(57, 29), QPoint(33, 32)}), kWhite);
    // Lines of writing on the left page, a big question mark on the right.
    p.setPen(Outline(1));
    for (int y : {16, 20, 24})
        p.drawLine(13, y, 29, y + 2);
    QFont font("DejaVu Sans", 1, QFont::Black);
    font.setPixelSize(22);
    font.setStyleStrategy(QFont::NoAntialias);
    QPainterPath mark;
    mark.addText(38, 30, font, "?");
    p.setPen(Qt::NoPen);
    p.setBrush(C(kRed));
    p.drawPath(mark);
}

} // namespace faces
