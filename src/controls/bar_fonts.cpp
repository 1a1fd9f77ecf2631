#include "controls/bar_fonts.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// The font whose line height (ascent plus descent) is `cell` pixels: the
// pixel size is the em, and families differ in how far their lines reach
// beyond it.
QFont WithCellHeight(QFont font, int cell) {
    font.setPixelSize(cell);
    int height = QFontMetrics(font).height();
    if (height > 0 && height != cell) {
        int em = static_cast<int>(std::lround(double(cell) * cell / height));
        font.setPixelSize(std::max(1, em));
        while (em > 1 && QFontMetrics(font).height() > cell)
            font.setPixelSize(--em);
    }
    return font;
}

} // namespace

QFont SmallBoldFont() {
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    return WithCellHeight(font, 12);
}

QFont LargeFont() {
    QFont font("Arial");
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    return WithCellHeight(font, 36);
}
