// The colouring bar along the bottom of the main window in colouring mode:
// from left to right the thirty colour wells, the three tools (fill, paint
// brush, straight line), the three brush sizes (large, medium, small), and
// the Undo and Done buttons. Every control sends its command id; the update
// rules show the current tool and size pushed in and Undo disabled while
// there is nothing to undo.
#pragma once

#include "controls/color_palette.h"
#include "controls/control_bar.h"

class CHandButton;
class CToolButton;
struct RunningState;

class CColoringBar : public CControlBar {
    Q_OBJECT
public:
    // The tool strip's buttons, in the order of their pictures in the strip.
    static constexpr CommandId kToolIds[6] = {ID_TOOL_FILL,   ID_TOOL_BRUSH,   ID_TOOL_LINE,
                                              ID_BRUSH_LARGE, ID_BRUSH_MEDIUM, ID_BRUSH_SMALL};

    // As high as the viewer bar, so the page does not move when the bars
    // swap; no controls until Create. `state` is borrowed.
    CColoringBar(IBarOwner& owner, QWidget* parent, RunningState& state,
                 CColorPalette::Speaker speak);

    // Creates the palette, the six tool buttons, Undo and Done, and places them.
    void Create();

    CColorPalette* Palette() const { return m_palette; }
    CToolButton* ToolButton(CommandId id) const;
    CHandButton* Button(CommandId id) const;

private:
    RunningState& m_state;
    CColorPalette::Speaker m_speak;
    CColorPalette* m_palette = nullptr;
};
