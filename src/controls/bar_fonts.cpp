#include "controls/bar_fonts.h"

#include "framework/qt_dialogs.h"

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
