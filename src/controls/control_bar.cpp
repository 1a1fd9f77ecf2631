#include "controls/control_bar.h"

#include <QAbstractButton>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QToolTip>

namespace {

const QColor kButtonFace(192, 192, 192);
const QColor kShadow(128, 128, 128);

} // namespace

CControlBar::CControlBar(IBarOwner& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kButtonFace);
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, kShadow);
    setPalette(colours);
    setAutoFillBackground(true);
}

void CControlBar::AddControl(QWidget* control, CommandId id) {
    m_controls.emplace_back(id, control);
    control->installEventFilter(this);
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        connect(button, &QAbstractButton::clicked, this, [this, id] { m_owner.OnBarCommand(id); });
}

QWidget* CControlBar::GetDlgItem(CommandId id) const {
    for (const auto& [controlId, control] : m_controls) {
        if (controlId == id)
            return control;
    }
    return nullptr;
}

CommandId CControlBar::IdOf(const QObject* control) const {
    for (const auto& [id, c] : m_controls) {
        if (c == control)
            return id;
    }
    return 0;
}

void CControlBar::OnUpdateCmdUI() {
    if (isHidden())
        return;
    for (const auto& [id, control] : m_controls) {
        ControlState state = m_owner.QueryBarControl(id);
        control->setEnabled(state.enabled);
        // A rule that gives a pressed state shows it on a checkable button.
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (button && button->isCheckable() && state.radio && button->isChecked() != *state.radio)
            button->setChecked(*state.radio);
        auto* label = qobject_cast<QLabel*>(control);
        if (label && state.text) {
            QString text = QString::fromStdString(*state.text);
            if (label->text() != text)
                label->setText(text);
        }
    }
}

bool CControlBar::eventFilter(QObject* watched, QEvent* event) {
    CommandId id = IdOf(watched);
    if (id != 0 && event->type() == QEvent::ToolTip) {
        ShowTip(static_cast<QWidget*>(watched), id, static_cast<QHelpEvent*>(event)->globalPos());
        return true;
    }
    if (id != 0 && event->type() == QEvent::Leave && watched == m_tipFor)
        m_tipFor = nullptr;
    return QWidget::eventFilter(watched, event);
}

void CControlBar::ShowTip(QWidget* control, CommandId id, const QPoint& at) {
    // A tip is asked for (and its prompt spoken) as it appears over a
    // control; resting or moving on the same control keeps it up unasked.
    if (control == m_tipFor && QToolTip::isVisible() && QToolTip::text() == m_tipText) {
        QToolTip::showText(at, m_tipText, control);
        return;
    }
    m_tipFor = control;
    m_tipText = QString::fromStdString(m_owner.OnNeedToolTipText(id));
    if (m_tipText.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(at, m_tipText, control);
}

void CControlBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(kShadow);
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(Qt::white);
    painter.drawLine(0, 1, width() - 1, 1);
}
