// Draws the program's icon and the icon of its volume files at every size the
// desktop's icon theme asks for, and writes them as PNG files in the hicolor
// layout: make_app_icons OUTPUT_DIR writes
//   OUTPUT_DIR/<n>x<n>/apps/org.quorvex.Tintaroo.png
//   OUTPUT_DIR/<n>x<n>/mimetypes/application-x-tintaroo-volume.png
// for n = 16, 24, 32, 48, 64, 128, 256. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/tools/make_app_icons packaging/icons
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>

namespace {

// Both icons are drawn on a 256-unit square and scaled to the size asked for.
constexpr double kUnits = 256;
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// An outline pen that stays at least one pixel wide however small the icon.
QPen Outline(const QPainter& p, double units) {
    const double scale = p.transform().m11();
    QPen pen(QColor(30, 30, 30), std::max(units, 1.0 / scale));
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// A crayon from the middle of its body to its tip along +x: body, paper
// wrapper, sharpened tip.
void DrawCrayon(QPainter& p, QPointF at, double angle, double length, QColor colour) {
    p.save();
    p.translate(at);
    p.rotate(angle);
    const double half = length / 2;
    const double thick = length * 0.22;
    p.setPen(Outline(p, 8));
    p.setBrush(colour);
    QPainterPath body;
    body.moveTo(-half, -thick / 2);
    body.lineTo(half * 0.55, -thick / 2);
    body.lineTo(half, 0);
    body.lineTo(half * 0.55, thick / 2);
    body.lineTo(-half, thick / 2);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(colour.lighter(150));
    p.drawRect(QRectF(-half * 0.55, -thick / 2, half * 0.8, thick));
    p.restore();
}

void DrawSun(QPainter& p, QPointF centre, double radius) {
    p.setPen(QPen(QColor(240, 130, 0), radius * 0.28, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 45);
        p.drawLine(QPointF(radius * 1.3, 0), QPointF(radius * 1.7, 0));
        p.restore();
    }
    p.setPen(Outline(p, 6));
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(centre, radius, radius);
}

// The program: a sky-blue tile with a green hill, a sun and a red crayon.
void DrawAppIcon(QPainter& p) {
    const QRectF tile(12, 12, 232, 232);
    QLinearGradient sky(0, 12, 0, 244);
    sky.setColorAt(0, QColor(110, 185, 255));
    sky.setColorAt(1, QColor(200, 235, 255));
    p.setPen(Outline(p, 8));
    p.setBrush(sky);
    p.drawRoundedRect(tile, 44, 44);

    p.save();
    QPainterPath clip;
    clip.addRoundedRect(tile, 44, 44);
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(100, 195, 80));
    p.drawEllipse(QRectF(-40, 170, 340, 160));
    p.restore();

    DrawSun(p, QPointF(176, 80), 34);
    DrawCrayon(p, QPointF(110, 160), -38, 190, QColor(225, 40, 55));
}

// A volume file: a sheet with a folded corner and a small coloured picture.
void DrawVolumeIcon(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(40, 12);
    sheet.lineTo(170, 12);
    sheet.lineTo(216, 58);
    sheet.lineTo(216, 244);
    sheet.lineTo(40, 244);
    sheet.closeSubpath();
    p.setPen(Outline(p, 8));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(170, 12);
    fold.lineTo(170, 58);
    fold.lineTo(216, 58);
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(fold);

    const QRectF picture(64, 86, 128, 128);
    p.setPen(Outline(p, 6));
    p.setBrush(QColor(170, 220, 255));
    p.drawRect(picture);
    p.save();
    p.setClipRect(picture);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(100, 195, 80));
    p.drawEllipse(QRectF(30, 170, 200, 100));
    p.restore();
    DrawSun(p, QPointF(128, 136), 22);
}

QImage Render(int size, void (*draw)(QPainter&)) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    draw(p);
    return image;
}

bool Write(const QString& root, int size, const char* context, const char* name,
           void (*draw)(QPainter&)) {
    const QString dir = QStringLiteral("%1/%2x%2/%3").arg(root).arg(size).arg(context);
    const QString file = dir + '/' + name + ".png";
    if (!QDir().mkpath(dir) || !Render(size, draw).save(file, "PNG")) {
        std::fprintf(stderr, "make_app_icons: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_app_icons OUTPUT_DIR\n", stderr);
        return 64;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : kSizes) {
        if (!Write(root, size, "apps", "org.quorvex.Tintaroo", DrawAppIcon) ||
            !Write(root, size, "mimetypes", "application-x-tintaroo-volume", DrawVolumeIcon))
            return 1;
    }
    return 0;
}
