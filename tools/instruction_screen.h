// The program's screen in miniature, for the pages of the colouring
// instructions: the sky-blue background, the viewer bar or the colouring bar
// along the bottom built from the real button faces, and the marks that show
// a child what to do (the hand pointer, a glow round a button, a click, an
// arrow from before to after). Everything is drawn without antialiasing, so
// every pixel is one of the colours of the page's colour table.
#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

namespace howto {

inline constexpr int kPageWidth = 640;
inline constexpr int kPageHeight = 480;
// Both bars are 78 pixels high in the program; here the grey goes on a few
// pixels further down, so that a glow round a button stays on the page.
inline constexpr int kBarTop = 396; // the screen above it is sky

// The colours the screen adds to the thirty paint colours: the sample book's
// background blue.
inline constexpr QRgb kSky = 0xFFA0D2F0;

// The button faces, read from the folder of the committed bitmaps
// (src/resources/bitmaps). A face that cannot be read is drawn as nothing and
// its name kept in Missing(), so the caller can refuse to write pages.
class Faces {
public:
    explicit Faces(const QString& folder) : m_folder(folder) {}
    QImage Get(const char* name) const;
    const QStringList& Missing() const { return m_missing; }

private:
    QDir m_folder;
    mutable QStringList m_missing;
};

enum class Tool { Fill, Brush, Line };

// What the colouring bar shows: the chosen colour (0..29 into the colour
// table), the current tool and brush size (0 large, 1 medium, 2 small).
struct ColouringBar {
    int colour = 1;
    Tool tool = Tool::Fill;
    int size = 1;
};

// Paint colour `index` (0..29) of the colour table.
QColor PaintColour(int index);

// The sky above the bar.
void DrawSky(QPainter& p);
// The viewer bar with its buttons at the program's places.
void DrawViewerBar(QPainter& p, const Faces& faces);
// The colouring bar: thirty wells, the tools, the sizes, Undo and Done.
void DrawColouringBar(QPainter& p, const Faces& faces, const ColouringBar& bar);

// Where things lie on the page.
QRect ColourPageButton();
QRect WellRect(int colour);
QRect ToolRect(Tool tool);
QRect UndoButton();
QRect DoneButton();

// A yellow ring round `r` that draws the eye to a button.
void DrawGlow(QPainter& p, const QRect& r);
// The program's hand pointer, twice its size, its fingertip at `tip`:
// pointing up as on the screen, or turned upside down (`fromAbove`) to press
// a button of the bar without hiding its face.
void DrawHand(QPainter& p, const Faces& faces, QPoint tip, bool fromAbove = false);
// Short strokes round `tip` that show a press.
void DrawClick(QPainter& p, QPoint tip);
// A thick orange arrow to the right, filling `r`: before, then after.
void DrawArrow(QPainter& p, const QRect& r);

} // namespace howto
