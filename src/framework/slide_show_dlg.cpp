#include "framework/slide_show_dlg.h"

#include "framework/qt_dialogs.h"
#include "model/slideshow/slide_show_dlg_checks.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

enum : int {
    IDC_ALL = 301,
    IDC_FROM_OPTION = 302,
    IDC_FROM = 303,
    IDC_TO = 304,
    IDC_EVERY_OPTION = 305,
    IDC_EVERY = 306,
    IDC_SOUND_DONE = 307,
    IDC_PLAY_SOUNDS = 308,
    IDC_RUN_CONTINUOUSLY = 309,
    IDC_NOTE = 310,
    IDC_SHOW = 1,
    IDC_CANCEL = 2,
    IDC_HELP = 57670,
};

// Puts a control at its template rectangle and names it by its id, so that
// Control() finds it.
template <class W> W* Place(W* w, const QRect& units, int id = 0) {
    w->setGeometry(FromDialogUnits(units));
    if (id)
        w->setObjectName(QString::number(id));
    return w;
}

// The note's small font: the dialog's family at the largest size, no larger
// than the dialog's own, at which the whole note fits its box (down to a
// 7-pixel line). A wide family gets a smaller size than a narrow one, and
// neither is cut off.
void FitNoteFont(QLabel* note) {
    QFont font = DialogFont();
    for (int em = font.pixelSize(); em > 1; --em) {
        font.setPixelSize(em);
        note->setFont(font);
        if (note->heightForWidth(note->width()) <= note->height() ||
            QFontMetrics(font).height() <= 7)
            break;
    }
}

} // namespace

CSlideShowDlg::CSlideShowDlg(const SlideShowDlgData& data, int nPageCount, QWidget* parent)
    : QDialog(parent), m_data(data), m_nPageCount(nPageCount),
      m_message([this](const std::string& text) {
          ShowMessageBox(this, text, MessageIcon::Exclamation);
      }),
      m_beep([] { QApplication::beep(); }) {
    setWindowTitle("Slide Show");
    setModal(true);
    setFont(DialogFont());
    CreateControls();
    setFixedSize(FromDialogUnits(QRect(0, 0, 307, 109)).size());
    ShowValues();

    // Typing in either page box means a range of pages.
    auto chooseFrom = [this] { m_fromOption->setChecked(true); };
    connect(m_from, &QLineEdit::textChanged, this, chooseFrom);
    connect(m_to, &QLineEdit::textChanged, this, chooseFrom);
    connect(m_fromOption, &QRadioButton::clicked, this, [this] { m_from->setFocus(); });
    connect(m_playSounds, &QCheckBox::clicked, this, &CSlideShowDlg::OnPlaySounds);
}

void CSlideShowDlg::CreateControls() {
    // Created in the template's order, which is also the tab order: the From
    // box first. Each control at its place, nothing left to a layout.
    m_from = Place(new QLineEdit(this), QRect(40, 34, 15, 13), IDC_FROM);
    auto* pagesBox = Place(new QGroupBox("Pages", this), QRect(5, 5, 90, 50));
    m_all = Place(new QRadioButton("&All", this), QRect(10, 20, 29, 10), IDC_ALL);
    m_fromOption = Place(new QRadioButton("&From:", this), QRect(10, 35, 29, 10), IDC_FROM_OPTION);
    auto* toLabel = Place(new QLabel("&To:", this), QRect(60, 36, 12, 8));
    m_to = Place(new QLineEdit(this), QRect(75, 34, 15, 13), IDC_TO);
    toLabel->setBuddy(m_to);
    auto* advanceBox = Place(new QGroupBox("Advance", this), QRect(115, 5, 130, 95));
    m_everyOption =
        Place(new QRadioButton("&Every", this), QRect(120, 20, 30, 10), IDC_EVERY_OPTION);
    m_every = Place(new QLineEdit(this), QRect(155, 19, 15, 13), IDC_EVERY);
    Place(new QLabel("Seconds", this), QRect(175, 21, 30, 8));
    m_soundDone = Place(new QRadioButton("&When Sound Is Done", this), QRect(120, 85, 85, 10),
                        IDC_SOUND_DONE);
    // Disabled, the option stays readable on the program's grey dialogs,
    // where the toolkit's light grey would vanish.
    QPalette greyed = m_soundDone->palette();
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    greyed.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    m_soundDone->setPalette(greyed);
    auto* frame = Place(new QFrame(this), QRect(120, 35, 120, 45));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* note = Place(new QLabel("If 'When Sound Is Done' is selected and there is no sound "
                                  "file for a particular page, that page will advance after "
                                  "this many seconds.",
                                  this),
                       QRect(125, 40, 110, 35), IDC_NOTE);
    note->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    note->setWordWrap(true);
    FitNoteFont(note);
    m_playSounds =
        Place(new QCheckBox("&Play Sounds", this), QRect(5, 65, 106, 10), IDC_PLAY_SOUNDS);
    m_runContinuously = Place(new QCheckBox("&Run Continuously Until 'Esc'", this),
                              QRect(5, 80, 106, 10), IDC_RUN_CONTINUOUSLY);
    auto* show = Place(new QPushButton("&Show", this), QRect(255, 7, 45, 14), IDC_SHOW);
    auto* cancel = Place(new QPushButton("Cancel", this), QRect(255, 24, 45, 14), IDC_CANCEL);
    auto* help = Place(new QPushButton("&Help", this), QRect(255, 41, 45, 14), IDC_HELP);
    show->setDefault(true);
    connect(show, &QPushButton::clicked, this, &CSlideShowDlg::OnShow);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help();
    });

    // The frames lie under the controls they surround, so that those take
    // the mouse (a later sibling is on top).
    frame->lower();
    advanceBox->lower();
    pagesBox->lower();

    // Two option groups among siblings of one parent.
    m_pages = new QButtonGroup(this);
    m_pages->addButton(m_all, 0);
    m_pages->addButton(m_fromOption, 1);
    m_advance = new QButtonGroup(this);
    m_advance->addButton(m_everyOption, 0);
    m_advance->addButton(m_soundDone, 1);
}

void CSlideShowDlg::ShowValues() {
    (m_data.m_nPagesChoice == 0 ? m_all : m_fromOption)->setChecked(true);
    (m_data.m_nAdvanceChoice == 0 ? m_everyOption : m_soundDone)->setChecked(true);
    m_playSounds->setChecked(m_data.m_bPlaySounds);
    m_runContinuously->setChecked(m_data.m_bRunContinuously);
    m_from->setText(QString::number(m_data.m_nFrom));
    m_to->setText(QString::number(m_data.m_nTo));
    m_every->setText(QString::number(m_data.m_nEvery));
    if (!m_data.m_bPlaySounds)
        OnPlaySounds(false);
}

void CSlideShowDlg::OnPlaySounds(bool ticked) {
    // Without sounds there is no sound to wait for.
    if (!ticked)
        m_everyOption->setChecked(true);
    m_soundDone->setEnabled(ticked);
}

void CSlideShowDlg::OnShow() {
    SlideShowDlgFields fields;
    fields.pagesChoice = m_pages->checkedId() == 0 ? 0 : 1;
    fields.advanceChoice = m_advance->checkedId() == 1 ? 1 : 0;
    fields.playSounds = m_playSounds->isChecked();
    fields.runContinuously = m_runContinuously->isChecked();
    fields.from = m_from->text().toStdString();
    fields.to = m_to->text().toStdString();
    fields.every = m_every->text().toStdString();
    SlideShowDlgOutcome out = CheckSlideShowDlg(fields, m_nPageCount);
    if (out.values) {
        m_data = *out.values;
        accept();
        return;
    }
    if (out.beep)
        m_beep();
    else if (m_message)
        m_message(out.message);
    switch (out.focus) {
    case SlideShowDlgFocus::FromOption:
        m_fromOption->setFocus();
        break;
    case SlideShowDlgFocus::FromBox:
    case SlideShowDlgFocus::ToBox:
    case SlideShowDlgFocus::EveryBox: {
        // The whole text selected, ready to be typed over.
        QLineEdit* box = out.focus == SlideShowDlgFocus::FromBox ? m_from
                         : out.focus == SlideShowDlgFocus::ToBox ? m_to
                                                                 : m_every;
        box->setFocus();
        box->selectAll();
        break;
    }
    case SlideShowDlgFocus::None:
        break;
    }
}

QWidget* CSlideShowDlg::Control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}
