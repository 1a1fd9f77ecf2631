#include "controls/viewer_bar.h"

#include "controls/bar_fonts.h"
#include "controls/hand_button.h"
#include "controls/page_list_box.h"
#include "model/volume/vol_doc.h"

#include <QLabel>

#include <algorithm>

namespace {

// Height of the bar's own, invisible tool-bar button: it sets the bar's height.
constexpr int kOwnButtonHeight = 74;
constexpr int kBottomMargin = 2;

constexpr int kCounterWidth = 60;
constexpr int kLabelHeight = 14;
constexpr int kTotalWidth = 59;
constexpr int kTotalHeight = 12;
constexpr int kListDropHeight = 360;

struct ButtonFaces {
    CommandId id;
    const char* base;     // caption; the faces are base + "U" and base + "D"
    const char* disabled; // empty: none
};

constexpr ButtonFaces kButtons[] = {
    {ID_PREV_PAGE, "PREV", "PREVU"},          {ID_NEXT_PAGE, "NEXT", "NEXTU"},
    {ID_COLOUR_PAGE, "DOPAINT", "DOPAINTU"},  {ID_PLAY_SOUND, "PLAYSND", "PLAYSNDU"},
    {ID_SLIDE_SHOW, "SLIDSHW", ""},           {ID_FILE_PRINT, "PRINT", "PRINTU"},
    {ID_UPDATE_PAGE, "UPDATE", "UPDATEX"},    {ID_APP_EXIT, "EXIT", ""},
    {ID_RESTORE_PAGE, "RESTORE", "RESTOREX"}, {ID_COLOURING_INSTRUCTIONS, "COLORIN", ""},
};

// The row, left to right; 0 marks the gap.
constexpr CommandId kRow[] = {ID_PREV_PAGE,   ID_PAGE_LABEL, ID_NEXT_PAGE,  0,
                              ID_COLOUR_PAGE, ID_PLAY_SOUND, ID_SLIDE_SHOW, ID_FILE_PRINT,
                              ID_UPDATE_PAGE, ID_APP_EXIT};

int Bottom(const QWidget* w) {
    return w->y() + w->height();
}

} // namespace

CViewerBar::CViewerBar(IBarOwner& owner, QWidget* parent) : CControlBar(owner, parent) {
    setFixedHeight(kRowTop + kOwnButtonHeight + kBottomMargin);
}

CHandButton* CViewerBar::AddButton(CommandId id) {
    const ButtonFaces* faces = std::find_if(std::begin(kButtons), std::end(kButtons),
                                            [id](auto& b) { return b.id == id; });
    QString base = faces->base;
    auto* button = new CHandButton(base, id, this);
    button->LoadBitmaps(base + "U", base + "D", faces->disabled);
    button->SizeToContent();
    AddControl(button, id);
    return button;
}

QLabel* CViewerBar::AddLabel(CommandId id, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(place);
    label->setFont(SmallBoldFont());
    label->setEnabled(false);
    AddControl(label, id);
    return label;
}

void CViewerBar::Create() {
    AddButton(ID_PREV_PAGE);
    QLabel* page = AddLabel(ID_PAGE_LABEL, "Page:", QRect(0, 0, kCounterWidth, kLabelHeight));
    for (CommandId id : {ID_NEXT_PAGE, ID_COLOUR_PAGE, ID_PLAY_SOUND, ID_SLIDE_SHOW, ID_FILE_PRINT,
                         ID_UPDATE_PAGE, ID_APP_EXIT})
        AddButton(id);
    LayoutButtons();

    AddPageList(*page);
    AddLabel(ID_PAGE_TOTAL, "of ",
             QRect(m_pageList->x(), Bottom(m_pageList) + 1, kTotalWidth, kTotalHeight));

    // The second storeys overlap the buttons above them by one pixel.
    for (auto [below, above] :
         {std::pair{ID_RESTORE_PAGE, ID_UPDATE_PAGE}, {ID_COLOURING_INSTRUCTIONS, ID_APP_EXIT}}) {
        QWidget* upper = GetDlgItem(above);
        AddButton(below)->move(upper->x(), Bottom(upper) - 1);
    }
}

void CViewerBar::AddPageList(const QWidget& above) {
    m_pageList = new CPageListBox(this);
    m_pageList->setFont(LargeFont());
    m_pageList->setGeometry(above.x(), Bottom(&above) + 1, kCounterWidth,
                            m_pageList->sizeHint().height());
    int row = std::max(1, QFontMetrics(m_pageList->font()).height());
    m_pageList->setMaxVisibleItems(std::max(1, kListDropHeight / row));
    m_pageList->setEnabled(false);
    m_pageList->OnSelEndOk = [this] { Owner().OnBarNotify(ID_PAGE_LIST, kNotifySelEndOk); };
    m_pageList->OnSelEndCancel = [this] { Owner().OnBarNotify(ID_PAGE_LIST, kNotifySelEndCancel); };
    AddControl(m_pageList, ID_PAGE_LIST);
}

void CViewerBar::LayoutButtons() {
    bool first = true;
    bool afterGap = false;
    int right = 0; // right edge (exclusive) of the control placed before
    for (CommandId id : kRow) {
        if (id == 0) {
            afterGap = true;
            continue;
        }
        QWidget* control = GetDlgItem(id);
        if (!control)
            break;
        int x = first ? 0 : id == ID_PAGE_LABEL ? right + 1 : afterGap ? right + 6 : right - 1;
        control->move(x, kRowTop);
        right = x + control->width();
        first = afterGap = false;
    }
    repaint();
}

void CViewerBar::FillPageList(bool reset, int pageCount) {
    if (reset)
        m_pageList->clear();
    int n = std::clamp(pageCount, 0, kMaxShownPage);
    for (int c = m_pageList->count(); c < n; ++c)
        m_pageList->addItem(QString::number(c + 1));
    while (m_pageList->count() > n)
        m_pageList->removeItem(m_pageList->count() - 1);
}

void CViewerBar::SelectPage(int page) {
    m_pageList->setCurrentIndex(page >= 1 && page <= m_pageList->count() ? page - 1 : -1);
}

void CViewerBar::SetPlayButton(bool play) {
    CHandButton* sound = Button(ID_PLAY_SOUND);
    if (play)
        sound->LoadBitmaps("PLAYSNDU", "PLAYSNDD", "PLAYSNDX");
    else
        sound->LoadBitmaps("STOPSNDU", "STOPSNDD");
}

CHandButton* CViewerBar::Button(CommandId id) const {
    return qobject_cast<CHandButton*>(GetDlgItem(id));
}
