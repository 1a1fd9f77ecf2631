#include "instruction_screen.h"

#include "model/controls/color_table.h"

#include <QPolygon>

#include <cmath>
#include <numbers>

namespace howto {

namespace {

const QColor kFace(192, 192, 192);
const QColor kShadow(128, 128, 128);
constexpr int kRowTop = kBarTop + 2; // the buttons' top edge, as in both bars

// The colouring bar's places, left to right.
constexpr int kWellWidth = 18;
constexpr int kWellHeight = 36;
constexpr int kToolsLeft = 278; // after the palette (270) and a separator (8)
constexpr int kToolWidth = 36;
constexpr int kToolHeight = 73;
constexpr int kSizesLeft = kToolsLeft + 3 * kToolWidth + 8;
constexpr int kUndoLeft = kSizesLeft + 3 * kToolWidth + 8;
constexpr int kUndoWidth = 42;
constexpr int kDoneLeft = kUndoLeft + kUndoWidth - 1; // Done shares Undo's right edge
constexpr int kDoneWidth = 71;

void Blit(QPainter& p, const Faces& faces, const char* name, int x, int y) {
    p.drawImage(x, y, faces.Get(name));
}

// The page counter's list box, empty: no words on these pages.
void DrawPageList(QPainter& p) {
    const QRect box(39, kBarTop + 20, 60, 26);
    p.fillRect(box, Qt::white);
    p.fillRect(box.x(), box.y(), box.width(), 1, kShadow);
    p.fillRect(box.x(), box.y(), 1, box.height(), kShadow);
    const QRect arrow(box.right() - 16, box.y() + 2, 15, box.height() - 4);
    p.fillRect(arrow, kFace);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPoint c = arrow.center();
    p.drawPolygon(QPolygon({c + QPoint(-4, -2), c + QPoint(4, -2), c + QPoint(0, 2)}));
}

// One well with its sunken bevel, drawn the way the palette draws it.
void DrawWell(QPainter& p, int index) {
    const QRect cell = WellRect(index);
    const int l = cell.left(), t = cell.top(), r = cell.right(), b = cell.bottom();
    p.fillRect(QRect(QPoint(l + 2, t + 1), QPoint(r - 1, b - 2)), PaintColour(index));
    auto line = [&](int x0, int y0, int x1, int y1, const QColor& c) {
        p.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)).normalized(), c);
    };
    line(l, t, l, b - 1, Qt::white);
    line(l, b, r, b, Qt::white);
    if (index / 2 == 14)
        line(r + 1, t, r + 1, b, Qt::white);
    line(l + 1, t, l + 1, b - 1, kShadow);
    line(l + 2, t, r, t, kShadow);
    line(l + 2, b - 1, r - 1, b - 1, kFace);
    line(r, b - 1, r, t + 2, kFace);
    line(l + 2, t + 1, l + 2, b - 2, Qt::black);
    line(l + 3, t + 1, r - 1, t + 1, Qt::black);
}

// The chosen well: a black frame round it (the program inverts the colours
// under its frame; black shows as well on these pages and stays in the
// page's colours).
void DrawChosenWell(QPainter& p, int index) {
    const QRect r = WellRect(index).adjusted(0, -1, 2, 1);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1, 1, -1, -1));
}

// A tool button as the bar draws it: raised, or pushed in and checked.
void DrawToolButton(QPainter& p, const QImage& picture, int x, bool pushed) {
    const QRect rect(x, kRowTop, kToolWidth, kToolHeight);
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    p.fillRect(rect, kFace);
    if (pushed)
        p.fillRect(rect.adjusted(2, 2, -2, -2), QBrush(Qt::white, Qt::Dense4Pattern));
    auto edge = [&](const QColor& c, int x0, int y0, int x1, int y1) {
        p.setPen(c);
        p.drawLine(x0, y0, x1, y1);
    };
    edge(pushed ? Qt::black : Qt::white, l, t, r - 1, t);
    edge(pushed ? Qt::black : Qt::white, l, t, l, b - 1);
    edge(pushed ? kShadow : kFace, l + 1, t + 1, r - 2, t + 1);
    edge(pushed ? kShadow : kFace, l + 1, t + 1, l + 1, b - 2);
    edge(pushed ? Qt::white : Qt::black, l, b, r, b);
    edge(pushed ? Qt::white : Qt::black, r, t, r, b);
    edge(pushed ? kFace : kShadow, l + 1, b - 1, r - 1, b - 1);
    edge(pushed ? kFace : kShadow, r - 1, t + 1, r - 1, b - 1);
    const int shift = pushed ? 1 : 0;
    p.drawImage(l + 3 + shift, t + 4 + shift, picture);
}

} // namespace

QColor PaintColour(int index) {
    const Pixel p = ColorTablePixel(index);
    return QColor(PixelRed(p), PixelGreen(p), PixelBlue(p));
}

QImage Faces::Get(const char* name) const {
    const QString file = QString::fromLatin1(name) + ".bmp";
    QImage face(m_folder.filePath(file));
    if (face.isNull()) {
        if (!m_missing.contains(file))
            m_missing.append(file);
        return face;
    }
    return face.convertToFormat(QImage::Format_RGB32);
}

void DrawSky(QPainter& p) {
    p.fillRect(0, 0, kPageWidth, kBarTop, QColor::fromRgb(kSky));
}

void DrawViewerBar(QPainter& p, const Faces& faces) {
    p.fillRect(0, kBarTop, kPageWidth, kPageHeight - kBarTop, kFace);
    Blit(p, faces, "prevu", 0, kRowTop);
    DrawPageList(p);
    Blit(p, faces, "nextu", 98, kRowTop);
    Blit(p, faces, "dopaintu", 142, kRowTop);
    Blit(p, faces, "playsndu", 243, kRowTop);
    Blit(p, faces, "slidshwu", 312, kRowTop);
    Blit(p, faces, "printu", 395, kRowTop);
    Blit(p, faces, "updateu", 483, kRowTop);
    Blit(p, faces, "restoreu", 483, kRowTop + 36);
    Blit(p, faces, "exitu", 561, kRowTop);
    Blit(p, faces, "colorinu", 561, kRowTop + 36);
}

void DrawColouringBar(QPainter& p, const Faces& faces, const ColouringBar& bar) {
    p.fillRect(0, kBarTop, kPageWidth, kPageHeight - kBarTop, kFace);
    for (int i = 0; i < 30; ++i)
        DrawWell(p, i);
    DrawChosenWell(p, bar.colour);
    const QImage strip = faces.Get("coltools");
    for (int i = 0; i < 6; ++i) {
        const bool pushed = i < 3 ? i == int(bar.tool) : i - 3 == bar.size;
        const int x = i < 3 ? kToolsLeft + i * kToolWidth : kSizesLeft + (i - 3) * kToolWidth;
        DrawToolButton(p, strip.copy(i * 30, 0, 30, 65), x, pushed);
    }
    Blit(p, faces, "undou", kUndoLeft, kRowTop);
    Blit(p, faces, "doneu", kDoneLeft, kRowTop);
}

QRect ColourPageButton() {
    return QRect(142, kRowTop, 102, 73);
}

QRect WellRect(int colour) {
    return QRect(kWellWidth * (colour / 2), kRowTop + kWellHeight * (colour % 2), kWellWidth,
                 kWellHeight);
}

QRect ToolRect(Tool tool) {
    return QRect(kToolsLeft + int(tool) * kToolWidth, kRowTop, kToolWidth, kToolHeight);
}

QRect UndoButton() {
    return QRect(kUndoLeft, kRowTop, kUndoWidth, 73);
}

QRect DoneButton() {
    return QRect(kDoneLeft, kRowTop, kDoneWidth, 73);
}

void DrawGlow(QPainter& p, const QRect& r) {
    const QRect ring = r.adjusted(-5, -5, 5, 5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 9, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(ring);
    p.setPen(QPen(Qt::yellow, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(ring);
}

void DrawHand(QPainter& p, const Faces& faces, QPoint tip, bool fromAbove) {
    // The pointer file holds the picture above its mask; the fingertip, its
    // hot spot, is (6, 0). Turned over, row 0 goes to the bottom.
    const QImage pointer = faces.Get("hand");
    if (pointer.isNull())
        return;
    constexpr int kScale = 2;
    const QPoint origin = tip - QPoint(6 * kScale, fromAbove ? 31 * kScale + kScale - 1 : 0);
    for (int y = 0; y < 32; ++y) {
        const int row = fromAbove ? 31 - y : y;
        for (int x = 0; x < 32; ++x) {
            if (qGray(pointer.pixel(x, y + 32)) != 0)
                continue; // see-through
            p.fillRect(origin.x() + x * kScale, origin.y() + row * kScale, kScale, kScale,
                       QColor::fromRgb(pointer.pixel(x, y)));
        }
    }
}

void DrawClick(QPainter& p, QPoint tip) {
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    for (double degrees : {-165.0, -125.0, -90.0, -55.0, -15.0}) {
        const double a = degrees * std::numbers::pi / 180;
        p.drawLine(QPointF(tip) + QPointF(11 * std::cos(a), 11 * std::sin(a)),
                   QPointF(tip) + QPointF(22 * std::cos(a), 22 * std::sin(a)));
    }
}

void DrawArrow(QPainter& p, const QRect& r) {
    const int midY = r.center().y();
    const int neck = r.left() + r.width() * 11 / 20;
    const int half = r.height() / 4;
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(PaintColour(26)); // orange
    p.drawPolygon(QPolygon({{r.left(), midY - half},
                            {neck, midY - half},
                            {neck, r.top()},
                            {r.right(), midY},
                            {neck, r.bottom()},
                            {neck, midY + half},
                            {r.left(), midY + half}}));
}

} // namespace howto
