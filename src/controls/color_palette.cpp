#include "controls/color_palette.h"

#include "model/controls/color_table.h"
#include "model/mainframe/running_state.h"

namespace {

constexpr ColorGridLayout kPaletteLayout{
    .currentIndex = 1,
    .paletteIndexOffset = 0,
    .cellsPerColumn = 2,
    .columns = 15,
    .cellHeight = 36,
    .cellWidth = 18,
};

} // namespace

CColorPalette::CColorPalette(RunningState& state, Speaker speak, QWidget* parent)
    : CColorGrid(kPaletteLayout, parent), m_state(state), m_speak(std::move(speak)) {
    setFixedSize(kWidth, kHeight);
}

void CColorPalette::OnSelectColor(int index) {
    m_state.m_nColor = index;
    std::string_view file = ColorNameSoundFile(index);
    if (m_speak && !file.empty())
        m_speak(file);
}

void CColorPalette::OnGridClick(unsigned /*flags*/, const QPoint& /*point*/) {}
