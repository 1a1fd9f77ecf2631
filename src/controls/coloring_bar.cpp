#include "controls/coloring_bar.h"

#include "controls/hand_button.h"
#include "controls/tool_button.h"

#include <QPixmap>

namespace {

// Item widths of the bar: the palette's place, then the toolkit's default
// separator between groups.
constexpr int kPaletteItemWidth = 270;
constexpr int kSeparatorWidth = 8;
constexpr int kRowTop = 2;
constexpr int kBarHeight = 78; // the viewer bar's height
constexpr int kPictureWidth = 30;
constexpr int kPictureHeight = 65;

} // namespace

CColoringBar::CColoringBar(IBarOwner& owner, QWidget* parent, RunningState& state,
                           CColorPalette::Speaker speak)
    : CControlBar(owner, parent), m_state(state), m_speak(std::move(speak)) {
    setFixedHeight(kBarHeight);
}

void CColoringBar::Create() {
    m_palette = new CColorPalette(m_state, m_speak, this);
    m_palette->move(0, kRowTop);

    const QPixmap strip = LoadBarBitmap("coltools");
    int x = kPaletteItemWidth + kSeparatorWidth;
    for (int i = 0; i < 6; ++i) {
        if (i == 3)
            x += kSeparatorWidth; // between the tools and the sizes
        const QPixmap picture =
            strip.isNull() ? QPixmap()
                           : strip.copy(i * kPictureWidth, 0, kPictureWidth, kPictureHeight);
        auto* button = new CToolButton(picture, this);
        button->move(x, kRowTop);
        AddControl(button, kToolIds[i]);
        x += CToolButton::kWidth;
    }
    x += kSeparatorWidth;

    auto* undo = new CHandButton("UNDO", ID_UNDO, this);
    undo->LoadBitmaps("UNDOU", "UNDOD", "UNDOX");
    undo->SizeToContent();
    undo->move(x, kRowTop);
    AddControl(undo, ID_UNDO);
    // Done shares its left edge pixel with Undo.
    auto* done = new CHandButton("DONE", ID_DONE, this);
    done->LoadBitmaps("DONEU", "DONED");
    done->SizeToContent();
    done->move(x + undo->width() - 1, kRowTop);
    AddControl(done, ID_DONE);
}

CToolButton* CColoringBar::ToolButton(CommandId id) const {
    return qobject_cast<CToolButton*>(GetDlgItem(id));
}

CHandButton* CColoringBar::Button(CommandId id) const {
    return qobject_cast<CHandButton*>(GetDlgItem(id));
}
