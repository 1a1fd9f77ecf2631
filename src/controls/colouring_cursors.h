// The pointers over the canvas in colouring mode, made from compiled-in
// black-and-white bitmaps. Each is 32 x 32.
#pragma once

#include <QCursor>

// The fill tool's pointer: a paint roller, its hot spot (0, 28) at the tip of
// its handle. The arrow when its bitmap is missing.
QCursor RollerCursor();

// The paint brush's pointer for brush size 0, 1 or 2 (others are clamped):
// the outline of exactly the pixels a dot of that brush paints when the hot
// spot (16, 16) is on the mouse's pixel, black outside a white ring and
// see-through inside (the smallest dot is black in a white ring). The cross
// when its bitmap is missing.
QCursor BrushCursor(int brushSize);
