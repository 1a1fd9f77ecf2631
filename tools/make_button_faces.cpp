// Draws the faces of the bars' buttons, the colouring bar's tool strip and the
// pointers, and writes them as bitmaps into a folder: make_button_faces
// FOLDER. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/tools/make_button_faces src/resources/bitmaps
//
// Every face is a 16-colour (4 bits per pixel) bitmap: a raised button with
// its picture (name + "u"), the same button pushed in with the picture moved
// down and to the right (name + "d"), and for some buttons a greyed face with
// only the picture's outlines, etched into the button (name + "x").
// coltools.bmp is the colouring bar's tool strip, also 16 colours: six 30 x 65
// pictures side by side on the button grey, without frames (the bar draws
// its buttons around them).
// The pointers (hand, roller, brush1 to brush3) are 1-bit bitmaps 32 wide and
// 64 high, the picture above its mask (black in the mask: part of the
// pointer; white: see-through).
#include "button_pictures.h"
#include "colouring_pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

namespace {

using namespace faces;

enum Kind { kUp, kDown, kGreyed };

struct Face {
    const char* file;
    int width;
    int height;
    void (*draw)(QPainter&);
    Kind kind;
    int frameWidth = 0; // narrower than the bitmap: the button shows only that much
};

const Face kFaces[] = {
    {"prevu", 38, 73, DrawPrevious, kUp},
    {"prevd", 38, 73, DrawPrevious, kDown},
    {"nextu", 38, 73, DrawNext, kUp},
    {"nextd", 38, 73, DrawNext, kDown},
    {"dopaintu", 102, 73, DrawColourPage, kUp},
    {"dopaintd", 102, 73, DrawColourPage, kDown},
    {"playsndu", 70, 73, DrawPlaySound, kUp},
    {"playsndd", 70, 73, DrawPlaySound, kDown},
    // Shown by a 70-pixel button: the face is drawn in the 70 columns it shows.
    {"playsndx", 87, 73, DrawPlaySound, kGreyed, 70},
    {"stopsndu", 70, 73, DrawStopSound, kUp},
    {"stopsndd", 70, 73, DrawStopSound, kDown},
    {"slidshwu", 84, 73, DrawSlideShow, kUp},
    {"slidshwd", 84, 73, DrawSlideShow, kDown},
    {"printu", 89, 73, DrawPrint, kUp},
    {"printd", 89, 73, DrawPrint, kDown},
    {"updateu", 79, 37, DrawUpdate, kUp},
    {"updated", 79, 37, DrawUpdate, kDown},
    {"updatex", 79, 37, DrawUpdate, kGreyed},
    {"exitu", 66, 37, DrawExit, kUp},
    {"exitd", 66, 37, DrawExit, kDown},
    {"restoreu", 79, 37, DrawRestore, kUp},
    {"restored", 79, 37, DrawRestore, kDown},
    {"restorex", 79, 37, DrawRestore, kGreyed},
    {"colorinu", 66, 37, DrawInstructions, kUp},
    {"colorind", 66, 37, DrawInstructions, kDown},
    {"undou", 42, 73, DrawUndo, kUp},
    {"undod", 42, 73, DrawUndo, kDown},
    {"undox", 42, 73, DrawUndo, kGreyed},
    {"doneu", 71, 73, DrawDone, kUp},
    {"doned", 71, 73, DrawDone, kDown},
};

// The colouring bar's tools in the order of its strip.
void (*const kTools[])(QPainter&) = {DrawFillTool,   DrawBrushTool,   DrawLineTool,
                                     DrawLargeBrush, DrawMediumBrush, DrawSmallBrush};

// The button around the picture: a black edge with the corners cut, lit from
// the top left when raised, in shadow at the top left when pushed in.
void DrawFrame(QImage& face, int w, int h, bool pushed) {
    auto put = [&](int x, int y, Colour c) { face.setPixel(x, y, kPalette[c]); };
    for (int x = 1; x < w - 1; ++x)
        put(x, 0, kBlack), put(x, h - 1, kBlack);
    for (int y = 1; y < h - 1; ++y)
        put(0, y, kBlack), put(w - 1, y, kBlack);
    for (int i = 1; i <= 2; ++i) {
        if (pushed && i == 2)
            break;
        Colour light = pushed ? kGrey : kWhite;
        for (int x = 1; x < w - 1 - i; ++x)
            put(x, i, light);
        for (int y = 1; y < h - 1 - i; ++y)
            put(i, y, light);
        if (pushed)
            continue;
        for (int x = i; x < w - 1; ++x)
            put(x, h - 1 - i, kGrey);
        for (int y = i; y < h - 1; ++y)
            put(w - 1 - i, y, kGrey);
    }
}

QImage DrawPicture(const Face& f, int w) {
    QImage layer(w, f.height, QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    f.draw(p);
    return layer;
}

// The picture's outlines only, etched: grey lines with a white edge below
// and to the right of them, the way a switched-off button looks.
void Etch(QImage& face, const QImage& picture, const QRect& inside) {
    auto isLine = [&](int x, int y) {
        return picture.rect().contains(x, y) && picture.pixel(x, y) == kPalette[kBlack];
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                if (pass == 0 && isLine(x - 1, y - 1) && !isLine(x, y))
                    face.setPixel(x, y, kPalette[kWhite]);
                if (pass == 1 && isLine(x, y))
                    face.setPixel(x, y, kPalette[kGrey]);
            }
        }
    }
}

QImage DrawFace(const Face& f) {
    int w = f.frameWidth ? f.frameWidth : f.width;
    QImage face(f.width, f.height, QImage::Format_RGB32);
    face.fill(kPalette[kSilver]);
    DrawFrame(face, w, f.height, f.kind == kDown);
    QImage picture = DrawPicture(f, w);
    if (f.kind == kGreyed) {
        Etch(face, picture, QRect(3, 3, w - 6, f.height - 6));
        return face;
    }
    QPainter p(&face);
    if (f.kind == kDown) {
        p.setClipRect(QRect(2, 2, w - 3, f.height - 3));
        p.drawImage(2, 2, picture);
    } else {
        p.setClipRect(QRect(3, 3, w - 6, f.height - 6));
        p.drawImage(0, 0, picture);
    }
    return face;
}

// The pointing hand; the tip of its finger, (6, 0), is the pointer's hot spot.
// 'X' black, 'o' white, '.' see-through.
const char* const kHand[32] = {
    ".....XXXX.......................", "....XooooX......................",
    "....XooooX......................", "....XooooX......................",
    "....XooooX......................", "....XooooX......................",
    "....XooooXXXXXX.................", "....XooooXooooXXXXXX............",
    "....XooooXooooXooooXXXXX........", "....XooooXooooXooooXoooX........",
    "....XooooXooooXooooXoooX........", "....XooooXooooXooooXoooX........",
    "....XooooooooooooooooooX........", ".XXXXooooooooooooooooooX........",
    "XoooXooooooooooooooooooX........", "XooooXoooooooooooooooooX........",
    "XoooooXooooooooooooooooX........", ".XoooooooooooooooooooooX........",
    "..XooooooooooooooooooooX........", "...XoooooooooooooooooooX........",
    "....XooooooooooooooooooX........", ".....XoooooooooooooooooX........",
    "......XooooooooooooooooX........", "......XoooooooooooooooX.........",
    ".......XooooooooooooooX.........", ".......XooooooooooooooX.........",
    ".......XXXXXXXXXXXXXXXX.........", "................................",
    "................................", "................................",
    "................................", "................................",
};

QImage DrawToolStrip() {
    QImage strip(30 * int(std::size(kTools)), 65, QImage::Format_RGB32);
    strip.fill(kPalette[kSilver]);
    QPainter p(&strip);
    for (std::size_t i = 0; i < std::size(kTools); ++i) {
        QImage layer(30, 65, QImage::Format_ARGB32);
        layer.fill(Qt::transparent);
        QPainter draw(&layer);
        kTools[i](draw);
        draw.end();
        p.drawImage(30 * int(i), 0, layer);
    }
    return strip;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// An uncompressed bitmap file of 1 or 4 bits per pixel over the given colour
// table. Empty when a pixel is not one of the table's colours.
std::vector<std::uint8_t> EncodeIndexed(const QImage& image, int bits,
                                        const std::vector<QRgb>& table) {
    const int w = image.width(), h = image.height();
    const int stride = ((w * bits + 31) / 32) * 4;
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(table.size());
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + stride * h);
    Put32(out, 0);
    Put32(out, offset);
    for (std::uint32_t v : {40u, std::uint32_t(w), std::uint32_t(h)})
        Put32(out, v);
    Put16(out, 1);
    Put16(out, bits);
    for (std::uint32_t v :
         {0u, std::uint32_t(stride * h), 2835u, 2835u, std::uint32_t(table.size()), 0u})
        Put32(out, v);
    for (QRgb c : table)
        Put32(out, c & 0xFFFFFF); // blue, green, red, 0
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < w; ++x) {
            auto it = std::find(table.begin(), table.end(), image.pixel(x, y) | 0xFF000000);
            if (it == table.end())
                return {};
            int index = static_cast<int>(it - table.begin());
            int bit = x * bits;
            row[bit / 8] |= index << (8 - bits - bit % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool Write(const QDir& folder, const QString& name, const std::vector<std::uint8_t>& bytes) {
    QFile file(folder.filePath(name));
    if (bytes.empty() || !file.open(QIODevice::WriteOnly))
        return false;
    return file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
           qint64(bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_button_faces FOLDER\n", stderr);
        return 64;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::vector<QRgb> colours(kPalette.begin(), kPalette.end());
    for (const Face& f : kFaces) {
        QString name = QString(f.file) + ".bmp";
        if (!Write(folder, name, EncodeIndexed(DrawFace(f), 4, colours))) {
            std::fprintf(stderr, "make_button_faces: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    if (!Write(folder, "coltools.bmp", EncodeIndexed(DrawToolStrip(), 4, colours))) {
        std::fputs("make_button_faces: cannot write coltools.bmp\n", stderr);
        return 1;
    }
    const std::pair<const char*, QImage> pointers[] = {
        {"hand.bmp", PointerFromArt(kHand)}, {"roller.bmp", DrawRollerPointer()},
        {"brush1.bmp", DrawBrushPointer(0)}, {"brush2.bmp", DrawBrushPointer(1)},
        {"brush3.bmp", DrawBrushPointer(2)},
    };
    for (const auto& [name, pointer] : pointers) {
        if (!Write(folder, name, EncodeIndexed(pointer, 1, {kPalette[kBlack], kPalette[kWhite]}))) {
            std::fprintf(stderr, "make_button_faces: cannot write %s\n", name);
            return 1;
        }
    }
    return 0;
}
