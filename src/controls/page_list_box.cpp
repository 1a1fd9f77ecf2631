#include "controls/page_list_box.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>

namespace {

// The application's style, except that the list opens below (or above) the
// box at the height its visible entries need, never as a menu over it.
class DropDownStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

} // namespace

CPageListBox::CPageListBox(QWidget* parent) : QComboBox(parent), m_popup(view()->window()) {
    auto* style = new DropDownStyle;
    style->setParent(this);
    setStyle(style);
    m_popup->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] {
        m_chosen = true;
        if (OnSelEndOk)
            OnSelEndOk();
    });
}

void CPageListBox::showPopup() {
    m_chosen = false;
    m_open = true;
    QComboBox::showPopup();
}

bool CPageListBox::eventFilter(QObject* watched, QEvent* event) {
    // The open list is hidden first and the choice reported after, in the
    // same event; so whether it was a choice is known only once that event
    // is over.
    if (watched == m_popup && event->type() == QEvent::Hide && m_open) {
        m_open = false;
        QTimer::singleShot(0, this, [this] {
            if (!m_chosen && OnSelEndCancel)
                OnSelEndCancel();
        });
    }
    return QComboBox::eventFilter(watched, event);
}

void CPageListBox::paintEvent(QPaintEvent*) {
    // The style would keep a margin around the text and cut two large
    // digits short; a narrow list has room for them only without it.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    QString text = option.currentText;
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    QRect room(2, 0, arrow.left() - 2, height());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(room, Qt::AlignCenter, text);
}
