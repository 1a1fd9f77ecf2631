// The fonts of the viewer bar's page counter, made to a character-cell height
// in pixels whatever family the system substitutes.
#pragma once

#include <QFont>

// Bold sans serif for the "Page:" and "of" labels, a 12-pixel cell, so that
// it fits the 12-pixel page total.
QFont SmallBoldFont();

// Bold "Arial" (or the family standing in for it) with a 36-pixel cell, for
// the page numbers.
QFont LargeFont();
