#include "fake_input.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

void FakeInput::Mouse(QWindow* window, QPoint at, Qt::MouseButton button, QEvent::Type type,
                      Qt::KeyboardModifiers mods) {
    m_time += 16;
    // Exported by Qt for its test library: delivers the event as the window
    // system would, at once.
    qt_handleMouseEvent(window, at, window->mapToGlobal(at), m_held, button, type, mods, m_time);
}

void FakeInput::Move(QWindow* window, QPoint at) {
    Mouse(window, at, Qt::NoButton, QEvent::MouseMove, Qt::NoModifier);
}

void FakeInput::Press(QWindow* window, QPoint at, Qt::MouseButton button,
                      Qt::KeyboardModifiers mods) {
    m_held |= button;
    Mouse(window, at, button, QEvent::MouseButtonPress, mods);
}

void FakeInput::Release(QWindow* window, QPoint at, Qt::MouseButton button,
                        Qt::KeyboardModifiers mods) {
    m_held &= ~Qt::MouseButtons(button);
    if (window)
        Mouse(window, at, button, QEvent::MouseButtonRelease, mods);
}

void FakeInput::Key(QWindow* window, bool press, int key, Qt::KeyboardModifiers mods,
                    const QString& text) {
    m_time += 16;
    qt_handleKeyEvent(window, press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods, text);
}

QWidget* FakeInput::WidgetOf(QWindow* window) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window)
            return top;
    }
    return nullptr;
}

QWidget* FakeInput::WidgetAt(QWindow* window, QPoint at) {
    QWidget* top = WidgetOf(window);
    if (!top || !top->rect().contains(at))
        return nullptr;
    QWidget* child = top->childAt(at);
    return child ? child : top;
}

bool FakeInput::Wheel(QWindow* window, QPoint at, int notches) {
    QWidget* target = WidgetAt(window, at);
    if (!target)
        return false;
    m_time += 16;
    const QPoint global = window->mapToGlobal(at);
    QWheelEvent event(target->mapFromGlobal(global), global, QPoint(), QPoint(0, 120 * notches),
                      m_held, Qt::NoModifier, Qt::NoScrollPhase, false);
    event.setTimestamp(m_time);
    QApplication::sendEvent(target, &event);
    return true;
}

bool FakeInput::Drop(QWindow* window, QPoint at, const QString& file) {
    QWidget* target = WidgetAt(window, at);
    while (target && !target->acceptDrops())
        target = target->isWindow() ? nullptr : target->parentWidget();
    if (!target)
        return false;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint local = target->mapFromGlobal(window->mapToGlobal(at));
    QDragEnterEvent enter(local, Qt::CopyAction | Qt::LinkAction, &data, Qt::NoButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(local), enter.dropAction(), &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}
