// Choosing the palette for a picture that has none of its own (one read from
// a file of more than 8 bits per pixel, or drawn in any colours), and making
// room in a page's palette for the thirty paint colours.
#pragma once

#include "model/log_palette.h"
#include "model/pixel_buffer.h"

// The palette to save `picture` with as an 8-bit bitmap (version 0x300, flags
// 0). When the picture has at most 256 distinct colours (low 24 bits),
// exactly those colours in the order they first appear, rows top to bottom:
// saving then loses nothing. Otherwise at most 256 colours found by cutting
// RGB space into boxes where the picture's colours lie, each colour the mean
// of the picture colours in its box.
// No entries for an empty picture.
LogPalette BuildPalette(const PixelBuffer& picture);

// `palette` followed by those of the thirty paint colours (the colour table,
// in its order) that none of its entries has, as many as fit in 256 entries.
// A page shown and saved with this palette keeps every colour a child paints
// exactly, unless its own palette left no room.
LogPalette WithPaintColours(LogPalette palette);

// True when every one of the thirty paint colours is among the entries.
bool HoldsPaintColours(const LogPalette& palette);
