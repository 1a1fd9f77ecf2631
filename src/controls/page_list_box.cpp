#include "controls/page_list_box.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>
#include <QWheelEvent>

namespace {

// Width of the drop-down arrow. A style's own arrow takes a third of the
// 60-pixel list, and two large digits need nearly all of the rest.
constexpr int kArrowWidth = 14;
// Between the list's left edge and its number: the frame and one pixel.
constexpr int kTextLeft = 2;

// The application's style, except that the list opens below (or above) the
// box at the height its visible entries need, never as a menu over it, and
// that the arrow is narrow.
class DropDownStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
            const QRect r = option->rect;
            QRect part =
                sub == SC_ComboBoxArrow
                    ? QRect(r.right() - kArrowWidth + 1, r.top(), kArrowWidth, r.height())
                    : QRect(r.left() + kTextLeft, r.top() + kTextLeft,
                            r.width() - kArrowWidth - kTextLeft, r.height() - 2 * kTextLeft);
            return visualRect(option->direction, r, part);
        }
        return QProxyStyle::subControlRect(control, option, sub, widget);
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

void CPageListBox::keyPressEvent(QKeyEvent* event) {
    // The toolkit lets Return on a closed list pass to the window; here it
    // confirms the entry shown, as it does in the open list.
    bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && currentIndex() >= 0) {
        event->accept();
        if (OnSelEndOk)
            OnSelEndOk();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CPageListBox::wheelEvent(QWheelEvent* event) {
    // A wheel turned while the pointer merely passes over the closed list
    // must not turn the page; the event ends here so nothing behind the
    // list scrolls either. The open list scrolls in its own window.
    event->accept();
}

QRect CPageListBox::TextRect() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    // One pixel apart, so a glyph reaching past its advance stays clear.
    return QRect(kTextLeft, 0, arrow.left() - 1 - kTextLeft, height());
}

void CPageListBox::paintEvent(QPaintEvent*) {
    // The style would keep a margin around the text and cut two large
    // digits short; the number gets all the room left of the arrow and,
    // where a font's digits are wider still, is narrowed to fit it.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    QString text = option.currentText;
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (text.isEmpty())
        return;
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    QRect room = TextRect();
    int width = painter.fontMetrics().horizontalAdvance(text);
    if (width > room.width()) {
        // Drawn at full width from the room's left edge, then pressed into it.
        painter.translate(room.left(), 0);
        painter.scale(double(room.width()) / width, 1.0);
        room = QRect(0, room.top(), width, room.height());
    }
    painter.drawText(room, Qt::AlignCenter, text);
}
