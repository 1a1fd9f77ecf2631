// Draws the start-up picture (500 x 336, 256 colours) and writes it as an
// 8-bit bitmap: make_splash OUTPUT.BMP. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/tools/make_splash src/resources/bitmaps/splash.bmp
#include "model/display/dib.h"
#include "model/display/palette_builder.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 336;

// A crayon lying across the picture: a coloured body, a paper wrapper and a tip.
void DrawCrayon(QPainter& p, QPointF at, double angle, QColor colour) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    p.setPen(QPen(Qt::black, 3));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(-70, -14, 120, 28), 6, 6);
    p.setBrush(colour.lighter(140));
    p.drawRect(QRectF(-40, -14, 60, 28));
    QPainterPath tip;
    tip.moveTo(50, -14);
    tip.lineTo(85, 0);
    tip.lineTo(50, 14);
    tip.closeSubpath();
    p.setBrush(colour);
    p.drawPath(tip);
    p.restore();
}

void DrawSun(QPainter& p) {
    p.setPen(QPen(QColor(230, 120, 0), 5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(430, 70);
        p.rotate(i * 30);
        p.drawLine(QPointF(40, 0), QPointF(58, 0));
        p.restore();
    }
    p.setPen(QPen(Qt::black, 3));
    p.setBrush(QColor(255, 215, 0));
    p.drawEllipse(QPointF(430, 70), 34, 34);
}

QImage DrawSplash() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(120, 190, 255));
    sky.setColorAt(1, QColor(210, 240, 255));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 200, 90));
    p.drawEllipse(QRectF(-80, 250, 400, 200));
    p.drawEllipse(QRectF(220, 260, 420, 200));
    DrawSun(p);

    QFont font("DejaVu Sans", 64, QFont::Black);
    QPainterPath title;
    title.addText(0, 0, font, "Tintaroo!");
    QRectF box = title.boundingRect();
    title.translate((kWidth - box.width()) / 2 - box.left(), 150 - box.top() - box.height() / 2);
    QLinearGradient letters(0, 100, kWidth, 200);
    letters.setColorAt(0.0, QColor(230, 40, 60));
    letters.setColorAt(0.35, QColor(250, 160, 0));
    letters.setColorAt(0.65, QColor(40, 160, 70));
    letters.setColorAt(1.0, QColor(60, 90, 220));
    p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(letters);
    p.drawPath(title);

    DrawCrayon(p, QPointF(120, 262), -12, QColor(220, 40, 50));
    DrawCrayon(p, QPointF(250, 280), 4, QColor(40, 110, 230));
    DrawCrayon(p, QPointF(385, 258), 14, QColor(250, 200, 0));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_splash OUTPUT.BMP\n", stderr);
        return 64;
    }
    QImage image = DrawSplash();
    PixelBuffer buffer(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kWidth; ++x)
            buffer.Set(x, y, row[x] & kRgbMask);
    }
    DibHandle dib = ChangeBitmapFormat(buffer, 8, kDibRgb, BuildPalette(buffer));
    if (!dib || SaveDIB(*dib, argv[1]) != DibSaveResult::Saved) {
        std::fprintf(stderr, "make_splash: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
