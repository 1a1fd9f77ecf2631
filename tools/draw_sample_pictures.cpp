// Draws the line-art pages of the sample book: bold black outlines on white,
// every part a closed area a child can fill, 600 x 450 pixels. Two pages are
// written as 1-bit files, two as 4-bit and two as 8-bit files, the three
// depths a book's pages come in.
//
//   draw_sample_pictures OUT_FOLDER     (the committed pages: data/books/sample)
//
// Pixels are pure black or white, never shades between: the fill tool stops
// at black, so a grey edge pixel would stay white inside a coloured area.
// The program shows and saves 1- and 4-bit pages with the thirty paint
// colours; an 8-bit page with its own colour table, which therefore starts
// with the thirty paint colours, so a page coloured in any of them saves
// without a colour change.
#include "bmp_forge.h"
#include "model/controls/color_table.h"
#include "model/display/dib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 450;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;
constexpr double kLine = 3.5; // half the width of an outline

struct P {
    double x;
    double y;
};
using Path = std::vector<P>;

// ---- shapes ---------------------------------------------------------------

// An ellipse (or, with a0..a1, an arc of one) turned by `turn` radians.
Path Ellipse(double cx, double cy, double rx, double ry, double turn = 0, double a0 = 0,
             double a1 = 2 * std::numbers::pi, int steps = 240) {
    Path path;
    const bool closed = a1 - a0 >= 2 * std::numbers::pi - 1e-9;
    const int n = closed ? steps : steps + 1;
    for (int i = 0; i < n; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        const double x = rx * std::cos(a);
        const double y = ry * std::sin(a);
        path.push_back({cx + x * std::cos(turn) - y * std::sin(turn),
                        cy + x * std::sin(turn) + y * std::cos(turn)});
    }
    return path;
}

Path Circle(double cx, double cy, double r) {
    return Ellipse(cx, cy, r, r);
}

Path Rect(double x, double y, double w, double h) {
    return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
}

// A closed band of half-width w along an open centre line, rounded at its tip.
Path Band(const Path& centre, double w) {
    Path left;
    Path right;
    for (std::size_t i = 0; i < centre.size(); ++i) {
        const P a = centre[i == 0 ? 0 : i - 1];
        const P b = centre[i + 1 < centre.size() ? i + 1 : i];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        const double nx = -(b.y - a.y) / len;
        const double ny = (b.x - a.x) / len;
        left.push_back({centre[i].x + nx * w, centre[i].y + ny * w});
        right.push_back({centre[i].x - nx * w, centre[i].y - ny * w});
    }
    const P tip = centre.back();
    const P before = centre[centre.size() - 2];
    const double heading = std::atan2(tip.y - before.y, tip.x - before.x);
    for (int i = 1; i < 24; ++i) {
        const double a = heading + std::numbers::pi / 2 - std::numbers::pi * i / 24;
        left.push_back({tip.x + w * std::cos(a), tip.y + w * std::sin(a)});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

// ---- drawing ----------------------------------------------------------------

class Page {
public:
    Page() : m_pixels(kWidth, kHeight, kWhite) {}

    // A shape as a closed area: white inside, outlined in black.
    void Shape(const Path& path, double half = kLine) {
        Fill(path, kWhite);
        Stroke(path, true, half);
    }
    // A solid black shape (pupils, noses).
    void Solid(const Path& path) { Fill(path, kBlack); }
    // An open line.
    void Line(const Path& path, double half = kLine) { Stroke(path, false, half); }

    // Several overlapping shapes drawn as one: only their common outline.
    // The strokes are drawn twice as wide and then the insides painted
    // white, which leaves the outer half of each stroke.
    void Union(const std::vector<Path>& parts) {
        for (const Path& p : parts)
            Stroke(p, true, 2 * kLine);
        for (const Path& p : parts)
            Fill(p, kWhite);
    }

    const PixelBuffer& Pixels() const { return m_pixels; }

private:
    void Plot(int x, int y, Pixel c) {
        if (m_pixels.Contains(x, y))
            m_pixels.Set(x, y, c);
    }

    // Even-odd fill, sampling each pixel at its centre.
    void Fill(const Path& path, Pixel c) {
        double top = kHeight;
        double bottom = 0;
        for (const P& p : path) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        for (int y = std::max(0, int(top)); y <= std::min(kHeight - 1, int(bottom)); ++y) {
            const double yc = y + 0.5;
            std::vector<double> xs;
            for (std::size_t i = 0; i < path.size(); ++i) {
                const P a = path[i];
                const P b = path[(i + 1) % path.size()];
                if ((a.y <= yc) != (b.y <= yc))
                    xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
                for (int x = int(std::ceil(xs[i] - 0.5)); x + 0.5 < xs[i + 1]; ++x)
                    Plot(x, y, c);
        }
    }

    // Every pixel whose centre lies within `half` of the path.
    void Stroke(const Path& path, bool closed, double half) {
        const std::size_t n = closed ? path.size() : path.size() - 1;
        for (std::size_t i = 0; i < n; ++i)
            Capsule(path[i], path[(i + 1) % path.size()], half);
    }

    void Capsule(P a, P b, double half) {
        const int x0 = int(std::floor(std::min(a.x, b.x) - half));
        const int x1 = int(std::ceil(std::max(a.x, b.x) + half));
        const int y0 = int(std::floor(std::min(a.y, b.y) - half));
        const int y1 = int(std::ceil(std::max(a.y, b.y) + half));
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5 - a.x;
                const double py = y + 0.5 - a.y;
                const double t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0;
                const double ex = px - t * dx;
                const double ey = py - t * dy;
                if (ex * ex + ey * ey <= half * half)
                    Plot(x, y, kBlack);
            }
        }
    }

    PixelBuffer m_pixels;
};

// An eye: a white ball with a black pupil and a white glint.
void Eye(Page& page, double x, double y, double r) {
    page.Shape(Ellipse(x, y, r, r * 1.15));
    page.Solid(Ellipse(x + r * 0.15, y + r * 0.2, r * 0.55, r * 0.65));
    page.Shape(Circle(x + r * 0.3, y - r * 0.05, r * 0.18), 0.5);
}

constexpr double kPi = std::numbers::pi;

// ---- the pages --------------------------------------------------------------

void DrawCat(Page& page) {
    // Tail behind the body: out to the right, round and up.
    page.Shape(Band(Ellipse(420, 265, 95, 95, 0, 2.3, -1.1, 60), 15));
    page.Shape(Ellipse(300, 330, 125, 100));         // body
    page.Shape({{208, 150}, {222, 48}, {288, 112}}); // ears, behind the head
    page.Shape({{392, 150}, {378, 48}, {312, 112}});
    page.Shape({{228, 122}, {232, 78}, {266, 110}}); // inside of the ears
    page.Shape({{372, 122}, {368, 78}, {334, 110}});
    page.Shape(Ellipse(300, 185, 105, 88)); // head
    page.Shape(Ellipse(245, 415, 42, 24));  // front paws
    page.Shape(Ellipse(355, 415, 42, 24));
    page.Shape(Ellipse(300, 335, 55, 60)); // tummy
    Eye(page, 262, 170, 20);
    Eye(page, 338, 170, 20);
    page.Shape({{286, 208}, {314, 208}, {300, 224}}); // nose
    page.Line(Ellipse(286, 228, 14, 12, 0, 0, kPi));  // mouth
    page.Line(Ellipse(314, 228, 14, 12, 0, 0, kPi));
    for (int side : {-1, 1}) // whiskers
        for (int k = -1; k <= 1; ++k)
            page.Line({{300 + side * 40.0, 215.0 + 8 * k}, {300 + side * 130.0, 205.0 + 22 * k}},
                      2.5);
}

void DrawDog(Page& page) {
    page.Shape({{225, 450}, {240, 300}, {360, 300}, {375, 450}}); // neck
    Path collar;                                                  // a curved strap across the neck
    for (int i = 0; i <= 40; ++i)
        collar.push_back({228 + 144 * i / 40.0, 345 + 30 * (i / 40.0) * (1 - i / 40.0)});
    for (int i = 40; i >= 0; --i)
        collar.push_back({228 + 144 * i / 40.0, 372 + 30 * (i / 40.0) * (1 - i / 40.0)});
    page.Shape(collar);
    page.Shape(Circle(300, 398, 18));             // tag
    page.Shape(Ellipse(300, 195, 125, 115));      // head
    page.Shape(Ellipse(182, 205, 45, 100, 0.35)); // floppy ears over the sides
    page.Shape(Ellipse(418, 205, 45, 100, -0.35));
    page.Shape(Ellipse(345, 150, 42, 36, 0.3)); // patch round one eye
    Eye(page, 255, 155, 19);
    Eye(page, 345, 155, 19);
    page.Shape(Ellipse(300, 250, 72, 50));            // snout
    page.Shape(Ellipse(300, 268, 19, 34, 0, 0, kPi)); // tongue, under the mouth
    page.Line({{300, 272}, {300, 290}}, 2.5);
    page.Solid(Ellipse(300, 226, 26, 17)); // nose
    page.Line({{300, 240}, {300, 262}});
    page.Line(Ellipse(276, 262, 24, 14, 0, 0, kPi)); // mouth
    page.Line(Ellipse(324, 262, 24, 14, 0, 0, kPi));
}

void DrawFish(Page& page) {
    page.Shape({{410, 225}, {545, 125}, {515, 225}, {545, 325}});      // tail
    Path fin = Ellipse(300, 150, 85, 65, 0, kPi, 1.5 * kPi, 60);       // top fin: round front,
    const Path back = Ellipse(375, 85, 75, 65, 0, kPi, 0.5 * kPi, 60); // hollow back
    fin.insert(fin.end(), back.begin() + 1, back.end());
    page.Shape(fin);
    page.Shape(Ellipse(290, 320, 45, 35, 0, 0, kPi));            // bottom fin
    page.Shape(Ellipse(280, 225, 165, 105));                     // body
    page.Line(Ellipse(190, 225, 50, 88, 0, -kPi / 2, kPi / 2));  // gill
    page.Line(Ellipse(290, 225, 50, 104, 0, -kPi / 2, kPi / 2)); // stripes
    page.Line(Ellipse(360, 225, 40, 92, 0, -kPi / 2, kPi / 2));
    page.Shape(Ellipse(255, 200, 26, 16, -0.4)); // side fin
    Eye(page, 160, 200, 22);
    page.Line(Ellipse(128, 250, 14, 10, 0, 0, kPi)); // mouth
    page.Shape(Circle(85, 150, 18));                 // bubbles
    page.Shape(Circle(60, 95, 13));
    page.Shape(Circle(88, 50, 9));
    Path waves; // sea floor
    for (int x = 0; x <= kWidth; x += 5)
        waves.push_back({double(x), 418 + 8 * std::sin(x / 30.0)});
    page.Line(waves);
}

void DrawHouse(Page& page) {
    page.Line({{0, 405}, {600, 405}});               // ground
    page.Shape(Rect(372, 78, 42, 90));               // chimney, behind the roof
    page.Shape(Rect(145, 200, 310, 205));            // walls
    page.Shape({{115, 210}, {300, 60}, {485, 210}}); // roof
    page.Shape(Circle(300, 150, 26));                // round attic window
    page.Shape(Rect(262, 285, 76, 120));             // door
    page.Solid(Circle(324, 348, 6));
    for (double x : {175.0, 365.0}) { // windows with four panes
        page.Shape(Rect(x, 240, 62, 62));
        page.Line({{x + 31, 240}, {x + 31, 302}});
        page.Line({{x, 271}, {x + 62, 271}});
    }
    page.Line({{250, 425}, {262, 405}}); // path to the door
    page.Line({{350, 425}, {338, 405}});
    page.Line({{250, 425}, {235, 450}});
    page.Line({{350, 425}, {365, 450}});
}

void DrawSun(Page& page) {
    const int rays = 12;
    for (int i = 0; i < rays; ++i) {
        const double a = 2 * kPi * i / rays;
        const double spread = 0.16;
        page.Shape({{300 + 135 * std::cos(a - spread), 225 + 135 * std::sin(a - spread)},
                    {300 + 215 * std::cos(a), 225 + 215 * std::sin(a)},
                    {300 + 135 * std::cos(a + spread), 225 + 135 * std::sin(a + spread)}});
    }
    page.Shape(Circle(300, 225, 118));
    Eye(page, 262, 195, 17);
    Eye(page, 338, 195, 17);
    page.Shape(Circle(235, 250, 20)); // cheeks
    page.Shape(Circle(365, 250, 20));
    page.Shape(Ellipse(300, 255, 50, 40, 0, 0, kPi)); // open smile
}

void DrawTree(Page& page) {
    Path hill;
    for (int x = 0; x <= kWidth; x += 5)
        hill.push_back({double(x), 405 + 0.0004 * (x - 300) * (x - 300)});
    page.Line(hill);
    page.Shape({{262, 410}, {276, 300}, {274, 220}, {326, 220}, {324, 300}, {338, 410}}); // trunk
    page.Union({Circle(300, 120, 85), Circle(215, 175, 70), Circle(385, 175, 70),
                Circle(250, 240, 60), Circle(350, 240, 60), Circle(300, 215, 70)});
    for (P apple : {P{240, 150}, P{335, 110}, P{390, 200}, P{290, 235}, P{205, 215}})
        page.Shape(Circle(apple.x, apple.y, 15));
    page.Line(Ellipse(300, 335, 14, 22, 0, -kPi / 2, kPi / 2)); // knot in the trunk
}

// The thirty paint colours in table order, then a 6 x 6 x 6 cube and greys
// for whatever else a page may hold, without repeats, 256 in all.
LogPalette EightBitPalette() {
    LogPalette palette = CreateColorTablePalette();
    auto add = [&](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        const PaletteEntry e{r, g, b, 0};
        if (palette.entries.size() < 256 &&
            std::find(palette.entries.begin(), palette.entries.end(), e) == palette.entries.end())
            palette.entries.push_back(e);
    };
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                add(std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51));
    for (int v = 8; palette.entries.size() < 256; v += 10)
        add(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
    return palette;
}

// The colour table of a page file of `bitCount` bits: white and black for 1
// bit, the sixteen standard paint colours for 4, the full palette for 8.
LogPalette PagePalette(int bitCount) {
    LogPalette palette = EightBitPalette();
    const std::size_t entries = bitCount == 1 ? 2 : bitCount == 4 ? 16 : 256;
    palette.entries.resize(entries);
    return palette;
}

// The page as a file of `bitCount` bits (1, 4 or 8), bottom row first.
std::vector<std::uint8_t> PageFile(const PixelBuffer& pixels, int bitCount) {
    const LogPalette palette = PagePalette(bitCount);
    const DibHandle indexed = ChangeBitmapFormat(pixels, 8, kDibRgb, palette);
    BmpRecipe recipe;
    recipe.width = pixels.Width();
    recipe.height = pixels.Height();
    recipe.bitCount = static_cast<std::uint16_t>(bitCount);
    recipe.colorTable = indexed->colorTable;
    recipe.bits = PackIndexRows(indexed->indices, recipe.width, recipe.height, bitCount, false);
    return ForgeBmp(recipe);
}

bool WriteFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

struct SamplePage {
    const char* name;
    int bitCount;
    void (*draw)(Page&);
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER\n", argv[0]);
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    const SamplePage pages[] = {{"CAT.BMP", 1, DrawCat},   {"DOG.BMP", 4, DrawDog},
                                {"FISH.BMP", 8, DrawFish}, {"HOUSE.BMP", 1, DrawHouse},
                                {"SUN.BMP", 4, DrawSun},   {"TREE.BMP", 8, DrawTree}};
    for (const SamplePage& sample : pages) {
        Page page;
        sample.draw(page);
        if (!WriteFile(folder / sample.name, PageFile(page.Pixels(), sample.bitCount))) {
            std::fprintf(stderr, "cannot write %s\n", (folder / sample.name).c_str());
            return 1;
        }
    }
    std::printf("wrote %zu pages to %s\n", std::size(pages), folder.c_str());
    return 0;
}
