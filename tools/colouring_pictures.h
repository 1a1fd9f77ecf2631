// The pictures of the colouring bar and the pointers of the colouring tools.
// The bar's pictures are drawn like the viewer bar's (button_pictures.h): in
// the sixteen colours, on a transparent layer, black for their outlines. The
// pointers are black and white.
#pragma once

#include "button_pictures.h"

#include <QImage>

namespace faces {

// The tool strip's six pictures, each on a 30 x 65 layer without a button
// frame (the bar draws the buttons around them).
void DrawFillTool(QPainter& p);    // a paint roller, red with paint
void DrawBrushTool(QPainter& p);   // a paint brush, its red tip down
void DrawLineTool(QPainter& p);    // a straight line between two dots
void DrawLargeBrush(QPainter& p);  // a big round dot
void DrawMediumBrush(QPainter& p); // a middle-sized round dot
void DrawSmallBrush(QPainter& p);  // a small round dot

// The picture buttons' pictures, drawn inside their frames.
void DrawUndo(QPainter& p); // 42 x 73: an arrow curling back to the left
void DrawDone(QPainter& p); // 71 x 73: a green tick over an open picture book

// A pointer as stored: 32 wide and 64 high, black and white, the picture
// (black pixels black, white ones white) above its mask (black: part of the
// pointer; white: see-through). `art` holds 32 rows of 32 characters: 'X'
// black, 'o' white, '.' see-through.
QImage PointerFromArt(const char* const* art);

// The fill tool's pointer: a paint roller whose handle ends at (0, 28), the
// hot spot.
QImage DrawRollerPointer();

// The brush's pointer for brush size 0, 1 or 2 (clamped), hot spot (16, 16):
// the outline of exactly the pixels a brush dot at the hot spot paints,
// see-through inside. See the .cpp for how the outline is chosen.
QImage DrawBrushPointer(int brushSize);

} // namespace faces
