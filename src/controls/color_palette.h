// The thirty colour wells at the left end of the colouring bar.
#pragma once

#include "controls/color_grid.h"

#include <functional>
#include <string_view>
#include <utility>

struct RunningState;

// Fifteen columns of two 18 x 36 wells, colour 0 top left, 1 below it, 2 at
// the top of the second column and so on; 271 x 73 pixels. A press on a well
// makes its colour the current colour and speaks the colour's name. The wells
// show colour table colours until the colouring view hands over its working
// palette (SetPalette).
class CColorPalette : public CColorGrid {
    Q_OBJECT
public:
    // The palette's control id within the colouring bar.
    static constexpr int kControlId = 5270;
    static constexpr int kWidth = 271;
    static constexpr int kHeight = 73;

    // Starts speaking a sound file named relative to the sounds folder and
    // returns at once; a missing file is its own business.
    using Speaker = std::function<void(std::string_view file)>;

    // `state` is borrowed and outlives the palette. Colour 1 is selected
    // until SetCurrentIndex.
    CColorPalette(RunningState& state, Speaker speak, QWidget* parent = nullptr);

protected:
    // Makes `index` the current colour (m_nColor) and speaks its name.
    void OnSelectColor(int index) override;
    void OnGridClick(unsigned flags, const QPoint& point) override;

private:
    RunningState& m_state;
    Speaker m_speak;
};
